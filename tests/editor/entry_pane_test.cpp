#include "entry_fixture.h"

#include "widgets/dialogkeys.h"

#include <QLabel>
#include <QListWidget>
#include <QTest>

using namespace qm;
using namespace qm::test;

namespace {

const QString kListsEmpty = QStringLiteral("章节、题型、难度、分值等项不得为空！请退出录入，进行设置！");

}  // namespace

TEST_F(EntryTest, EmptyBankThenTheFirstQuestion)
{
    openPane();
    EXPECT_FALSE(form->Frame7->isHidden());
    EXPECT_EQ(caption(), QStringLiteral("题库录入  共有题目0道"));
    EXPECT_EQ(form->Frame7->CurrentQuestion, -1);
    EXPECT_EQ(form->Frame7->QuestionCount, 0);
    EXPECT_EQ(shownQuestion(), QString());
    EXPECT_EQ(form->Frame7->RichTextBox2->Text(), QString());
    for (QPushButton* b : {form->Frame7->Command30, form->Frame7->Command31, form->Frame7->Command32,
                           form->Frame7->Command33, form->Frame1->Command27, form->Frame7->Command37})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_FALSE(form->Frame1->Timer1->isActive());
    EXPECT_TRUE(form->Frame7->Timer4->isActive());
    EXPECT_EQ(form->Frame7->Combo5->itemText(19), "20");
    EXPECT_EQ(form->Frame7->Combo5->currentText(), "1");

    // Nothing can be added before the lists hold names: said at every press.
    prompt.expectMessage(kListsEmpty, "错误", Icon::Warning);
    form->Frame7->Command34->click();
    prompt.verify();
    EXPECT_EQ(form->Frame7->Command34->text(), QStringLiteral("添　加"));

    fillLists();
    form->Frame7->Command28->click();
    form->Frame1->Command27->click();
    EXPECT_EQ(form->Frame7->Combo2->currentText(), QStringLiteral("第一章"));
    EXPECT_EQ(form->Frame7->Combo3->currentText(), QStringLiteral("填空题"));
    EXPECT_EQ(form->Frame7->Combo4->currentText(), QStringLiteral("易"));
    EXPECT_EQ(form->Frame7->Combo7->currentText(), QStringLiteral("第一单元"));

    form->Frame7->Command34->click();
    EXPECT_EQ(form->Frame7->Command34->text(), QStringLiteral("确　定"));
    for (QPushButton* b : {form->Frame7->Command28, form->Frame7->Command29, form->Frame7->Command30,
                           form->Frame7->Command35, form->Frame7->Command36})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_FALSE(form->Frame7->Timer4->isActive());
    EXPECT_EQ(form->keys()->defaultButton(), form->Frame7->Command34);
    EXPECT_EQ(form->keys()->cancelButton(), form->Frame7->Command37);
    EXPECT_FALSE(form->File1->isEnabled());

    // An empty question box saves nothing and the pane keeps waiting.
    form->Frame7->Command34->click();
    EXPECT_EQ(bank->count(), 0);
    EXPECT_EQ(form->Frame7->Command34->text(), QStringLiteral("确　定"));

    form->Frame7->RichTextBox1->setText(QStringLiteral("新题"));
    form->Frame7->Command34->click();
    EXPECT_EQ(bank->count(), 1);
    EXPECT_EQ(form->Frame7->CurrentQuestion, 0);
    EXPECT_EQ(caption(), QStringLiteral("题库录入  共有题目1道　现在显示第1道"));
    EXPECT_EQ(form->Frame7->Command34->text(), QStringLiteral("添　加"));
    EXPECT_TRUE(form->Frame7->Timer4->isActive());
    const Question stored = bank->read(0)->question;
    EXPECT_EQ(rtfPlainText(stored.text), QStringLiteral("新题"));
    EXPECT_EQ(stored.chapter, QStringLiteral("第一章"));
    EXPECT_EQ(stored.type, QStringLiteral("填空题"));
    EXPECT_EQ(stored.score, 1);
}

