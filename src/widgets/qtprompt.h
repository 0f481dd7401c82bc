#pragma once
// The Prompt of the running program: real Qt dialogs, parented to the active window.

#include "core/prompt.h"

#include <functional>

namespace qm {

class QtPrompt : public Prompt {
public:
    // Where the file dialogs open until the user has chosen a file in one: the directory
    // `startDir` gives then (the chosen subject's, where its banks and plans are). After a
    // choice they open where the last file was chosen.
    void setStartDirectory(std::function<QString()> startDir) { m_startDir = std::move(startDir); }

    Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons,
                   std::optional<Answer> defaultButton) override;
    std::optional<QString> input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFile(const QString& title, const QString& filter) override;
    QString saveFile(const QString& title, const QString& filter, const QString& defaultExt) override;
    QString chooseDirectory(const QString& title, const QString& start) override;

private:
    QString startDirectory() const;
    QString remember(const QString& file);

    std::function<QString()> m_startDir;
    QString m_lastDir;
};

}  // namespace qm
