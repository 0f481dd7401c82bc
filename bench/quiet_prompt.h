#pragma once
// A prompt for the window benchmarks: every message answered with its default, every
// dialog cancelled.

#include "core/prompt.h"

namespace qm::bench {

class QuietPrompt : public Prompt {
public:
    Answer message(const QString&, const QString&, Icon, Buttons, std::optional<Answer> d) override
    {
        return d.value_or(Answer::Ok);
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override { return std::nullopt; }
    QString openFile(const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseDirectory(const QString&, const QString&) override { return {}; }
};

}  // namespace qm::bench