TEST_F(EntryTest, NavigationAndJump)
{
    fillLists();
    addQuestions(5);
    openPane();
    EXPECT_EQ(shownQuestion(), QStringLiteral("题5"));
    EXPECT_EQ(form->Frame7->RichTextBox2->Text(), QStringLiteral("答5"));
    EXPECT_EQ(caption(), QStringLiteral("题库录入  共有题目5道　现在显示第5道"));
    EXPECT_TRUE(form->Frame7->Command30->isEnabled());
    EXPECT_TRUE(form->Frame7->Command31->isEnabled());
    EXPECT_FALSE(form->Frame7->Command32->isEnabled());
    EXPECT_FALSE(form->Frame7->Command33->isEnabled());

    form->Frame7->Command30->click();
    EXPECT_EQ(shownQuestion(), QStringLiteral("题1"));
    form->Frame7->Timer4_Timer();
    EXPECT_FALSE(form->Frame7->Command30->isEnabled());
    EXPECT_FALSE(form->Frame7->Command31->isEnabled());
    EXPECT_TRUE(form->Frame7->Command32->isEnabled());
    EXPECT_TRUE(form->Frame7->Command33->isEnabled());
    form->Frame7->Command32->click();
    EXPECT_EQ(shownQuestion(), QStringLiteral("题2"));
    form->Frame7->Timer4_Timer();
    form->Frame7->Command31->click();
    EXPECT_EQ(shownQuestion(), QStringLiteral("题1"));
    form->Frame7->Command33->click();
    form->Frame7->Command32_Click();  // at the last: nothing
    EXPECT_EQ(shownQuestion(), QStringLiteral("题5"));

    for (const char* nothing : {"0", "6", "abc", "-1", ""}) {
        form->Frame7->Text12->setText(nothing);
        form->Frame7->Command29->click();
        EXPECT_EQ(form->Frame7->CurrentQuestion, 4) << nothing;
    }
    form->Frame7->Text12->setText("3");
    form->Frame7->Command29->click();
    EXPECT_EQ(shownQuestion(), QStringLiteral("题3"));
    EXPECT_EQ(caption(), QStringLiteral("题库录入  共有题目5道　现在显示第3道"));
    form->Frame7->Command33->click();
    form->Frame7->Text12->setText("2.5");
    form->Frame7->Command29->click();
    EXPECT_EQ(shownQuestion(), QStringLiteral("题3"));
    form->Frame7->Command33->click();
    form->Frame7->Text12->setText("3.5");
    form->Frame7->Command29->click();
    EXPECT_EQ(shownQuestion(), QStringLiteral("题3"));

    // Enter in the jump box jumps.
    QFocusEvent focusIn(QEvent::FocusIn);
    QApplication::sendEvent(form->Frame7->Text12, &focusIn);
    EXPECT_EQ(form->keys()->defaultButton(), form->Frame7->Command29);
}

