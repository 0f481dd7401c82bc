// The criteria of the composition window: the bank choice, the candidate panels and their
// moves, the chapter/unit grid, the options, and the count grid they build.

#include "form3_fixture.h"

#include <QSignalSpy>

using namespace qm;
using namespace qm::test;

namespace {

class Criteria : public Form3Test {
protected:
    // Every type, both chapters with units 一节 and 三节 of 第一章 and 二节 of 第二章, and
    // both difficulties in `difficulties` order.
    void chooseAll(const QStringList& difficulties = {"易", "难"})
    {
        choose(criteria().TypePanel, criteria().Command23, {"选择题", "填空题", "计算题"});
        choose(criteria().ChapterPanel, criteria().Command25, {"第一章", "第二章"});
        chooseUnits(1, {"一节", "三节"});
        chooseUnits(2, {"二节"});
        choose(criteria().DifficultyPanel, criteria().Command35, difficulties);
    }
};

}  // namespace

TEST_F(Criteria, OpeningChoosesTheFirstSubjectAndBankAndOffersItsChapters)
{
    BankChoicePanel& bank = *form->Bank;
    EXPECT_EQ(bank.Combo1->currentText(), "数学");
    EXPECT_EQ(bank.Combo2->count(), 2);
    EXPECT_EQ(bank.Combo2->currentText(), "期中.tik");
    EXPECT_EQ(bank.LoadedBank, "期中.tik");
    EXPECT_EQ(bank.Text1->text(), "高一");
    EXPECT_EQ(bank.Text2->text(), "新大纲");
    EXPECT_EQ(items(criteria().List3), QStringList({"第一章", "第二章"}));
    EXPECT_TRUE(criteria().List4->count() == 0 && criteria().List1->count() == 0);
    // Nothing chosen: the count grid is its header only.
    EXPECT_EQ(gridRows(), QStringList{"题型|章节|单元|难度|分值|库内题数|出题数|大题总分|小题分"});

    // Another subject: its banks, the first loaded; the bank window is told.
    QSignalSpy told(form.get(), &Form3::bankChosen);
    bank.Combo1->setCurrentIndex(1);
    bank.Combo1_Click();
    EXPECT_EQ(bank.Combo2->currentText(), "语文一.tik");
    EXPECT_EQ(bank.LoadedBank, "语文一.tik");
    ASSERT_FALSE(told.isEmpty());
    EXPECT_EQ(told.last(), QVariantList({"语文", "语文一.tik"}));
    EXPECT_TRUE(bank.Text1->text().isEmpty());
}

TEST_F(Criteria, ChoosingAnotherBankClearsTheChosenCriteria)
{
    choose(criteria().TypePanel, criteria().Command23, {"选择题"});
    choose(criteria().ChapterPanel, criteria().Command25, {"第一章"});
    form->Bank->Combo2->setCurrentIndex(1);
    form->Bank->Combo2_Click();
    EXPECT_EQ(form->Bank->LoadedBank, "综合.tik");
    EXPECT_EQ(criteria().List1->count(), 0);
    EXPECT_EQ(criteria().List4->count(), 0);
    EXPECT_EQ(items(criteria().List3), QStringList{"第一章"});
    // The same bank again reloads nothing: what is chosen stays.
    choose(criteria().TypePanel, criteria().Command23, {"选择题"});
    form->Bank->Combo2_Click();
    EXPECT_EQ(items(criteria().List1), QStringList{"选择题"});
}

