#include "editor/form2_fixture.h"
#include "import/bank_window_actions.h"
#include "import/form4.h"
#include "import/import_texts.h"

#include <QPlainTextEdit>
#include <QPushButton>

using namespace qm;
using namespace qm::test;

namespace {

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
        actions = std::make_unique<BankWindowActions>(*form, prompt);
        choose("生物", "a.tik");
    }
    std::unique_ptr<BankWindowActions> actions;
};

}  // namespace

TEST_F(BankWindowButtons, FormatStatementWindow)
{
    form->Command60->click();
    Form4* f = actions->form4();
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
    prompt.expectMessage(import::kMergeConfirm, "警告", Icon::Question, Buttons::YesNo, Answer::Yes, Answer::No)
        .expectOpenFile("合并题库", "*.tik", SubjectDir() + "empty.tik")
        .expectMessage(import::mergeConfirmFiles(form->bankPath(), SubjectDir() + "empty.tik"), "警告",
                       Icon::Question, Buttons::YesNo, Answer::Yes, Answer::No)
        .expectMessage("合并成功!", "提示", Icon::Warning);
    form->Command59->click();
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
    form->Command4->click();
    prompt.expectMessage("排序成功！", "Quellmark", Icon::Information);
    form->Command72->click();
    prompt.verify();
    QStringList order;
    for (int i = 0; i < 3; ++i)
        order << bank.read(i)->question.remark;
    EXPECT_EQ(order, (QStringList{"2a", "1a", "1b"}));
    EXPECT_EQ(bank.read(1)->question.id, firstId);
}