TEST_F(EntryTest, ShownValuesJoinTheirLists)
{
    fillLists();
    Question q = question(QStringLiteral("题"));
    q.chapter = QStringLiteral("第九章");
    q.type = QStringLiteral("判断题");
    q.difficulty = QStringLiteral("难");
    q.unit = QString();
    q.score = 2.5;
    ASSERT_TRUE(bank->add(q));
    openPane();
    EXPECT_EQ(form->Frame7->Combo2->currentText(), QStringLiteral("第九章"));
    EXPECT_EQ(form->Frame7->Combo3->currentText(), QStringLiteral("判断题"));
    EXPECT_EQ(form->Frame7->Combo4->currentText(), QStringLiteral("难"));
    EXPECT_EQ(form->Frame7->Combo5->currentText(), QStringLiteral("2.5"));
    EXPECT_EQ(form->Frame7->Combo7->currentText(), QString());
    EXPECT_EQ(bank->list(AttributeList::Chapters), (QStringList{"第一章", "第二章", "第九章"}));
    EXPECT_EQ(bank->list(AttributeList::Types), (QStringList{"填空题", "选择题", "判断题"}));
    EXPECT_EQ(bank->list(AttributeList::Difficulties), (QStringList{"易", "难"}));
    EXPECT_EQ(bank->list(AttributeList::Units), (QStringList{"第一单元"}));  // an empty value joins the box only
    EXPECT_EQ(listNames(form->Settings->List3), (QStringList{"第一章", "第二章", "第九章"}));
    EXPECT_EQ(form->Frame7->Combo7->count(), 2);

    // Shown again: nothing is added twice.
    form->Frame7->Command33->click();
    EXPECT_EQ(bank->list(AttributeList::Chapters)->size(), 3);
    EXPECT_EQ(form->Frame7->Combo2->count(), 3);
    EXPECT_EQ(form->Frame7->Combo7->count(), 2);

    // The empty unit is refused at the confirming press of change and of add.
    form->Frame7->Command36->click();
    prompt.expectMessage(QStringLiteral("单元项不得为空！"), "错误", Icon::Warning);
    form->Frame7->Command36->click();
    prompt.verify();
    EXPECT_EQ(form->Frame7->Command36->text(), QStringLiteral("确　定"));
    form->Frame7->Command37->click();
    form->Frame7->Command34->click();
    prompt.expectMessage(QStringLiteral("单元项不得为空！"), "错误", Icon::Warning);
    form->Frame7->Command34->click();
    prompt.verify();
    EXPECT_EQ(bank->count(), 1);
}

TEST_F(EntryTest, EmptyChapterIsRefusedAtChange)
{
    fillLists();
    Question q = question(QStringLiteral("题"));
    q.chapter = QString();
    ASSERT_TRUE(bank->add(q));
    openPane();
    EXPECT_EQ(form->Frame7->Combo2->currentText(), QString());
    form->Frame7->Command36->click();
    prompt.expectMessage(QStringLiteral("该项不得为空！"), "错误", Icon::Warning);
    form->Frame7->Command36->click();
    prompt.verify();
    // Add refuses at once, before its first press.
    form->Frame7->Command37->click();
    prompt.expectMessage(kListsEmpty, "错误", Icon::Warning);
    form->Frame7->Command34->click();
    prompt.verify();
    EXPECT_EQ(form->Frame7->Command34->text(), QStringLiteral("添　加"));
}

TEST_F(EntryTest, AddStartsFromTheShownQuestion)
{
    fillLists();
    addQuestions(1);
    openPane();
    form->Frame7->Command34->click();
    EXPECT_EQ(form->Frame7->RichTextBox1->SelLength(), 2);  // the whole question, ready to be typed over
    EXPECT_EQ(form->Frame7->Combo2->currentText(), QStringLiteral("第二章"));
    form->Frame7->RichTextBox2->setText(QStringLiteral("新答案"));
    form->Frame7->Command34->click();
    ASSERT_EQ(bank->count(), 2);
    const Question added = bank->read(1)->question;
    EXPECT_EQ(rtfPlainText(added.text), QStringLiteral("题1"));
    EXPECT_EQ(rtfPlainText(added.answer), QStringLiteral("新答案"));
    EXPECT_EQ(added.chapter, QStringLiteral("第二章"));
    EXPECT_EQ(added.type, QStringLiteral("选择题"));
    EXPECT_EQ(added.score, 4);
    EXPECT_EQ(form->Frame7->CurrentQuestion, 1);
    EXPECT_EQ(caption(), QStringLiteral("题库录入  共有题目2道　现在显示第2道"));
}

