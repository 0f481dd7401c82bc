#include "support/scripted_prompt.h"

#include <gtest/gtest.h>

namespace qm::test {

namespace {
std::string describe(const PromptCall& c)
{
    static const char* kinds[] = {"message", "input", "openFile", "saveFile", "chooseDirectory"};
    QString s = QString::fromLatin1(kinds[c.kind]) + QStringLiteral("(\"%1\", \"%2\"").arg(c.text, c.title);
    if (c.kind == PromptCall::Message)
        s += QStringLiteral(", %1, %2").arg(toString(c.icon), toString(c.buttons));
    return (s + QLatin1Char(')')).toStdString();
}
}  // namespace

ScriptedPrompt::~ScriptedPrompt()
{
    verify();
}

ScriptedPrompt& ScriptedPrompt::expectMessage(const QString& text, const QString& title, Icon icon, Buttons buttons,
                                              Answer answer, std::optional<Answer> defaultButton)
{
    Expectation e;
    e.call = {PromptCall::Message, text, title, icon, buttons, defaultButton, {}};
    e.checkDefault = defaultButton.has_value();
    e.answer = answer;
    m_expected.push_back(e);
    return *this;
}

ScriptedPrompt& ScriptedPrompt::expectMessageStartingWith(const QString& prefix, const QString& title, Icon icon,
                                                          Buttons buttons, Answer answer)
{
    expectMessage(prefix, title, icon, buttons, answer);
    m_expected.back().prefixOnly = true;
    return *this;
}

ScriptedPrompt& ScriptedPrompt::expectInput(const QString& prompt, const QString& title, std::optional<QString> answer)
{
    Expectation e;
    e.call = {PromptCall::Input, prompt, title, Icon::None, Buttons::OkCancel, {}, {}};
    e.text = std::move(answer);
    m_expected.push_back(e);
    return *this;
}

ScriptedPrompt& ScriptedPrompt::expectOpenFile(const QString& title, const QString& filter, const QString& path)
{
    Expectation e;
    e.call = {PromptCall::OpenFile, title, filter, Icon::None, Buttons::Ok, {}, {}};
    e.text = path;
    m_expected.push_back(e);
    return *this;
}

ScriptedPrompt& ScriptedPrompt::expectSaveFile(const QString& title, const QString& filter, const QString& path)
{
    Expectation e;
    e.call = {PromptCall::SaveFile, title, filter, Icon::None, Buttons::Ok, {}, {}};
    e.text = path;
    m_expected.push_back(e);
    return *this;
}

ScriptedPrompt& ScriptedPrompt::expectDirectory(const QString& path)
{
    Expectation e;
    e.call.kind = PromptCall::ChooseDirectory;
    e.text = path;
    m_expected.push_back(e);
    return *this;
}

void ScriptedPrompt::verify()
{
    for (const Expectation& e : m_expected)
        ADD_FAILURE() << "expected prompt call did not happen: " << describe(e.call);
    m_expected.clear();
}

void ScriptedPrompt::clear()
{
    m_expected.clear();
    m_calls.clear();
}

std::optional<ScriptedPrompt::Expectation> ScriptedPrompt::next(PromptCall::Kind kind, const PromptCall& actual)
{
    m_calls.append(actual);
    if (m_expected.empty()) {
        ADD_FAILURE() << "unexpected prompt call: " << describe(actual);
        return std::nullopt;
    }
    Expectation e = m_expected.front();
    m_expected.pop_front();
    const PromptCall& x = e.call;
    bool match = x.kind == kind;
    if (kind == PromptCall::Message)
        match = match && (e.prefixOnly ? actual.text.startsWith(x.text) : x.text == actual.text)
                && x.title == actual.title && x.icon == actual.icon && x.buttons == actual.buttons
                && (!e.checkDefault || x.defaultButton == actual.defaultButton);
    else if (kind != PromptCall::ChooseDirectory)
        match = match && x.text == actual.text && x.title == actual.title;
    if (!match) {
        ADD_FAILURE() << "prompt call " << describe(actual) << " where " << describe(x) << " was expected";
        return std::nullopt;
    }
    return e;
}

Answer ScriptedPrompt::message(const QString& text, const QString& title, Icon icon, Buttons buttons,
                               std::optional<Answer> defaultButton)
{
    const auto e = next(PromptCall::Message, {PromptCall::Message, text, title, icon, buttons, defaultButton, {}});
    if (e)
        return e->answer;
    // An unexpected box is answered with its most cautious button.
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::No;
    default: return Answer::Cancel;
    }
}

std::optional<QString> ScriptedPrompt::input(const QString& prompt, const QString& title, const QString& defaultText)
{
    const auto e =
        next(PromptCall::Input, {PromptCall::Input, prompt, title, Icon::None, Buttons::OkCancel, {}, defaultText});
    return e ? e->text : std::nullopt;
}

QString ScriptedPrompt::openFile(const QString& title, const QString& filter)
{
    const auto e = next(PromptCall::OpenFile, {PromptCall::OpenFile, title, filter, Icon::None, Buttons::Ok, {}, {}});
    return e ? e->text.value_or(QString()) : QString();
}

QString ScriptedPrompt::saveFile(const QString& title, const QString& filter, const QString& defaultExt)
{
    const auto e =
        next(PromptCall::SaveFile, {PromptCall::SaveFile, title, filter, Icon::None, Buttons::Ok, {}, defaultExt});
    return e ? e->text.value_or(QString()) : QString();
}

QString ScriptedPrompt::chooseDirectory(const QString& title, const QString& start)
{
    const auto e =
        next(PromptCall::ChooseDirectory, {PromptCall::ChooseDirectory, title, {}, Icon::None, Buttons::Ok, {}, start});
    return e ? e->text.value_or(QString()) : QString();
}

}  // namespace qm::test
