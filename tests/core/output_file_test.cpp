// Files written where the user says: what may be written over, and writing all or nothing.

#include "core/fileops.h"
#include "core/output_file.h"
#include "support/qstring_print.h"
#include "support/temp_dirs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qm;
using namespace qm::test;

namespace {

struct Files : ::testing::Test {
    QString file(const QString& name) const { return dir.filePath(name); }
    QStringList names() const { return QDir(dir.path()).entryList(QDir::Files | QDir::System, QDir::Name); }

    QTemporaryDir dir;
};

}  // namespace

TEST_F(Files, OneFileHoweverItIsReached)
{
    ASSERT_TRUE(writeAll(file("题库.tik"), "bank"));
    ASSERT_TRUE(writeAll(file("另一个.tik"), "bank"));
    ASSERT_TRUE(QDir().mkdir(file("子目录")));
    ASSERT_TRUE(QFile::link(file("题库.tik"), file("链接.rtf")));
    ASSERT_TRUE(QFile::link(file("子目录"), file("目录链接")));
    ASSERT_EQ(::link(QFile::encodeName(file("题库.tik")).constData(), QFile::encodeName(file("硬链接")).constData()),
              0);

    EXPECT_TRUE(sameFile(file("题库.tik"), file("题库.tik")));
    EXPECT_TRUE(sameFile(file("链接.rtf"), file("题库.tik")));
    EXPECT_TRUE(sameFile(file("硬链接"), file("题库.tik")));
    EXPECT_TRUE(sameFile(file("子目录/../题库.tik"), file("题库.tik")));
    EXPECT_FALSE(sameFile(file("另一个.tik"), file("题库.tik")));
    // New names: the same name in the same real directory.
    EXPECT_TRUE(sameFile(file("目录链接/新.rtf"), file("子目录/新.rtf")));
    EXPECT_FALSE(sameFile(file("子目录/新.rtf"), file("新.rtf")));
    EXPECT_FALSE(sameFile(file("新.rtf"), file("题库.tik")));
}

