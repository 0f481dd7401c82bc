#include "core/fileops.h"
#include "core/paths.h"
#include "support/scripted_prompt.h"
#include "support/temp_dirs.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {
const QString kOverwrite = QStringLiteral("文件已存在，是否覆盖？");
const QString kWarn = QStringLiteral("警告");
// The results of CopyFileWithPrompt that callers test for: 0 copied, 1 empty source,
// -1 declined, 2 failed; and the error numbers of Rd: 75 path/file access, 76 not found.
}  // namespace

TEST(CopyFileWithPrompt, CopiesIntoANewOrEmptyDestinationWithoutAsking)
{
    TempProgramDir dir(false);
    ScriptedPrompt prompt;
    writeAll(dir.file("src"), "abc");
    EXPECT_EQ(CopyFileWithPrompt(prompt, dir.file("src"), dir.file("new")), 0);
    EXPECT_EQ(readAll(dir.file("new")), "abc");
    writeAll(dir.file("empty"), "");
    EXPECT_EQ(CopyFileWithPrompt(prompt, dir.file("src"), dir.file("empty")), 0);
    EXPECT_EQ(readAll(dir.file("empty")), "abc");
}

TEST(CopyFileWithPrompt, AsksBeforeOverwritingContent)
{
    TempProgramDir dir(false);
    ScriptedPrompt prompt;
    writeAll(dir.file("src"), "new");
    writeAll(dir.file("dst"), "old content");
    prompt.expectMessage(kOverwrite, kWarn, Icon::Question, Buttons::YesNo, Answer::No, Answer::No);
    EXPECT_EQ(CopyFileWithPrompt(prompt, dir.file("src"), dir.file("dst")), -1);
    EXPECT_EQ(readAll(dir.file("dst")), "old content");
    prompt.expectMessage(kOverwrite, kWarn, Icon::Question, Buttons::YesNo, Answer::Yes, Answer::No);
    EXPECT_EQ(CopyFileWithPrompt(prompt, dir.file("src"), dir.file("dst")), 0);
    EXPECT_EQ(readAll(dir.file("dst")), "new");
}

TEST(CopyFileWithPrompt, SourceOntoItselfIsUnchanged)
{
    TempProgramDir dir(false);
    ScriptedPrompt prompt;
    writeAll(dir.file("same"), "keep me");
    prompt.expectMessage(kOverwrite, kWarn, Icon::Question, Buttons::YesNo, Answer::Yes);
    EXPECT_EQ(CopyFileWithPrompt(prompt, dir.file("same"), dir.file("same")), 0);
    EXPECT_EQ(readAll(dir.file("same")), "keep me");
}

TEST(CopyFileWithPrompt, EmptyMissingAndUnwritable)
{
    TempProgramDir dir(false);
    ScriptedPrompt prompt;
    writeAll(dir.file("empty"), "");
    writeAll(dir.file("dst"), "untouched");
    EXPECT_EQ(CopyFileWithPrompt(prompt, dir.file("empty"), dir.file("dst")), 1);
    EXPECT_EQ(readAll(dir.file("dst")), "untouched");
    EXPECT_EQ(CopyFileWithPrompt(prompt, dir.file("missing"), dir.file("dst")), 2);
    EXPECT_EQ(CopyFileWithPrompt(prompt, dir.path(), dir.file("dst")), 2);  // a directory

    writeAll(dir.file("src"), "abc");
    EXPECT_EQ(CopyFileWithPrompt(prompt, dir.file("src"), dir.file("no/such/dir/x")), 2);
    QDir().mkdir(dir.file("adir"));
    EXPECT_EQ(CopyFileWithPrompt(prompt, dir.file("src"), dir.file("adir")), 2);
    EXPECT_TRUE(QFileInfo(dir.file("adir")).isDir());
}

TEST(FileRoutines, MdRdCopyKill)
{
    TempProgramDir dir(false);
    Md(dir.file("a"));
    Md(dir.file("a"));                 // exists: ignored
    Md(dir.file("missing/parent/b"));  // no parent: ignored
    EXPECT_TRUE(QFileInfo(dir.file("a")).isDir());
    writeAll(dir.file("a/f"), "x");
    EXPECT_EQ(Rd(dir.file("a")), 75);
    EXPECT_EQ(Rd(dir.file("nothing")), 76);
    KillFile(dir.file("a/f"));
    KillFile(dir.file("a/f"));  // already gone: ignored
    EXPECT_EQ(Rd(dir.file("a")), 0);

    writeAll(dir.file("s"), "one");
    writeAll(dir.file("d"), "older and longer");
    EXPECT_TRUE(filecopyZZ(dir.file("s"), dir.file("d")));
    EXPECT_EQ(readAll(dir.file("d")), "one");
    EXPECT_FALSE(filecopyZZ(dir.file("gone"), dir.file("d")));
    EXPECT_EQ(readAll(dir.file("d")), "one");
}

TEST(Paths, TrailingSeparatorAndCase)
{
    EXPECT_EQ(withTrailingSep("/a/b"), QStringLiteral("/a/b/"));
    EXPECT_EQ(withTrailingSep("/a/b/"), QStringLiteral("/a/b/"));
    EXPECT_EQ(withTrailingSep(""), QStringLiteral("/"));
    EXPECT_TRUE(sameFileName("WorkPath.cfg", "workpath.cfg"));
    EXPECT_TRUE(hasExtensionNoCase("题库.TIK", ".tik"));
    EXPECT_FALSE(hasExtensionNoCase("题库.tikx", ".tik"));

    TempProgramDir dir(false);
    Md(dir.file("tiku"));
    EXPECT_EQ(resolveNoCase(dir.path(), "TIKU"), dir.file("tiku"));
    EXPECT_EQ(resolveNoCase(dir.path(), "other"), dir.file("other"));
}

TEST(Prompt, FiltersBecomeQtFilters)
{
    EXPECT_EQ(qtFileFilter(QStringLiteral("出题方案(*.faa)|*.faa")), QStringLiteral("出题方案(*.faa) (*.faa)"));
    EXPECT_EQ(qtFileFilter(QStringLiteral("文本|*.txt;*.dat|所有文件|*.*")),
              QStringLiteral("文本 (*.txt *.dat);;所有文件 (*)"));
}