TEST_F(Criteria, CandidatePanelsMoveEntriesBothWaysAndKeepTheirButtonsInStep)
{
    CriteriaPanel& c = criteria();
    c.Command23->click();
    EXPECT_FALSE(c.TypePanel->isHidden());
    EXPECT_TRUE(c.Timer1->isActive());
    EXPECT_EQ(items(c.List6), QStringList({"计算题", "填空题", "选择题"}));
    EXPECT_FALSE(c.Command30->isEnabled());  // no candidate selected
    EXPECT_FALSE(c.Command31->isEnabled());  // no chosen entry selected
    EXPECT_TRUE(c.Command29->isEnabled());
    EXPECT_FALSE(c.Command32->isEnabled());  // nothing chosen

    pick(c.List6, "选择题");
    EXPECT_TRUE(c.Command30->isEnabled());
    c.Command30->click();
    EXPECT_EQ(items(c.List1), QStringList{"选择题"});
    EXPECT_EQ(items(c.List6), QStringList({"计算题", "填空题"}));
    c.Command29->click();  // <<全选
    EXPECT_EQ(items(c.List1), QStringList({"选择题", "计算题", "填空题"}));
    EXPECT_EQ(c.List6->count(), 0);
    EXPECT_FALSE(c.Command29->isEnabled());
    EXPECT_TRUE(c.Command32->isEnabled());

    // Giving one back puts it at the end of the candidates.
    pick(c.List1, "填空题");
    c.Command31->click();
    EXPECT_EQ(items(c.List1), QStringList({"选择题", "计算题"}));
    EXPECT_EQ(items(c.List6), QStringList{"填空题"});
    c.Command32->click();  // 全删>>
    EXPECT_EQ(c.List1->count(), 0);
    EXPECT_EQ(items(c.List6), QStringList({"填空题", "选择题", "计算题"}));

    // Reopening offers only what is not chosen.
    pick(c.List6, "计算题");
    c.Command30->click();
    c.Command24->click();
    EXPECT_TRUE(c.TypePanel->isHidden());
    EXPECT_FALSE(c.Timer1->isActive());
    c.Command23->click();
    EXPECT_EQ(items(c.List6), QStringList({"填空题", "选择题"}));
}

TEST_F(Criteria, CandidatesFollowTheBanksListsThenTheirNumbers)
{
    // The bank window's lists name some of the values, in the teacher's order.
    BankFile bank(bankPath("数学/期中.tik"));
    ASSERT_TRUE(bank.rewriteList(AttributeList::Types, {"计算题", "选择题"}));
    ASSERT_TRUE(bank.rewriteList(AttributeList::Chapters, {"第二章"}));
    ASSERT_TRUE(bank.rewriteList(AttributeList::Difficulties, {"易", "难"}));
    ASSERT_TRUE(bank.rewriteList(AttributeList::Units, {"三节"}));
    CriteriaPanel& c = criteria();
    c.Command23->click();
    EXPECT_EQ(items(c.List6), QStringList({"计算题", "选择题", "填空题"}));
    c.Command24->click();
    c.Command25->click();
    EXPECT_EQ(items(c.List3), QStringList({"第二章", "第一章"}));
    c.Command21->click();  // <<全选
    c.Command26->click();
    EXPECT_EQ(c.MSFlexGrid1->TextMatrix(0, 1), "第二章");
    c.Command35->click();
    EXPECT_EQ(items(c.List9), QStringList({"易", "难"}));
    c.Command36->click();
    c.MSFlexGrid1_Click(2);
    c.Command16->click();
    EXPECT_EQ(items(c.List7), QStringList({"三节", "一节"}));
}

TEST_F(Criteria, UpAndDownReorderTheSectionsAndKeepTheSelection)
{
    chooseAll();
    CriteriaPanel& c = criteria();
    pick(c.List1, "选择题");
    c.Timer1_Timer();
    EXPECT_FALSE(c.Command2->isEnabled());
    EXPECT_TRUE(c.Command3->isEnabled());
    c.Command3->click();
    EXPECT_EQ(items(c.List1), QStringList({"填空题", "选择题", "计算题"}));
    EXPECT_EQ(c.List1->currentItem()->text(), "选择题");
    EXPECT_EQ(grid().TextMatrix(1, 0), "填空题");
    pick(c.List1, "计算题");
    c.Timer1_Timer();
    EXPECT_TRUE(c.Command2->isEnabled());
    EXPECT_FALSE(c.Command3->isEnabled());
}

