#include "widgets/word_handoff.h"

#include "core/paths.h"
#include "support/scripted_prompt.h"
#include "support/temp_dirs.h"
#include "support/word_script.h"
#include "widgets/richtextbox.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

const QString kCannotStart = QStringLiteral(
    "无法启动文字处理程序。请安装 LibreOffice（Writer），或在环境变量 QUELLMARK_WORD_PROCESSOR 中指定文字处理程序。");

// Sets an environment variable while it lives.
class EnvGuard {
public:
    EnvGuard(const char* name, const QByteArray& value)
        : m_name(name), m_old(qgetenv(name)), m_had(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~EnvGuard()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    QByteArray m_old;
    bool m_had;
};

class WordHandOff : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(dir.file("tiku"));
        dir.workspace.setBankRoot(dir.file("tiku"));
        box.setText(QStringLiteral("原来的答案"));
    }
    // PATH holding only `programs` (fake LibreOffice scripts), QUELLMARK_WORD_PROCESSOR unset.
    std::unique_ptr<EnvGuard> onlyOnPath(const QString& binDir)
    {
        qunsetenv("QUELLMARK_WORD_PROCESSOR");
        return std::make_unique<EnvGuard>("PATH", binDir.toUtf8());
    }
    void fakeProgram(const QString& path, const QByteArray& body)
    {
        QDir().mkpath(QFileInfo(path).path());
        ASSERT_TRUE(writeAll(path, "#!/bin/sh\n" + body + "\n"));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    TempProgramDir dir{false};
    ScriptedPrompt prompt;
    RichTextBox box;
};

}  // namespace

TEST_F(WordHandOff, RoundTripLoadsWhatWasSaved)
{
    {
        // Closed without saving: the box stays; the word processor got its content as RTF.
        WordScript word("cp \"$1\" \"$DIR/seen.rtf\"");
        EXPECT_TRUE(EditInWord(dir.workspace, prompt, &box, "~temp.rtf"));
        EXPECT_EQ(box.Text(), QStringLiteral("原来的答案"));
        RichTextBox seen;
        ASSERT_TRUE(seen.LoadFile(word.file("seen.rtf")));
        EXPECT_EQ(seen.Text(), QStringLiteral("原来的答案"));
    }
    WordScript word(WordScript::savesRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 edited {\\b bold}\\par}"));
    EXPECT_TRUE(EditInWord(dir.workspace, prompt, &box, "~temp.rtf"));
    EXPECT_EQ(box.Text(), "edited bold");
    box.setSelStart(7);
    box.setSelLength(4);
    EXPECT_EQ(box.SelBold(), true);
    EXPECT_TRUE(QFile::exists(dir.workspace.BankRoot() + "~temp.rtf"));  // kept for the next hand-off
}

TEST_F(WordHandOff, WindowIsDisabledWhileWaitingAndPaints)
{
    WordScript word("while [ ! -e \"$DIR/go\" ]; do sleep 0.02; done");
    QWidget window;
    auto* inner = new RichTextBox(&window);
    bool enabledWhileWaiting = true;
    int ticks = 0;
    QTimer tick;
    tick.start(10);
    // A few ticks into the wait, the window is looked at and the word processor let go:
    // the ticks can only come while the wait runs the event loop.
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (++ticks != 6)
            return;
        enabledWhileWaiting = window.isEnabled();
        writeAll(word.file("go"), "");
    });
    EXPECT_TRUE(EditInWord(dir.workspace, prompt, inner, "~temp.rtf"));
    EXPECT_FALSE(enabledWhileWaiting);
    EXPECT_TRUE(window.isEnabled());
    EXPECT_GT(ticks, 5);  // the event loop ran during the wait
}

