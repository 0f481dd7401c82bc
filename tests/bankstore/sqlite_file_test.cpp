#include "bankstore/sqlite_file.h"
#include "support/temp_dirs.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

// Tries to open `bytes` saved as a file of the kind; returns the message. The file must be
// left exactly as it was, and no journal may appear beside it.
QString rejection(const QByteArray& bytes, DbKind kind, const QString& name = "坏文件.tik")
{
    TempProgramDir dir(false);
    const QString path = dir.file(name);
    writeAll(path, bytes);
    QString error;
    EXPECT_FALSE(openDbFile(path, kind, &error));
    EXPECT_EQ(readAll(path), bytes);
    EXPECT_FALSE(QFile::exists(path + "-journal"));
    EXPECT_TRUE(error.contains(name)) << error.toStdString();
    return error;
}

QByteArray bankBytes()
{
    TempProgramDir dir(false);
    EXPECT_TRUE(createDbFile(dir.file("b.tik"), DbKind::Bank));
    return readAll(dir.file("b.tik"));
}

}  // namespace

TEST(OpenDbFile, RefusesFilesThatAreNotOurs)
{
    EXPECT_TRUE(rejection("第一章 细胞\r\n一、单选题\r\n", DbKind::Bank).contains("不是本程序的题库文件"));
    EXPECT_TRUE(rejection("", DbKind::Bank).contains("不是本程序的题库文件"));
    QByteArray access("\x00\x01\x00\x00Standard Jet DB\x00", 20);
    access.append(QByteArray(2000, '\x11'));
    EXPECT_TRUE(rejection(access, DbKind::Bank).contains("Access"));
    // A bank is not a user file, and a user file is not a paper library.
    EXPECT_TRUE(rejection(bankBytes(), DbKind::Users, "tiku.psw").contains("不是本程序的用户文件"));
    EXPECT_TRUE(rejection(bankBytes(), DbKind::PaperLibrary, "a.Juk").contains("不是本程序的试卷库文件"));
}

TEST(OpenDbFile, RefusesATruncatedFile)
{
    const QByteArray whole = bankBytes();
    ASSERT_GT(whole.size(), 8192);
    EXPECT_TRUE(rejection(whole.left(whole.size() - 4096), DbKind::Bank).contains("不完整"));
    EXPECT_TRUE(rejection(whole.left(100), DbKind::Bank).contains("不完整"));
}

TEST(OpenDbFile, OpensAFileOfItsKindAndNamesAMissingOne)
{
    TempProgramDir dir(false);
    ASSERT_TRUE(createDbFile(dir.file("a.Juk"), DbKind::PaperLibrary));
    EXPECT_TRUE(openDbFile(dir.file("a.Juk"), DbKind::PaperLibrary));
    QString error;
    EXPECT_FALSE(openDbFile(dir.file("无.tik"), DbKind::Bank, &error));
    EXPECT_TRUE(error.contains("无.tik"));
    EXPECT_FALSE(QFile::exists(dir.file("无.tik")));
}

TEST(OpenDbFile, GbkCollationPutsCommonHanziInPinyinOrder)
{
    TempProgramDir dir(false);
    ASSERT_TRUE(createDbFile(dir.file("b.tik"), DbKind::Bank));
    auto db = openDbFile(dir.file("b.tik"), DbKind::Bank);
    ASSERT_TRUE(db);
    db->exec("CREATE TEMP TABLE t (x TEXT)");
    for (const char* s : {"植物", "A", "遗传", "细胞", "呼吸", "光合作用", "a", "酶"}) {
        SQLite::Statement ins(*db, "INSERT INTO t VALUES (?)");
        ins.bind(1, s);
        ins.exec();
    }
    SQLite::Statement st(*db, "SELECT x FROM t ORDER BY x COLLATE GBK");
    QStringList order;
    while (st.executeStep())
        order << columnText(st.getColumn(0));
    EXPECT_EQ(order, QStringList({"A", "a", "光合作用", "呼吸", "酶", "细胞", "遗传", "植物"}));
}
