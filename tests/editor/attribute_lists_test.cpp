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
    form->Command4->click();
    EXPECT_EQ(form->Command4->text(), QStringLiteral("关　闭"));
    EXPECT_FALSE(form->Frame5->isHidden());
    EXPECT_FALSE(form->Command27->isEnabled());
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(listNames(form->List3), (QStringList{"C", "A", "B"}));
    EXPECT_EQ(bank->list(AttributeList::Chapters), (QStringList{"C", "A", "B"}));
    EXPECT_EQ(form->MSFlexGrid3->TextMatrix(0, 1), QStringLiteral("章节"));
    EXPECT_EQ(form->MSFlexGrid3->TextMatrix(3, 1), QStringLiteral("B"));

    form->Command4->click();
    EXPECT_EQ(form->Command4->text(), QStringLiteral("设　置"));
    EXPECT_TRUE(form->Frame5->isHidden());
    EXPECT_TRUE(form->Timer1->isActive());
}

TEST_F(AttributeLists, AddTwiceRenameAndDeleteLeaveQuestionsAlone)
{
    ASSERT_TRUE(bank->add(question("第一章", "填空题")));
    form->Command4->click();

    for (int i = 0; i < 2; ++i) {
        form->Command15->click();
        EXPECT_EQ(form->Command15->text(), QStringLiteral("确　定"));
        EXPECT_FALSE(form->List2->isEnabled());
        EXPECT_FALSE(form->Timer3->isActive());
        form->Text9->setText("填空题");
        form->Command15->click();
    }
    EXPECT_EQ(listNames(form->List2), (QStringList{"填空题", "填空题"}));
    EXPECT_TRUE(form->List2->isEnabled());

    // An empty name does nothing; the step stays open.
    form->Command15->click();
    form->Text9->clear();
    form->Command15->click();
    EXPECT_EQ(form->Command15->text(), QStringLiteral("确　定"));
    form->Command18->click();
    EXPECT_EQ(form->Command15->text(), QStringLiteral("添　加"));

    form->List2->setCurrentRow(1);
    form->Timer3_Timer();
    EXPECT_TRUE(form->Command17->isEnabled());
    form->Command17->click();
    form->Text9->setText("选择题");
    form->Command17->click();
    EXPECT_EQ(listNames(form->List2), (QStringList{"填空题", "选择题"}));

    form->List2->setCurrentRow(0);
    form->Timer3_Timer();
    form->Command16->click();
    form->Command16->click();
    EXPECT_EQ(bank->list(AttributeList::Types), (QStringList{"选择题"}));
    EXPECT_EQ(bank->read(0)->question.type, QStringLiteral("填空题"));

    form->List2->clearSelection();
    form->List2->setCurrentRow(-1);
    form->Timer3_Timer();
    EXPECT_FALSE(form->Command16->isEnabled());
    EXPECT_TRUE(form->Text9->text().isEmpty());
}

TEST_F(AttributeLists, ChaptersMoveWithinTheirBounds)
{
    ASSERT_TRUE(bank->rewriteList(AttributeList::Chapters, {"一", "二", "三"}));
    form->Command4->click();
    form->List3->setCurrentRow(0);
    form->Timer3_Timer();
    EXPECT_FALSE(form->Command70->isEnabled());
    EXPECT_TRUE(form->Command71->isEnabled());
    form->List3->setCurrentRow(2);
    form->Timer3_Timer();
    EXPECT_TRUE(form->Command70->isEnabled());
    EXPECT_FALSE(form->Command71->isEnabled());

    form->Command70->click();
    EXPECT_EQ(listNames(form->List3), (QStringList{"一", "三", "二"}));
    EXPECT_EQ(form->List3->currentRow(), 1);
    EXPECT_EQ(bank->list(AttributeList::Chapters), (QStringList{"一", "三", "二"}));
    EXPECT_EQ(form->MSFlexGrid3->TextMatrix(2, 1), QStringLiteral("三"));
    form->Command70->click();
    EXPECT_EQ(bank->list(AttributeList::Chapters), (QStringList{"三", "一", "二"}));
    EXPECT_FALSE(form->Command70->isEnabled());
}

TEST_F(AttributeLists, ChoosingAnotherBankClosesThePanels)
{
    form->Command4->click();
    form->Command22->click();  // a pending add in the chapter panel
    subject("生物", {"b.tik"});
    form->File1->Refresh();
    choose("生物", "b.tik");
    EXPECT_TRUE(form->Frame5->isHidden());
    EXPECT_EQ(form->Command4->text(), QStringLiteral("设　置"));
    EXPECT_EQ(form->Command22->text(), QStringLiteral("添　加"));
    EXPECT_TRUE(form->List3->isEnabled());
}