TEST_F(Criteria, UnitsNeedAChapterColumnAndFillItsColumn)
{
    CriteriaPanel& c = criteria();
    prompt.expectMessage("请先选择表格中的某章节所在列！", "错误", Icon::Warning);
    c.Command16->click();
    prompt.verify();
    EXPECT_TRUE(c.UnitPanel->isHidden());

    choose(c.ChapterPanel, c.Command25, {"第一章", "第二章"});
    ASSERT_EQ(c.MSFlexGrid1->Cols(), 3);
    EXPECT_EQ(c.MSFlexGrid1->TextMatrix(0, 0), "章节名称");
    EXPECT_EQ(c.MSFlexGrid1->TextMatrix(1, 0), "1单元");
    EXPECT_EQ(c.MSFlexGrid1->TextMatrix(0, 2), "第二章");

    c.MSFlexGrid1_Click(1);
    c.Command16->click();
    EXPECT_FALSE(c.UnitPanel->isHidden());
    EXPECT_EQ(c.UnitPanel->label->text(), "第一章");
    EXPECT_EQ(items(c.List7), QStringList({"一节", "三节"}));
    c.Command33->click();  // <<全选
    EXPECT_EQ(c.MSFlexGrid1->Rows(), 3);
    EXPECT_EQ(c.MSFlexGrid1->TextMatrix(2, 0), "2单元");
    EXPECT_EQ(c.MSFlexGrid1->TextMatrix(1, 1), "一节");
    EXPECT_EQ(c.MSFlexGrid1->TextMatrix(2, 1), "三节");

    // Another column shows its own units; coming back shows the first column's again.
    c.MSFlexGrid1_Click(2);
    EXPECT_EQ(c.List5->count(), 0);
    c.MSFlexGrid1_Click(1);
    EXPECT_EQ(items(c.List5), QStringList({"一节", "三节"}));
    // Removing all of them empties the column below its chapter.
    c.Command17->click();  // 全删>>
    EXPECT_EQ(c.MSFlexGrid1->TextMatrix(0, 1), "第一章");
    for (int row = 1; row < c.MSFlexGrid1->Rows(); ++row)
        EXPECT_TRUE(c.MSFlexGrid1->TextMatrix(row, 1).isEmpty());
}

TEST_F(Criteria, TheCountGridHasARowPerCombinationTheBankHolds)
{
    chooseAll();
    EXPECT_EQ(gridRows(), QStringList({
                              "题型|章节|单元|难度|分值|库内题数|出题数|大题总分|小题分",
                              "选择题|第一章|一节|易|2|3|||",
                              "|第一章|一节|难|1|4|||",
                              "|第二章|二节|易|2|2|||",
                              "填空题|第一章|一节|易|3|3|||",
                              "|第一章|三节|难|3|1|||",
                              "计算题|第二章|二节|难|10|12|||",
                          }));

    // Difficulty 难 first (易 given back and chosen again): the first combination of 填空题
    // has no question, so its name moves to the next row of its group.
    pick(criteria().List8, "易");
    criteria().Command38->click();
    pick(criteria().List9, "易");
    criteria().Command39->click();
    EXPECT_EQ(gridRows().mid(1), QStringList({
                                     "选择题|第一章|一节|难|1|4|||",
                                     "|第一章|一节|易|2|3|||",
                                     "|第二章|二节|易|2|2|||",
                                     "填空题|第一章|一节|易|3|3|||",
                                     "|第一章|三节|难|3|1|||",
                                     "计算题|第二章|二节|难|10|12|||",
                                 }));

    // No difficulty chosen while difficulties count: no rows.
    criteria().Command37->click();  // 全删>>
    EXPECT_EQ(counts().grid().size(), 1);
}

