// The entry pane's jump to the last question, and a subject renamed only in letter case.

#include "entry_fixture.h"
#include "support/qstring_print.h"

#include <QApplication>
#include <QFileInfo>
#include <QFocusEvent>
#include <QTest>

using namespace qm;
using namespace qm::test;

TEST_F(EntryTest, JumpToTheLastQuestionsNumber)
{
    fillLists();
    addQuestions(5);
    openPane();
    form->Frame7->Command30->click();
    ASSERT_EQ(shownQuestion(), QStringLiteral("题1"));

    form->Frame7->Text12->setText("5");
    form->Frame7->Command29->click();
    EXPECT_EQ(shownQuestion(), QStringLiteral("题5"));
    EXPECT_EQ(form->Frame7->RichTextBox2->Text(), QStringLiteral("答5"));
    EXPECT_EQ(caption(), QStringLiteral("题库录入  共有题目5道　现在显示第5道"));
    form->Frame7->Timer4_Timer();
    EXPECT_TRUE(form->Frame7->Command31->isEnabled());
    EXPECT_FALSE(form->Frame7->Command32->isEnabled());
    EXPECT_FALSE(form->Frame7->Command33->isEnabled());

    // Typed into the box and entered: 4.5 - 1 rounds to even, which is the last question.
    form->Frame7->Command30->click();
    QFocusEvent focusIn(QEvent::FocusIn);
    QApplication::sendEvent(form->Frame7->Text12, &focusIn);
    form->Frame7->Text12->setText("4.5");
    QTest::keyClick(form->Frame7->Text12, Qt::Key_Return);
    EXPECT_EQ(shownQuestion(), QStringLiteral("题5"));
    EXPECT_EQ(caption(), QStringLiteral("题库录入  共有题目5道　现在显示第5道"));
}

TEST_F(Form2Test, SubjectRenamedOnlyInLetterCase)
{
    subject("bio", {"a.tik"});
    ASSERT_TRUE(BankFile(BankRoot() + "bio/a.tik").add(Question{}));
    writeAll(BankRoot() + "bio/试卷.Juk", "library");
    subject("化学");
    open();
    form->Frame1->Command9->click();
    ASSERT_EQ(listNames(form->Frame3->List1), (QStringList{"bio", "化学"}));

    form->Frame3->List1->setCurrentRow(0);
    form->Frame3->List1_Click();
    form->Frame3->Timer2_Timer();
    form->Frame3->Command12->click();
    form->Frame3->Text8->setText("Bio");
    form->Frame3->Command12->click();  // no message: the only other name is 化学
    prompt.verify();
    EXPECT_EQ(form->Frame3->Command12->text(), QStringLiteral("修　改"));
    EXPECT_EQ(listNames(form->Frame3->List1), (QStringList{"Bio", "化学"}));
    EXPECT_EQ(form->Combo1->itemText(0), QStringLiteral("Bio"));
    EXPECT_EQ(QDir(BankRoot()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), (QStringList{"Bio", "化学"}));
    EXPECT_EQ(QDir(BankRoot() + "Bio").entryList(QDir::Files), (QStringList{"a.tik", "试卷.Juk"}));
    EXPECT_EQ(BankFile(BankRoot() + "Bio/a.tik").count(), 1);
    EXPECT_EQ(readAll(BankRoot() + "Bio/试卷.Juk"), "library");

    // Another subject differing only in case is a clash.
    subject("bio");
    form->RefreshXueKe();
    ASSERT_EQ(listNames(form->Frame3->List1), (QStringList{"Bio", "bio", "化学"}));
    form->Frame3->List1->setCurrentRow(1);
    form->Frame3->List1_Click();
    form->Frame3->Timer2_Timer();
    form->Frame3->Command12->click();
    form->Frame3->Text8->setText("BIO");
    prompt.expectMessage(QStringLiteral("该学科名已经存在！"), QStringLiteral("错误"), Icon::Warning);
    form->Frame3->Command12->click();
    prompt.verify();
    EXPECT_EQ(form->Frame3->Command12->text(), QStringLiteral("确　定"));
    EXPECT_TRUE(QFileInfo(BankRoot() + "bio").isDir());
    EXPECT_TRUE(QFileInfo(BankRoot() + "Bio/a.tik").isFile());
}