TEST_F(EntryTest, ChangeRewritesOnlyThatQuestion)
{
    fillLists();
    Question q = question(QStringLiteral("题1"));
    q.remark = QStringLiteral("备注");
    q.use = QStringLiteral("使用");
    ASSERT_TRUE(bank->add(q));
    addQuestions(2);
    const qint64 id = bank->read(0)->question.id;
    const Question second = bank->read(1)->question;
    openPane();
    form->Frame7->Command30->click();
    form->Frame7->Command36->click();
    EXPECT_EQ(form->Frame7->Command36->text(), QStringLiteral("确　定"));
    EXPECT_FALSE(form->Frame7->Command34->isEnabled());
    EXPECT_FALSE(form->Frame7->Command35->isEnabled());
    EXPECT_EQ(form->keys()->defaultButton(), form->Frame7->Command36);
    form->Frame7->RichTextBox1->setText(QStringLiteral("改过的题"));
    form->Frame7->Combo4->setEditText(QStringLiteral("很难"));
    form->Frame7->Combo5->setEditText(QStringLiteral("3"));
    form->Frame7->Command36->click();
    EXPECT_EQ(form->Frame7->Command36->text(), QStringLiteral("修　改"));
    const Question changed = bank->read(0)->question;
    EXPECT_EQ(changed.id, id);
    EXPECT_EQ(rtfPlainText(changed.text), QStringLiteral("改过的题"));
    EXPECT_EQ(changed.difficulty, QStringLiteral("很难"));
    EXPECT_EQ(changed.score, 3);
    EXPECT_EQ(changed.remark, QStringLiteral("备注"));
    EXPECT_EQ(changed.use, QStringLiteral("使用"));
    EXPECT_EQ(bank->read(1)->question, second);
    EXPECT_EQ(bank->count(), 3);
    EXPECT_EQ(caption(), QStringLiteral("题库录入  共有题目3道　现在显示第1道"));

    // A score that is no number stores 0.
    form->Frame7->Command36->click();
    form->Frame7->Combo5->setEditText(QStringLiteral("abc"));
    form->Frame7->Command36->click();
    EXPECT_EQ(bank->read(0)->question.score, 0);
}

TEST_F(EntryTest, DeleteShowsTheFollowingQuestion)
{
    fillLists();
    addQuestions(4);
    openPane();
    form->Frame7->Text12->setText("2");
    form->Frame7->Command29->click();
    form->Frame7->Command35->click();
    EXPECT_EQ(form->Frame7->Command35->text(), QStringLiteral("确　定"));
    EXPECT_FALSE(form->Frame7->Command34->isEnabled());
    EXPECT_FALSE(form->Frame7->Command36->isEnabled());
    EXPECT_FALSE(form->Frame7->Command28->isEnabled());
    form->Frame7->Command35->click();  // no further question asked
    EXPECT_EQ(bank->count(), 3);
    EXPECT_EQ(shownQuestion(), QStringLiteral("题3"));
    EXPECT_EQ(form->Frame7->CurrentQuestion, 1);
    EXPECT_EQ(caption(), QStringLiteral("题库录入  共有题目3道　现在显示第2道"));
    EXPECT_EQ(form->Frame7->Command35->text(), QStringLiteral("删　除"));

    form->Frame7->Command33->click();
    form->Frame7->Command35->click();
    form->Frame7->Command35->click();
    EXPECT_EQ(shownQuestion(), QStringLiteral("题3"));
    EXPECT_EQ(caption(), QStringLiteral("题库录入  共有题目2道　现在显示第2道"));

    for (int i = 0; i < 2; ++i) {
        form->Frame7->Command35->click();
        form->Frame7->Command35->click();
    }
    EXPECT_EQ(bank->count(), 0);
    EXPECT_EQ(shownQuestion(), QString());
    EXPECT_EQ(form->Frame7->RichTextBox2->Text(), QString());
    EXPECT_EQ(form->Frame7->CurrentQuestion, -1);
    EXPECT_EQ(caption(), QStringLiteral("题库录入  共有题目0道"));
}