TEST_F(Criteria, OptionsChooseTheColumnsAndNoChaptersMeansNoUnits)
{
    chooseAll();
    CriteriaPanel& c = criteria();
    c.Check2->click();
    EXPECT_TRUE(c.Check5->isChecked());
    EXPECT_FALSE(c.Command25->isEnabled());
    EXPECT_FALSE(c.Command16->isEnabled());
    EXPECT_EQ(c.MSFlexGrid1->Rows(), 1);
    EXPECT_EQ(c.MSFlexGrid1->Cols(), 1);
    EXPECT_EQ(gridRows(), QStringList({
                              "题型|难度|分值|库内题数|出题数|大题总分|小题分",
                              "选择题|易|2|5|||",
                              "|难|1|4|||",
                              "填空题|易|3|3|||",
                              "|难|3|1|||",
                              "计算题|难|10|12|||",
                          }));

    // Units cannot count without chapters: switching them on again is undone.
    c.Check5->click();
    EXPECT_TRUE(c.Check5->isChecked());

    c.Check3->click();
    c.Check4->click();
    EXPECT_FALSE(c.Command35->isEnabled());
    EXPECT_FALSE(counts().Command15->isEnabled());
    EXPECT_EQ(gridRows(), QStringList({
                              "题型|库内题数|出题数|大题总分|小题分",
                              "选择题|9|||",
                              "填空题|4|||",
                              "计算题|12|||",
                          }));

    // Chapters again: the chosen chapters get their columns back, units still off.
    c.Check2->click();
    c.Check4->click();
    EXPECT_TRUE(c.Command25->isEnabled());
    EXPECT_TRUE(counts().Command15->isEnabled());
    EXPECT_EQ(c.MSFlexGrid1->Cols(), 3);
    EXPECT_EQ(gridRows(), QStringList({
                              "题型|章节|分值|库内题数|出题数|大题总分|小题分",
                              "选择题|第一章|1|4|||",
                              "|第一章|2|3|||",
                              "|第二章|2|2|||",
                              "填空题|第一章|3|4|||",
                              "计算题|第二章|10|12|||",
                          }));
}

TEST_F(Criteria, DrawCountsAreClampedAndQuestionScoresFollowTheSectionTotal)
{
    chooseAll();
    // Rows: 1 选择题 (2, 3 in bank), 2 (1, 4), 3 (2, 2), 4 填空题 (3, 3), 5 (3, 1), 6 计算题 (10, 12).
    type(6, 6, "99");
    EXPECT_EQ(counts().GridEdit->text(), "12");
    EXPECT_EQ(grid().TextMatrix(6, 6), "12");

    // A section total with no draw count yet: nothing to divide, the scores stay empty.
    type(1, 7, "10");
    EXPECT_EQ(counts().Text5->text(), "10");
    EXPECT_TRUE(grid().TextMatrix(1, 8).isEmpty());
    type(1, 6, "3");
    type(2, 6, "4");
    EXPECT_EQ(grid().TextMatrix(1, 8), "2");
    EXPECT_EQ(grid().TextMatrix(2, 8), "1");

    type(4, 6, "3");
    type(4, 7, "10");
    EXPECT_EQ(grid().TextMatrix(4, 8), "3.33");
    EXPECT_EQ(counts().Text5->text(), "20");

    // Only a section's first row takes a total; the question score is not typed.
    grid().clickCell(2, 7);
    EXPECT_TRUE(counts().GridEdit->isHidden());
    grid().clickCell(1, 8);
    EXPECT_TRUE(counts().GridEdit->isHidden());

    // Any rebuild discards what was typed.
    criteria().Check3->click();
    for (int row = 1; row < grid().Rows(); ++row)
        EXPECT_TRUE(grid().TextMatrix(row, grid().Cols() - 3).isEmpty());
}

TEST_F(Criteria, WithoutScoresSectionTotalsCannotBeTyped)
{
    chooseAll();
    criteria().Check4->click();
    grid().clickCell(1, grid().Cols() - 2);
    EXPECT_TRUE(counts().GridEdit->isHidden());
    type(1, grid().Cols() - 3, "2");
    EXPECT_EQ(grid().TextMatrix(1, grid().Cols() - 3), "2");
}