TEST_F(WordHandOff, NoWordProcessorSaysSoOnce)
{
    {
        EnvGuard missing("QUELLMARK_WORD_PROCESSOR", dir.file("nowhere/word").toUtf8());
        prompt.expectMessage(kCannotStart, "错误", Icon::Warning);
        EXPECT_FALSE(EditInWord(dir.workspace, prompt, &box, "~temp.rtf"));
        prompt.verify();
        EXPECT_EQ(box.Text(), QStringLiteral("原来的答案"));
    }
    // Nothing set and no LibreOffice on PATH.
    const auto path = onlyOnPath(dir.file("emptybin"));
    prompt.expectMessage(kCannotStart, "错误", Icon::Warning);
    EXPECT_FALSE(EditInWord(dir.workspace, prompt, &box, "~temp.rtf"));
    QTextDocument doc;
    doc.setPlainText("x");
    prompt.expectMessage(kCannotStart + QStringLiteral("\n文档已保存为：")
                             + QDir::toNativeSeparators(dir.workspace.BankRoot() + "~Word.rtf"),
                         "错误", Icon::Warning);
    EXPECT_FALSE(ShowWord(dir.workspace, prompt, doc));
    EXPECT_TRUE(QFile::exists(dir.workspace.BankRoot() + "~Word.rtf"));
}

TEST_F(WordHandOff, LibreOfficeGetsAProfileOfItsOwnPerRoundTrip)
{
    const QString bin = dir.file("bin/");
    fakeProgram(bin + "soffice", "echo \"$@\" >> '" + bin.toUtf8()
                                     + "calls'\n"
                                       "case \"$*\" in *first.rtf*) while [ ! -e '"
                                     + bin.toUtf8() + "go' ]; do sleep 0.02; done;; esac");
    const auto path = onlyOnPath(bin);

    const WordCommand c = wordProcessorCommand(dir.workspace, "/x/a.rtf", "edit1");
    EXPECT_EQ(c.program, bin + "soffice");
    const QString profile = dir.workspace.ProgramDir() + "wordprofile/edit1";
    EXPECT_EQ(c.arguments.first(), "-env:UserInstallation=file://" + profile);
    EXPECT_TRUE(c.arguments.contains("--norestore"));
    EXPECT_EQ(c.arguments.last(), "/x/a.rtf");
    EXPECT_TRUE(readAll(profile + "/user/registrymodifications.xcu").contains("WarnAlienFormat"));

    // A second round trip while the first waits (from another window) gets another
    // profile; one on the file being edited is refused.
    RichTextBox other;
    QTimer::singleShot(100, [&] {
        prompt.expectMessage(QStringLiteral("“FIRST.rtf”正在文字处理程序中编辑，请先关闭文字处理程序。"), "错误",
                             Icon::Warning);
        EXPECT_FALSE(EditInWord(dir.workspace, prompt, &other, "FIRST.rtf"));
        EXPECT_TRUE(EditInWord(dir.workspace, prompt, &other, "second.rtf"));
        writeAll(bin + "go", "");
    });
    EXPECT_TRUE(EditInWord(dir.workspace, prompt, &box, "first.rtf"));
    const QList<QByteArray> calls = readAll(bin + "calls").trimmed().split('\n');
    ASSERT_EQ(calls.size(), 2);
    EXPECT_TRUE(calls[0].contains("wordprofile/edit1 ") && calls[0].endsWith("first.rtf"));
    EXPECT_TRUE(calls[1].contains("wordprofile/edit2 ") && calls[1].endsWith("second.rtf"));
    // Both done: the first profile is free again, and the refused file may be edited.
    EXPECT_TRUE(EditInWord(dir.workspace, prompt, &other, "third.rtf"));
    EXPECT_TRUE(readAll(bin + "calls").trimmed().split('\n').last().contains("wordprofile/edit1 "));
}

TEST_F(WordHandOff, ShowWordOpensTheDocumentAndCarriesOn)
{
    // The word processor waits to be let go, then leaves a whole copy of what it was given.
    WordScript word("while [ ! -e \"$DIR/go\" ]; do sleep 0.02; done\n"
                    "cp \"$1\" \"$DIR/copy\" && mv \"$DIR/copy\" \"$DIR/shown.rtf\"");
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("全部题目"));
    EXPECT_TRUE(ShowWord(dir.workspace, prompt, doc));
    EXPECT_FALSE(QFile::exists(word.file("shown.rtf")));  // returned before the script ended
    writeAll(word.file("go"), "");
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(word.file("shown.rtf")); }, 5000));
    RichTextBox shown;
    ASSERT_TRUE(shown.LoadFile(word.file("shown.rtf")));
    EXPECT_EQ(shown.Text(), QStringLiteral("全部题目"));
    EXPECT_EQ(readAll(word.file("shown.rtf")), readAll(dir.workspace.BankRoot() + "~Word.rtf"));
}
