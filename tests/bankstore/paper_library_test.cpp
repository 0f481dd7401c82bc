#include "bankstore/paper_library.h"
#include "bankstore/server_store.h"
#include "support/qstring_print.h"
#include "support/temp_dirs.h"
#include "support/store_test.h"
#include "support/test_server.h"

#include <QFile>
#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

Paper makePaper(const QString& name, const QByteArray& answers = "{\\rtf1 答案}")
{
    return {"{\\rtf1 " + name.toUtf8() + "}", answers, {name, "张老师", "生物组", "理科", "2024-06-01"}, "r"};
}

QStringList names(const PaperLibrary& lib)
{
    QStringList n;
    for (int i = 0; i < *lib.count(); ++i)
        n << lib.read(i)->particulars.name;
    return n;
}

// The same cases for library files and for libraries on a server.
class LibraryTest : public StoreTest {
protected:

};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Stores, LibraryTest, bothStores(), storeName);

TEST_P(LibraryTest, FilesPapersLastAndDeletesByPosition)
{
    ASSERT_TRUE(PaperLibrary::createEmpty(dir.file("jk.jk")));
    ASSERT_TRUE(PaperLibrary::createFromTemplate(dir.file("jk.jk"), place("期中.Juk")));
    PaperLibrary lib(place("期中.Juk"));
    EXPECT_EQ(lib.count(), 0);
    EXPECT_FALSE(lib.read(-1));
    EXPECT_EQ(lib.append(makePaper("一")), 0);
    EXPECT_EQ(lib.append(makePaper("二", {})), 1);
    EXPECT_EQ(lib.append(makePaper("三 'x'")), 2);
    EXPECT_EQ(*lib.read(-1), makePaper("三 'x'"));
    EXPECT_EQ(lib.read(1)->answers, QByteArray());

    EXPECT_EQ(lib.remove(1), 2);  // the middle one: the third is now second
    EXPECT_EQ(names(lib), QStringList({"一", "三 'x'"}));
    EXPECT_FALSE(lib.remove(2));
    EXPECT_FALSE(lib.remove(-1));
    EXPECT_EQ(lib.remove(0), 1);
    EXPECT_EQ(lib.remove(0), 0);
    EXPECT_EQ(lib.count(), 0);
}

TEST_P(LibraryTest, UpdateWritesOneDocumentAndTheParticulars)
{
    ASSERT_TRUE(PaperLibrary::createEmpty(place("a.Juk")));
    PaperLibrary lib(place("a.Juk"));
    ASSERT_TRUE(lib.append(makePaper("一")));
    ASSERT_TRUE(lib.append(makePaper("二")));
    const PaperParticulars p{"新名", "王", "组", "室", "2025-01-02"};
    ASSERT_TRUE(lib.update(0, PaperDocument::Answers, "{\\rtf1 new answers}", p));
    Paper expected = makePaper("一");
    expected.answers = "{\\rtf1 new answers}";
    expected.particulars = p;
    EXPECT_EQ(*lib.read(0), expected);
    EXPECT_EQ(*lib.read(1), makePaper("二"));
    ASSERT_TRUE(lib.update(1, PaperDocument::Paper, "{\\rtf1 P}", p));
    EXPECT_EQ(lib.read(1)->paper, "{\\rtf1 P}");
    EXPECT_EQ(lib.read(1)->answers, makePaper("二").answers);
    EXPECT_FALSE(lib.update(2, PaperDocument::Paper, "x", p));
}

TEST_P(LibraryTest, MergeCopiesEveryPaperButNotFromItself)
{
    ASSERT_TRUE(PaperLibrary::createEmpty(place("a.Juk")));
    ASSERT_TRUE(PaperLibrary::createEmpty(place("b.Juk")));
    PaperLibrary a(place("a.Juk")), b(place("b.Juk"));
    ASSERT_TRUE(a.append(makePaper("a1")));
    ASSERT_TRUE(b.append(makePaper("b1", {})));
    ASSERT_TRUE(b.append(makePaper("b2")));
    EXPECT_EQ(a.mergeFrom(place("b.Juk")), 2);
    EXPECT_EQ(names(a), QStringList({"a1", "b1", "b2"}));
    EXPECT_EQ(*a.read(1), makePaper("b1", {}));
    EXPECT_EQ(a.mergeFrom(place("a.Juk")), 0);
    EXPECT_EQ(a.count(), 3);

    writeAll(dir.file("坏.Juk"), "text");
    QString error;
    EXPECT_FALSE(a.mergeFrom(dir.file("坏.Juk"), &error));
    EXPECT_TRUE(error.contains("不是本程序的试卷库文件"));
    EXPECT_EQ(a.count(), 3);
}