TEST_F(Files, OutputsGoOnlyWhereNothingIsLost)
{
    ASSERT_TRUE(writeAll(file("题库.tik"), QByteArray("SQLite format 3\0rest", 20)));
    ASSERT_TRUE(writeAll(file("旧.pdf"), "%PDF-1.4 old"));
    ASSERT_TRUE(writeAll(file("旧.rtf"), "\r\n {\\rtf1 old}"));
    ASSERT_TRUE(writeAll(file("方案.faa"), "\"数学\"\r\n"));
    ASSERT_TRUE(writeAll(file("图.png"), QByteArray("\x89PNG\r\n\x1a\n\0\0", 10)));
    ASSERT_TRUE(writeAll(file("空.pdf"), ""));
    ASSERT_EQ(::mkfifo(QFile::encodeName(file("管道")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(file("题库.tik"), file("链接.pdf")));
    ASSERT_TRUE(QDir().mkdir(file("子目录")));

    // What may be written over: a new name, an empty file, a file of the same kind.
    EXPECT_EQ(refuseOutputs({{file("新.pdf"), FileKind::Pdf},
                             {file("空.pdf"), FileKind::Pdf},
                             {file("旧.pdf"), FileKind::Pdf},
                             {file("旧.rtf"), FileKind::Rtf},
                             {file("方案.faa"), FileKind::Text},
                             {file("另一个.tik"), FileKind::Database},
                             {file("图.png"), FileKind::Any}},
                            {file("题库.tik"), ""}),
              std::nullopt);

    const QList<std::pair<QList<Output>, QString>> refused = {
        {{{file("管道"), FileKind::Rtf}}, "“" + file("管道") + "”不是普通文件，不能写入！"},
        {{{dir.path(), FileKind::Pdf}}, "“" + dir.path() + "”不是普通文件，不能写入！"},
        {{{"/dev/null", FileKind::Pdf}}, "“/dev/null”不是普通文件，不能写入！"},
        {{{file("题库.tik"), FileKind::Database}}, "“" + file("题库.tik") + "”是正在使用的文件，不能覆盖！"},
        {{{file("链接.pdf"), FileKind::Pdf}},
         "“" + file("链接.pdf") + "”就是正在使用的文件“" + file("题库.tik") + "”，不能覆盖！"},
        {{{file("甲.rtf"), FileKind::Rtf}, {file("子目录/../甲.rtf"), FileKind::Rtf}},
         "“" + file("甲.rtf") + "”和“" + file("子目录/../甲.rtf") + "”是同一个文件，不能同时写入！"},
        {{{file("旧.rtf"), FileKind::Pdf}}, "文件“" + file("旧.rtf") + "”已存在，它不是PDF文件，不能覆盖！"},
        {{{file("旧.pdf"), FileKind::Rtf}}, "文件“" + file("旧.pdf") + "”已存在，它不是RTF文件，不能覆盖！"},
        {{{file("方案.faa"), FileKind::Database}},
         "文件“" + file("方案.faa") + "”已存在，它不是题库、试卷库或用户文件，不能覆盖！"},
        {{{file("图.png"), FileKind::Text}}, "文件“" + file("图.png") + "”已存在，它不是文本文件，不能覆盖！"},
    };
    for (const auto& [outputs, message] : refused)
        EXPECT_EQ(refuseOutputs(outputs, {file("题库.tik")}), message);
    EXPECT_EQ(kindOfFile(file("题库.tik")), FileKind::Database);
    EXPECT_EQ(kindOfFile(file("旧.rtf")), FileKind::Rtf);
    EXPECT_EQ(kindOfFile(file("图.png")), FileKind::Other);
    EXPECT_EQ(kindOfFile(file("空.pdf")), FileKind::Empty);
}

TEST_F(Files, OutputsReplaceTheirFilesAllTogetherOrNotAtAll)
{
    ASSERT_TRUE(writeAll(file("试卷.rtf"), "old paper"));
    ASSERT_TRUE(writeAll(file("答卷.rtf"), "old answers"));
    ASSERT_EQ(::chmod(QFile::encodeName(file("试卷.rtf")).constData(), 0640), 0);
    ASSERT_TRUE(QFile::link(file("答卷.rtf"), file("链接.rtf")));
    {
        // The second cannot be written: the first is not replaced, nothing is left behind.
        OutputFiles out;
        ASSERT_TRUE(out.write(file("试卷.rtf"), "new paper"));
        QString error;
        EXPECT_FALSE(out.write(file("无此目录/答卷.rtf"), "new answers", &error, "RTF文件"));
        EXPECT_EQ(error, "无法写入RTF文件“" + file("无此目录/答卷.rtf") + "”！");
    }
    EXPECT_EQ(readAll(file("试卷.rtf")), "old paper");
    EXPECT_EQ(names(), QStringList({"答卷.rtf", "试卷.rtf", "链接.rtf"}));

    // Both written: each replaces its file, which keeps its permissions; a link keeps
    // pointing at the file it names, which gets the new content.
    OutputFiles out;
    ASSERT_TRUE(out.write(file("试卷.rtf"), "new paper"));
    ASSERT_TRUE(out.write(file("链接.rtf"), "new answers"));
    EXPECT_EQ(readAll(file("试卷.rtf")), "old paper");
    ASSERT_TRUE(out.commit());
    EXPECT_EQ(readAll(file("试卷.rtf")), "new paper");
    EXPECT_EQ(readAll(file("答卷.rtf")), "new answers");
    EXPECT_TRUE(QFileInfo(file("链接.rtf")).isSymLink());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(file("试卷.rtf")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(names(), QStringList({"答卷.rtf", "试卷.rtf", "链接.rtf"}));

    // A pipe is never replaced, nor written into.
    ASSERT_EQ(::mkfifo(QFile::encodeName(file("管道")).constData(), 0600), 0);
    EXPECT_FALSE(replaceFile(file("管道"), "text"));
    EXPECT_TRUE(QFileInfo(file("管道")).exists() && !QFileInfo(file("管道")).isFile());
}

TEST_F(Files, AFullDiskLeavesTheOldFileAndIsNamed)
{
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=16k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here (needs root)";
    const auto unmount = qScopeGuard([&] { ::umount2(mountPoint.constData(), MNT_DETACH); });
    ASSERT_TRUE(writeAll(file("方案.faa"), "old plan"));

    OutputFiles out;
    QString error;
    EXPECT_FALSE(out.write(file("方案.faa"), QByteArray(64 * 1024, 'x'), &error, "出题方案文件"));
    EXPECT_EQ(error, "无法写入出题方案文件“" + file("方案.faa") + "”：磁盘空间不足！");
    EXPECT_EQ(readAll(file("方案.faa")), "old plan");
    EXPECT_EQ(names(), QStringList({"方案.faa"}));
    EXPECT_FALSE(replaceFile(file("方案.faa"), QByteArray(64 * 1024, 'y')));
    EXPECT_EQ(readAll(file("方案.faa")), "old plan");
}
