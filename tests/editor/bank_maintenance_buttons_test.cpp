#include "core/gbk.h"
#include "editor/form2_fixture.h"
#include "editor/form4.h"
#include "rtf/rich_text.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace qm;
using namespace qm::test;

namespace {

const QString kMergeQuestion =
    QStringLiteral("　　合并题库将会将现在打开的题库与将指定的题库合并并不能自动恢复。建议合并之前检查两个题库的分值、"
                   "题型、难度是否一致！如不一致，请先进行修改。是否继续？");
const QString kImportQuestion = QStringLiteral("只能导入规定格式的题库源文件！继续执行吗？");
const QString kImportFilter = QStringLiteral("批量题库文件(*.txt)|*.txt|所有文件(*.*)|*.*");

Question inChapter(const QString& chapter, const QString& remark)
{
    Question q;
    q.text = "{\\rtf1 q}";
    q.chapter = chapter;
    q.remark = remark;
    return q;
}

class BankWindowButtons : public Form2Test {
protected:
    void SetUp() override
    {
        Form2Test::SetUp();
        subject("生物", {"a.tik", "empty.tik"});
        open();
        choose("生物", "a.tik");
    }
};

}  // namespace

TEST_F(BankWindowButtons, FormatStatementWindow)
{
    form->Frame1->Command60->click();
    Form4* f = form->form4();
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->windowTitle(), QStringLiteral("导入说明"));
    const QStringList lines = f->Text1->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 40);
    EXPECT_EQ(lines[0], QStringLiteral("批量题库的文件格式说明:"));
    EXPECT_TRUE(lines[23].contains(QChar(0x1F)));
    EXPECT_EQ(lines[36], QStringLiteral("$CP01DY01SZ1LV1PT01 请回答1+1=?    {填答案}$"));
}

TEST_F(BankWindowButtons, MergingAnEmptyBankAddsNothing)
{
    BankFile bank(form->bankPath());
    ASSERT_TRUE(bank.add(inChapter("第一章", "x")));
    prompt.expectMessage(kMergeQuestion, "警告", Icon::Question, Buttons::YesNo, Answer::Yes, Answer::No)
        .expectOpenFile("合并题库", "*.tik", SubjectDir() + "empty.tik")
        .expectMessage("将“" + form->bankPath() + "”与“" + SubjectDir() + "empty.tik”合并吗？", "警告", Icon::Question,
                       Buttons::YesNo, Answer::Yes, Answer::No)
        .expectMessage("合并成功!", "提示", Icon::Warning);
    form->Frame1->Command59->click();
    prompt.verify();
    EXPECT_EQ(bank.count(), 1);
}

TEST_F(BankWindowButtons, SortFollowsTheChapterListAsShown)
{
    BankFile bank(form->bankPath());
    ASSERT_TRUE(bank.add(inChapter("第一章", "1a")));
    ASSERT_TRUE(bank.add(inChapter("第二章", "2a")));
    ASSERT_TRUE(bank.add(inChapter("第一章", "1b")));
    ASSERT_TRUE(bank.rewriteList(AttributeList::Chapters, {"第二章", "第一章"}));
    const qint64 firstId = bank.read(0)->question.id;
    form->Frame1->Command4->click();
    prompt.expectMessage("排序成功！", "Quellmark", Icon::Information);
    form->Settings->Command72->click();
    prompt.verify();
    QStringList order;
    for (int i = 0; i < 3; ++i)
        order << bank.read(i)->question.remark;
    EXPECT_EQ(order, (QStringList{"2a", "1a", "1b"}));
    EXPECT_EQ(bank.read(1)->question.id, firstId);
}

TEST_F(BankWindowButtons, ImportOldFormatThroughTheButton)
{
    BankFile bank(form->bankPath());
    ASSERT_TRUE(bank.appendToList(AttributeList::Units, "第一单元"));
    ASSERT_TRUE(bank.appendToList(AttributeList::Types, "问答题"));
    const QString file = dir.file("old.txt");
    writeAll(file, gbkEncode(u"题库\r\n$CP01SZ1LV1 请回答1+1=? $\r\n$CP01SZ1LV1 2+2=? $").value());
    const QString q1 = QStringLiteral("\r\n 请回答1+1=? ");
    prompt.expectMessage(kImportQuestion, "警告", Icon::Question, Buttons::YesNo, Answer::Yes, Answer::No)
        .expectOpenFile("导入题库", kImportFilter, file)
        .expectInput("请输入下列题目的章节名称：" + q1, "导入题库", QStringLiteral("第一章"))
        .expectInput("请输入下列题目的难度等级：" + q1, "导入题库", QStringLiteral("容易"))
        .expectInput("请输入下列题目的题目类型：" + q1, "导入题库", QStringLiteral("问答题"))
        .expectMessage("导入文件执行完毕！题库中分值一律按１分计算，如需改变，请自行修改！", "提示", Icon::Warning);
    form->Frame1->Command40->click();
    prompt.verify();

    ASSERT_EQ(bank.count(), 2);
    const Question q = bank.read(0)->question;
    EXPECT_EQ(rtfPlainText(q.text), QStringLiteral(" 请回答1+1=? "));
    EXPECT_EQ(rtfPlainText(q.answer), QStringLiteral(" "));
    EXPECT_EQ(q.score, 1);
    EXPECT_EQ(q.unit, QStringLiteral("第一单元"));  // what the unit box held
    EXPECT_EQ(bank.read(1)->question.chapter, QStringLiteral("第一章"));
    EXPECT_EQ(bank.list(AttributeList::Types), QStringList{"问答题"});
    EXPECT_EQ(bank.list(AttributeList::Chapters), QStringList{"第一章"});
    EXPECT_TRUE(form->Frame7->isHidden());
    EXPECT_EQ(form->Frame1->Command4->text(), QStringLiteral("设　置"));
}

TEST_F(BankWindowButtons, ImportRefusesAFileWithoutTheHeader)
{
    const QString file = dir.file("notes.txt");
    writeAll(file, "just some notes");
    prompt.expectMessage(kImportQuestion, "警告", Icon::Question, Buttons::YesNo, Answer::Yes, Answer::No)
        .expectOpenFile("导入题库", kImportFilter, file)
        .expectMessage("文件不是规定格式的！", "错误", Icon::Warning);
    form->Frame1->Command40->click();
    prompt.verify();
    EXPECT_TRUE(form->Frame7->isHidden());
    EXPECT_EQ(BankFile(form->bankPath()).count(), 0);

    // Declining the first question or the file dialog does nothing at all.
    prompt.expectMessage(kImportQuestion, "警告", Icon::Question, Buttons::YesNo, Answer::No, Answer::No);
    form->Frame1->Command40->click();
    prompt.expectMessage(kImportQuestion, "警告", Icon::Question, Buttons::YesNo, Answer::Yes, Answer::No)
        .expectOpenFile("导入题库", kImportFilter, QString());
    form->Frame1->Command40->click();
    prompt.verify();
    EXPECT_TRUE(form->Frame7->isHidden());
}