TEST_P(LibraryTest, LibrariesAreCopiedAndMergedAcrossTheStores)
{
    ASSERT_TRUE(PaperLibrary::createEmpty(dir.file("文件.Juk")));
    PaperLibrary file(dir.file("文件.Juk"));
    ASSERT_TRUE(file.append(makePaper("一")));
    ASSERT_TRUE(file.append(makePaper("二 \"x\"", {})));
    ASSERT_TRUE(file.append(makePaper("三")));
    ASSERT_TRUE(file.remove(0));

    EXPECT_EQ(copyLibrary(dir.file("文件.Juk"), place("副本.Juk")), 2);
    QString error;
    EXPECT_FALSE(copyLibrary(dir.file("文件.Juk"), place("副本.Juk"), &error));
    EXPECT_TRUE(error.contains("已存在")) << error.toStdString();
    EXPECT_EQ(copyLibrary(place("副本.Juk"), dir.file("回来.Juk")), 2);
    for (const QString& copy : {place("副本.Juk"), dir.file("回来.Juk")}) {
        PaperLibrary lib(copy);
        ASSERT_EQ(lib.count(), 2);
        EXPECT_EQ(*lib.read(0), makePaper("二 \"x\"", {}));
        EXPECT_EQ(*lib.read(1), makePaper("三"));
    }
    // A library that is not there is named and nothing is made.
    EXPECT_FALSE(copyLibrary(place("无.Juk"), dir.file("无副本.Juk"), &error));
    EXPECT_FALSE(QFile::exists(dir.file("无副本.Juk")));

    ASSERT_TRUE(PaperLibrary::createEmpty(place("合并.Juk")));
    EXPECT_EQ(PaperLibrary(place("合并.Juk")).mergeFrom(dir.file("文件.Juk")), 2);
    EXPECT_EQ(PaperLibrary(dir.file("文件.Juk")).mergeFrom(place("合并.Juk")), 2);
    EXPECT_EQ(names(file), (QStringList{"二 \"x\"", "三", "二 \"x\"", "三"}));
}

