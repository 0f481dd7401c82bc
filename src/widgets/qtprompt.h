#pragma once
// The Prompt of the running program: real Qt dialogs, parented to the active window.

#include "core/prompt.h"

namespace qm {

class QtPrompt : public Prompt {
public:
    Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons,
                   std::optional<Answer> defaultButton) override;
    std::optional<QString> input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFile(const QString& title, const QString& filter) override;
    QString saveFile(const QString& title, const QString& filter, const QString& defaultExt) override;
    QString chooseDirectory(const QString& title, const QString& start) override;
};

}  // namespace qm