TEST_F(EntryTest, CancelKeepsUnsavedEditsVisible)
{
    fillLists();
    addQuestions(2);
    openPane();
    form->Frame7->Command36->click();
    form->Frame7->RichTextBox1->setText(QStringLiteral("未保存"));
    QTest::keyClick(form->Frame7->RichTextBox2, Qt::Key_Escape);  // Esc presses "取　消"
    EXPECT_EQ(form->Frame7->Command36->text(), QStringLiteral("修　改"));
    EXPECT_TRUE(form->Frame7->Command28->isEnabled());
    EXPECT_EQ(shownQuestion(), QStringLiteral("未保存"));
    EXPECT_EQ(storedText(1), QStringLiteral("题2"));
    form->Frame7->Command30->click();
    form->Frame7->Timer4_Timer();
    form->Frame7->Command32->click();
    EXPECT_EQ(shownQuestion(), QStringLiteral("题2"));
}

TEST_F(EntryTest, CloseAndReopenOnTheQuestionLastShown)
{
    fillLists();
    addQuestions(3);
    openPane();
    form->Frame7->Command30->click();
    form->Frame7->Command28->click();
    EXPECT_TRUE(form->Frame7->isHidden());
    EXPECT_TRUE(form->Frame1->Timer1->isActive());
    EXPECT_EQ(form->Frame1->Command4->text(), QStringLiteral("设　置"));
    EXPECT_TRUE(form->Settings->Frame5->isHidden());
    EXPECT_TRUE(form->Frame1->Command1->isEnabled());
    EXPECT_TRUE(form->Frame1->Command8->isEnabled());
    form->Frame1->Command27->click();
    EXPECT_EQ(shownQuestion(), QStringLiteral("题1"));

    // Choosing the bank again opens it on its last question.
    form->Frame7->Command28->click();
    choose("生物", "a.tik");
    form->Frame1->Command27->click();
    EXPECT_EQ(shownQuestion(), QStringLiteral("题3"));
}

TEST_F(EntryTest, ThePaneFollowsTheChosenBank)
{
    fillLists();
    addQuestions(2);
    BankFile other(BankRoot() + "生物/b.tik");
    ASSERT_TRUE(other.add(question(QStringLiteral("乙库的题"))));
    openPane();
    choose("生物", "b.tik");
    EXPECT_FALSE(form->Frame7->isHidden());
    EXPECT_EQ(shownQuestion(), QStringLiteral("乙库的题"));
    EXPECT_EQ(caption(), QStringLiteral("题库录入  共有题目1道　现在显示第1道"));
    EXPECT_FALSE(form->Frame1->Timer1->isActive());
    // The lists of b.tik got the values of its question.
    EXPECT_EQ(other.list(AttributeList::Chapters), QStringList{"第二章"});
    // Another subject (no bank chosen) closes the pane.
    subject("化学");
    form->RefreshXueKe();
    form->Combo1->setCurrentIndex(form->Combo1->findText("化学"));
    EXPECT_TRUE(form->Frame7->isHidden());
}

TEST_F(EntryTest, TheParticularsShowTheUsesOfTheQuestionShown)
{
    fillLists();
    addQuestions(2);
    const QList<qint64> ids = *bank->idsMatching({});
    ASSERT_TRUE(bank->recordUsage({ids[0]}, {QDate(2025, 6, 30), "高一", "期中卷"}));
    ASSERT_TRUE(bank->recordUsage({ids[0]}, {QDate(2026, 1, 10), "高一", "高一(3)班《生物》期末试卷"}));
    openPane();
    EXPECT_EQ(form->Frame7->LabelUsage->text(), "未用过");
    form->Frame7->Command30->click();
    EXPECT_EQ(form->Frame7->LabelUsage->text(), "已用 2 次，最近 2026-01-10《高一(3)班《生物》期末试卷》");
}