TEST(PaperLibrary, AMergeThatFailsOnOnePaperAddsNone)
{
    TempProgramDir dir(false);
    ASSERT_TRUE(PaperLibrary::createEmpty(dir.file("a.Juk")));
    ASSERT_TRUE(PaperLibrary::createEmpty(dir.file("b.Juk")));
    PaperLibrary a(dir.file("a.Juk")), b(dir.file("b.Juk"));
    ASSERT_TRUE(a.append(makePaper("a1")));
    for (const char* n : {"b1", "b2", "b3"})
        ASSERT_TRUE(b.append(makePaper(n)));
    // The target refuses the second paper half-way through the copy, as a full disk would.
    {
        SQLite::Database db(dir.file("a.Juk").toStdString(), SQLite::OPEN_READWRITE);
        db.exec("CREATE TRIGGER refuse BEFORE INSERT ON 卷库 WHEN NEW.卷名 = 'b2' "
                "BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    }
    const QByteArray before = readAll(dir.file("a.Juk"));
    QString error;
    EXPECT_FALSE(a.mergeFrom(dir.file("b.Juk"), &error));
    EXPECT_TRUE(error.contains("a.Juk")) << error.toStdString();
    EXPECT_EQ(names(a), QStringList{"a1"});
    EXPECT_EQ(readAll(dir.file("a.Juk")), before);
}

TEST(PaperLibrary, MergeTakesMissingValuesOfAForeignLibraryAsEmpty)
{
    TempProgramDir dir(false);
    ASSERT_TRUE(PaperLibrary::createEmpty(dir.file("a.Juk")));
    {
        // Made by another program: the same fields, none of them required.
        SQLite::Database db(dir.file("外来.Juk").toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec("CREATE TABLE 卷库 (试卷 BLOB, 答卷 BLOB, 卷名 TEXT, 出卷人 TEXT, 教研组 TEXT, 科室 TEXT, 时间 TEXT, "
                "备注 TEXT, 次序 INTEGER PRIMARY KEY);"
                "INSERT INTO 卷库 (试卷, 卷名) VALUES (x'7B5C72746631207D', '外来卷')");
    }
    PaperLibrary a(dir.file("a.Juk"));
    EXPECT_EQ(a.mergeFrom(dir.file("外来.Juk")), 1);
    EXPECT_EQ(*a.read(0), (Paper{"{\\rtf1 }", {}, {"外来卷", "", "", "", ""}, ""}));
}

TEST(PaperLibrary, AFileThatIsNoPaperLibraryIsNamedAndLeftAlone)
{
    TempProgramDir dir(false);
    ASSERT_TRUE(PaperLibrary::createEmpty(dir.file("a.Juk")));
    // A database of ours, but a question bank: it has no table 卷库.
    ASSERT_TRUE(PaperLibrary::createEmpty(dir.file("tmp.Juk")));
    {
        SQLite::Database db(dir.file("tmp.Juk").toStdString(), SQLite::OPEN_READWRITE);
        db.exec("ALTER TABLE 卷库 RENAME TO 题库");
    }
    const QByteArray before = readAll(dir.file("tmp.Juk"));
    QString error;
    EXPECT_FALSE(PaperLibrary(dir.file("tmp.Juk")).count(&error));
    EXPECT_EQ(error, "文件“" + dir.file("tmp.Juk") + "”不是本程序的试卷库文件，无法打开。");
    error.clear();
    EXPECT_FALSE(PaperLibrary(dir.file("a.Juk")).mergeFrom(dir.file("tmp.Juk"), &error));
    EXPECT_EQ(error, "文件“" + dir.file("tmp.Juk") + "”不是本程序的试卷库文件，无法打开。");
    EXPECT_EQ(readAll(dir.file("tmp.Juk")), before);
    EXPECT_EQ(PaperLibrary(dir.file("a.Juk")).count(), 0);
}

TEST_P(LibraryTest, ForEachVisitsThePapersInOrder)
{
    ASSERT_TRUE(PaperLibrary::createEmpty(place("a.Juk")));
    PaperLibrary lib(place("a.Juk"));
    for (const char* n : {"一", "二", "三"})
        ASSERT_TRUE(lib.append(makePaper(n)));
    ASSERT_TRUE(lib.remove(0));
    QStringList seen;
    EXPECT_TRUE(
        lib.forEach([&](int position, const Paper& p) { seen << QString::number(position) + p.particulars.name; }));
    EXPECT_EQ(seen, (QStringList{"0二", "1三"}));
    EXPECT_FALSE(PaperLibrary(place("无.Juk")).forEach([](int, const Paper&) {}));
}

TEST_P(LibraryTest, AVisitKeepsNoOneFromFiling)
{
    ASSERT_TRUE(PaperLibrary::createEmpty(place("a.Juk")));
    PaperLibrary lib(place("a.Juk"));
    for (const char* n : {"一", "二", "三"})
        ASSERT_TRUE(lib.append(makePaper(n)));
    // What a visit does may take long; meanwhile a paper is filed (here, by the visit).
    QStringList seen;
    std::optional<int> filed;
    QString error;
    EXPECT_TRUE(lib.forEach([&](int position, const Paper& p) {
        seen << QString::number(position) + p.particulars.name;
        if (position == 0)
            filed = PaperLibrary(place("a.Juk")).append(makePaper("新"), &error);
    }));
    EXPECT_EQ(filed, 3) << error.toStdString();
    EXPECT_EQ(seen, (QStringList{"0一", "1二", "2三"}));
    EXPECT_EQ(names(lib), (QStringList{"一", "二", "三", "新"}));
}

TEST_P(LibraryTest, ParticularsWithLineBreaksOrTabsAreNotFiled)
{
    ASSERT_TRUE(PaperLibrary::createEmpty(place("a.Juk")));
    PaperLibrary lib(place("a.Juk"));
    ASSERT_TRUE(lib.append(makePaper("一")));
    QString error;
    Paper paper = makePaper("期中\n考试");
    EXPECT_FALSE(lib.append(paper, &error));
    EXPECT_EQ(error, "“卷名”中不能有换行符、制表符等控制字符！");
    paper = makePaper("期中");
    paper.particulars.date = "2024\r\n6";
    EXPECT_FALSE(lib.append(paper, &error));
    EXPECT_EQ(error, "“时间”中不能有换行符、制表符等控制字符！");
    PaperParticulars particulars = makePaper("一").particulars;
    particulars.setter = "张\t老师";
    EXPECT_FALSE(lib.update(0, PaperDocument::Answers, "{\\rtf1 新答案}", particulars, &error));
    EXPECT_EQ(error, "“出卷人”中不能有换行符、制表符等控制字符！");
    EXPECT_EQ(lib.count(), 1);
    EXPECT_EQ(*lib.read(0), makePaper("一"));
}

TEST(PaperLibrary, OnlyRtfDocumentsAreTakenForFiling)
{
    TempProgramDir dir(false);
    writeAll(dir.file("卷.rtf"), "\r\n{\\rtf1\\ansi 试卷}");
    writeAll(dir.file("卷.doc"), "\xD0\xCF\x11\xE0 word");
    writeAll(dir.file("空.rtf"), "");
    EXPECT_EQ(readPaperDocument(dir.file("卷.rtf")), QByteArray("\r\n{\\rtf1\\ansi 试卷}"));
    QString error;
    EXPECT_FALSE(readPaperDocument(dir.file("卷.doc"), &error));
    EXPECT_EQ(error, "文件“" + dir.file("卷.doc") + "”不是RTF格式文件，不能导入！");
    EXPECT_FALSE(readPaperDocument(dir.file("空.rtf"), &error));
    EXPECT_EQ(error, "文件“" + dir.file("空.rtf") + "”不是RTF格式文件，不能导入！");
    EXPECT_FALSE(readPaperDocument(dir.file("无.rtf"), &error));
    EXPECT_EQ(error, "无法读取文件“" + dir.file("无.rtf") + "”！");
}
