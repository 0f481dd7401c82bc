#include "editor/form2_fixture.h"

#include "widgets/flexgrid.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace qm;
using namespace qm::test;

namespace {

Question question(const QString& chapter, const QString& type = QStringLiteral("单选题"))
{
    Question q;
    q.text = "{\\rtf1 q}";
    q.type = type;
    q.chapter = chapter;
    q.unit = QStringLiteral("第一单元");
    q.difficulty = QStringLiteral("易");
    q.score = 2;
    return q;
}

}  // namespace

class AttributeLists : public Form2Test {
protected:
    void SetUp() override
    {
        Form2Test::SetUp();
        subject("生物", {"a.tik"});
        bank = std::make_unique<BankFile>(BankRoot() + "生物/a.tik");
        open();
        choose("生物", "a.tik");
    }
    std::unique_ptr<BankFile> bank;
};

TEST_F(AttributeLists, OpeningAppendsUsedChaptersInOrder)
{
    ASSERT_TRUE(bank->appendToList(AttributeList::Chapters, "C"));
    ASSERT_TRUE(bank->add(question("B")));
    ASSERT_TRUE(bank->add(question("A")));
    ASSERT_TRUE(bank->add(question("C")));
    ASSERT_TRUE(bank->add(question("")));
    // Numbered chapters follow by their numbers: 四 before 十.
    ASSERT_TRUE(bank->add(question("第十章")));
    ASSERT_TRUE(bank->add(question("第四章")));
    form->Frame1->Command4->click();
    EXPECT_EQ(form->Frame1->Command4->text(), QStringLiteral("关　闭"));
    EXPECT_FALSE(form->Settings->Frame5->isHidden());
    EXPECT_FALSE(form->Frame1->Command27->isEnabled());
    EXPECT_FALSE(form->Frame1->Timer1->isActive());
    EXPECT_EQ(listNames(form->Settings->List3), (QStringList{"C", "A", "B", "第四章", "第十章"}));
    EXPECT_EQ(bank->list(AttributeList::Chapters), (QStringList{"C", "A", "B", "第四章", "第十章"}));
    EXPECT_EQ(form->Settings->MSFlexGrid3->TextMatrix(0, 1), QStringLiteral("章节"));
    EXPECT_EQ(form->Settings->MSFlexGrid3->TextMatrix(3, 1), QStringLiteral("B"));

    form->Frame1->Command4->click();
    EXPECT_EQ(form->Frame1->Command4->text(), QStringLiteral("设　置"));
    EXPECT_TRUE(form->Settings->Frame5->isHidden());
    EXPECT_TRUE(form->Frame1->Timer1->isActive());
}

TEST_F(AttributeLists, AddTwiceRenameAndDeleteLeaveQuestionsAlone)
{
    ASSERT_TRUE(bank->add(question("第一章", "填空题")));
    form->Frame1->Command4->click();

    for (int i = 0; i < 2; ++i) {
        form->Settings->Command15->click();
        EXPECT_EQ(form->Settings->Command15->text(), QStringLiteral("确　定"));
        EXPECT_FALSE(form->Settings->List2->isEnabled());
        EXPECT_FALSE(form->Settings->Timer3->isActive());
        form->Settings->Text9->setText("填空题");
        form->Settings->Command15->click();
    }
    EXPECT_EQ(listNames(form->Settings->List2), (QStringList{"填空题", "填空题"}));
    EXPECT_TRUE(form->Settings->List2->isEnabled());

    // An empty name does nothing; the step stays open.
    form->Settings->Command15->click();
    form->Settings->Text9->clear();
    form->Settings->Command15->click();
    EXPECT_EQ(form->Settings->Command15->text(), QStringLiteral("确　定"));
    form->Settings->Command18->click();
    EXPECT_EQ(form->Settings->Command15->text(), QStringLiteral("添　加"));

    form->Settings->List2->setCurrentRow(1);
    form->Settings->Timer3_Timer();
    EXPECT_TRUE(form->Settings->Command17->isEnabled());
    form->Settings->Command17->click();
    form->Settings->Text9->setText("选择题");
    form->Settings->Command17->click();
    EXPECT_EQ(listNames(form->Settings->List2), (QStringList{"填空题", "选择题"}));

    form->Settings->List2->setCurrentRow(0);
    form->Settings->Timer3_Timer();
    form->Settings->Command16->click();
    form->Settings->Command16->click();
    EXPECT_EQ(bank->list(AttributeList::Types), (QStringList{"选择题"}));
    EXPECT_EQ(bank->read(0)->question.type, QStringLiteral("填空题"));

    form->Settings->List2->clearSelection();
    form->Settings->List2->setCurrentRow(-1);
    form->Settings->Timer3_Timer();
    EXPECT_FALSE(form->Settings->Command16->isEnabled());
    EXPECT_TRUE(form->Settings->Text9->text().isEmpty());
}

TEST_F(AttributeLists, ChaptersMoveWithinTheirBounds)
{
    ASSERT_TRUE(bank->rewriteList(AttributeList::Chapters, {"一", "二", "三"}));
    form->Frame1->Command4->click();
    form->Settings->List3->setCurrentRow(0);
    form->Settings->Timer3_Timer();
    EXPECT_FALSE(form->Settings->Command70->isEnabled());
    EXPECT_TRUE(form->Settings->Command71->isEnabled());
    form->Settings->List3->setCurrentRow(2);
    form->Settings->Timer3_Timer();
    EXPECT_TRUE(form->Settings->Command70->isEnabled());
    EXPECT_FALSE(form->Settings->Command71->isEnabled());

    form->Settings->Command70->click();
    EXPECT_EQ(listNames(form->Settings->List3), (QStringList{"一", "三", "二"}));
    EXPECT_EQ(form->Settings->List3->currentRow(), 1);
    EXPECT_EQ(bank->list(AttributeList::Chapters), (QStringList{"一", "三", "二"}));
    EXPECT_EQ(form->Settings->MSFlexGrid3->TextMatrix(2, 1), QStringLiteral("三"));
    form->Settings->Command70->click();
    EXPECT_EQ(bank->list(AttributeList::Chapters), (QStringList{"三", "一", "二"}));
    EXPECT_FALSE(form->Settings->Command70->isEnabled());
}

TEST_F(AttributeLists, ChoosingAnotherBankClosesThePanels)
{
    form->Frame1->Command4->click();
    form->Settings->Command22->click();  // a pending add in the chapter panel
    subject("生物", {"b.tik"});
    form->File1->Refresh();
    choose("生物", "b.tik");
    EXPECT_TRUE(form->Settings->Frame5->isHidden());
    EXPECT_EQ(form->Frame1->Command4->text(), QStringLiteral("设　置"));
    EXPECT_EQ(form->Settings->Command22->text(), QStringLiteral("添　加"));
    EXPECT_TRUE(form->Settings->List3->isEnabled());
}
