// The format version that bank files carry, and files from a newer program.

#include "bankstore/bank_file.h"
#include "bankstore/sqlite_file.h"
#include "support/temp_dirs.h"

#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

int versionOf(const QString& path)
{
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READONLY);
    return db.execAndGet("PRAGMA user_version").getInt();
}

void setVersion(const QString& path, int version)
{
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE);
    db.exec("PRAGMA user_version = " + std::to_string(version));
}

Question question(const char* chapter)
{
    Question q;
    q.text = "{\\rtf1 q}";
    q.chapter = QString::fromUtf8(chapter);
    return q;
}

}  // namespace

TEST(FormatVersion, NewFilesCarryItAndOldOnesGetItWithTheirNextWrite)
{
    TempProgramDir dir(false);
    const QString path = dir.file("a.tik");
    ASSERT_TRUE(BankFile::createEmpty(path));
    EXPECT_EQ(versionOf(path), 3);

    // A file of an earlier program has no version: it opens, reading leaves it alone, and
    // its next write brings it to the current format.
    setVersion(path, 0);
    BankFile bank(path);
    ASSERT_TRUE(bank.add(question("第一章")));
    EXPECT_EQ(versionOf(path), 3);
    setVersion(path, 0);
    EXPECT_EQ(bank.count(), 1);
    EXPECT_EQ(versionOf(path), 0);
    ASSERT_TRUE(bank.appendToList(AttributeList::Chapters, "第一章"));
    EXPECT_EQ(versionOf(path), 3);
}

TEST(FormatVersion, AFileOfANewerProgramIsRefusedUntouched)
{
    TempProgramDir dir(false);
    const QString path = dir.file("新版.tik");
    ASSERT_TRUE(BankFile::createEmpty(path));
    ASSERT_TRUE(BankFile(path).add(question("第一章")));
    setVersion(path, 4);
    const QByteArray before = readAll(path);

    const QString expected = "文件“" + path + "”由更新版本的程序建立（格式版本4），本程序无法使用，请升级本程序。";
    BankFile bank(path);
    QString error;
    EXPECT_FALSE(bank.count(&error));
    EXPECT_EQ(error, expected);
    error.clear();
    EXPECT_FALSE(bank.add(question("第二章"), &error));
    EXPECT_EQ(error, expected);
    const QString target = dir.file("b.tik");
    ASSERT_TRUE(BankFile::createEmpty(target));
    error.clear();
    EXPECT_FALSE(BankFile(target).mergeFrom(path, &error));
    EXPECT_EQ(error, expected);
    EXPECT_EQ(readAll(path), before);
    EXPECT_EQ(BankFile(target).count(), 0);
}

TEST(FormatVersion, ANegativeVersionIsNoneOfOurs)
{
    TempProgramDir dir(false);
    const QString path = dir.file("负.tik");
    ASSERT_TRUE(BankFile::createEmpty(path));
    setVersion(path, -1);
    const QByteArray before = readAll(path);
    QString error;
    EXPECT_FALSE(BankFile(path).count(&error));
    EXPECT_EQ(error, "文件“" + path + "”的格式版本（-1）无效，不是本程序的题库文件，无法打开。");
    EXPECT_FALSE(BankFile(path).add(question("第一章"), &error));
    EXPECT_EQ(readAll(path), before);
}
