#pragma once
// A Prompt for tests: it holds the calls a test expects, in order, with the answers to
// give. Every call is checked against the next expectation and recorded; an unexpected
// call or an expectation left over fails the test.

#include "core/prompt.h"

#include <QList>
#include <QString>
#include <deque>

namespace qm::test {

struct PromptCall {
    enum Kind { Message, Input, OpenFile, SaveFile, ChooseDirectory } kind = Message;
    QString text;   // message text, input prompt, dialog title
    QString title;  // message/input title; filter for file dialogs
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    std::optional<Answer> defaultButton;
    QString extra;  // input default text; save default extension; directory start
};

class ScriptedPrompt : public Prompt {
public:
    ~ScriptedPrompt() override;

    // Expect a message box with exactly this text, title, icon, buttons and default button,
    // and answer it.
    ScriptedPrompt& expectMessage(const QString& text, const QString& title, Icon icon, Buttons buttons = Buttons::Ok,
                                  Answer answer = Answer::Ok, std::optional<Answer> defaultButton = {});
    // The same for a message whose text starts with `prefix` (texts that carry a file
    // name or a system error after a fixed part).
    ScriptedPrompt& expectMessageStartingWith(const QString& prefix, const QString& title, Icon icon,
                                              Buttons buttons = Buttons::Ok, Answer answer = Answer::Ok);
    // Expect an input box with this prompt and title; nullopt answers Cancel.
    ScriptedPrompt& expectInput(const QString& prompt, const QString& title, std::optional<QString> answer);
    // Expect a file dialog with this title and filter, answered with `path` ("" cancels).
    ScriptedPrompt& expectOpenFile(const QString& title, const QString& filter, const QString& path);
    ScriptedPrompt& expectSaveFile(const QString& title, const QString& filter, const QString& path);
    ScriptedPrompt& expectDirectory(const QString& path);

    // Fails the test when expectations are left; call at the end of a test step.
    void verify();
    // Every call made so far, in order.
    const QList<PromptCall>& calls() const { return m_calls; }
    // Drops remaining expectations without failing.
    void clear();

    Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons,
                   std::optional<Answer> defaultButton) override;
    std::optional<QString> input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFile(const QString& title, const QString& filter) override;
    QString saveFile(const QString& title, const QString& filter, const QString& defaultExt) override;
    QString chooseDirectory(const QString& title, const QString& start) override;

private:
    struct Expectation {
        PromptCall call;
        bool checkDefault = false;
        bool prefixOnly = false;
        Answer answer = Answer::Ok;
        std::optional<QString> text;
    };
    std::optional<Expectation> next(PromptCall::Kind kind, const PromptCall& actual);

    std::deque<Expectation> m_expected;
    QList<PromptCall> m_calls;
};

}  // namespace qm::test
