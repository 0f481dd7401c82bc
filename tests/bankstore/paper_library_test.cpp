#include "bankstore/paper_library.h"
#include "support/temp_dirs.h"

#include <QFile>
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

}  // namespace

TEST(PaperLibrary, FilesPapersLastAndDeletesByPosition)
{
    TempProgramDir dir(false);
    ASSERT_TRUE(PaperLibrary::createEmpty(dir.file("jk.jk")));
    ASSERT_TRUE(PaperLibrary::createFromTemplate(dir.file("jk.jk"), dir.file("期中.Juk")));
    PaperLibrary lib(dir.file("期中.Juk"));
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

TEST(PaperLibrary, UpdateWritesOneDocumentAndTheParticulars)
{
    TempProgramDir dir(false);
    ASSERT_TRUE(PaperLibrary::createEmpty(dir.file("a.Juk")));
    PaperLibrary lib(dir.file("a.Juk"));
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

TEST(PaperLibrary, MergeCopiesEveryPaperButNotFromItself)
{
    TempProgramDir dir(false);
    ASSERT_TRUE(PaperLibrary::createEmpty(dir.file("a.Juk")));
    ASSERT_TRUE(PaperLibrary::createEmpty(dir.file("b.Juk")));
    PaperLibrary a(dir.file("a.Juk")), b(dir.file("b.Juk"));
    ASSERT_TRUE(a.append(makePaper("a1")));
    ASSERT_TRUE(b.append(makePaper("b1", {})));
    ASSERT_TRUE(b.append(makePaper("b2")));
    EXPECT_EQ(a.mergeFrom(dir.file("b.Juk")), 2);
    EXPECT_EQ(names(a), QStringList({"a1", "b1", "b2"}));
    EXPECT_EQ(*a.read(1), makePaper("b1", {}));
    EXPECT_EQ(a.mergeFrom(dir.file("a.Juk")), 0);
    EXPECT_EQ(a.count(), 3);

    writeAll(dir.file("坏.Juk"), "text");
    QString error;
    EXPECT_FALSE(a.mergeFrom(dir.file("坏.Juk"), &error));
    EXPECT_TRUE(error.contains("不是本程序的试卷库文件"));
    EXPECT_EQ(a.count(), 3);
}
