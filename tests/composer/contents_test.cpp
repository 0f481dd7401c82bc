// Drawing the questions of the composition window, previewing and replacing them.

#include "form3_fixture.h"

#include "widgets/richtextbox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>

using namespace qm;
using namespace qm::test;

namespace {

class Contents : public Form3Test {
protected:
    void SetUp() override
    {
        Form3Test::SetUp();
        form->Contents->setRandom(std::make_unique<selection::SeededRandom>(7));
        choose(criteria().TypePanel, criteria().Command23, {"选择题", "填空题", "计算题"});
        choose(criteria().ChapterPanel, criteria().Command25, {"第一章", "第二章"});
        chooseUnits(1, {"一节", "三节"});
        chooseUnits(2, {"二节"});
        choose(criteria().DifficultyPanel, criteria().Command35, {"易", "难"});
        form->Command5->click();
    }
    ContentsPanel& contents() { return *form->Contents; }
    FlexGrid& list() { return *form->Contents->MSFlexGrid3; }
    // Columns 题型 and 题号 of the composed list, row by row.
    QStringList numbering()
    {
        QStringList out;
        for (int row = 1; row < list().Rows(); ++row)
            out << list().TextMatrix(row, 0) + list().TextMatrix(row, 1);
        return out;
    }
};

}  // namespace

TEST_F(Contents, DrawNumbersEachSectionFromOneAndKeepsItsTotal)
{
    EXPECT_FALSE(contents().isHidden());
    EXPECT_FALSE(form->Command6->isEnabled());
    EXPECT_FALSE(contents().Command22->isEnabled());
    // 选择题: 2 of row 1, none of row 2, 2 of row 3; 填空题: 1; 计算题: none.
    type(1, 6, "2");
    type(3, 6, "2");
    type(2, 6, "0");
    type(1, 7, "12");
    type(4, 6, "1");
    type(6, 6, "0");
    contents().Command41->click();
    EXPECT_EQ(numbering(), QStringList({"选择题1", "选择题2", "选择题3", "选择题4", "填空题1"}));
    EXPECT_EQ(list().Cols(), 7);
    EXPECT_EQ(list().TextMatrix(0, 4), "N");
    EXPECT_EQ(list().ColWidth(5), 0);
    EXPECT_EQ(list().TextMatrix(1, 3), "3");   // 2 × 12 / (2×2 + 2×2)
    EXPECT_EQ(list().TextMatrix(1, 6), "12");  // the section total
    EXPECT_TRUE(list().TextMatrix(5, 6).isEmpty());
    EXPECT_TRUE(form->Command6->isEnabled());
    EXPECT_TRUE(form->Command7->isEnabled());
    contents().Timer2_Timer();
    EXPECT_TRUE(contents().Command22->isEnabled());
    EXPECT_FALSE(contents().Command43->isEnabled());  // no row chosen yet

    // The two questions of row 3 are the bank's only two of their kind.
    QSet<QString> ids;
    for (int row = 3; row <= 4; ++row)
        ids << list().TextMatrix(row, 2);
    EXPECT_EQ(ids.size(), 2);

    // A new draw replaces the whole list.
    type(1, 6, "1");
    contents().Command41->click();
    EXPECT_EQ(numbering(), QStringList({"选择题1", "选择题2", "选择题3", "填空题1"}));
}

TEST_F(Contents, ARowAskingForMoreThanTheBankHoldsDrawsAllAndSaysHowManyAreMissing)
{
    // The rows 选择题/第二章/二节/易 hold 2 and 填空题/第一章/三节/难 holds 1.
    form->Counts->MSFlexGrid2->setTextMatrix(3, 6, "5");
    form->Counts->MSFlexGrid2->setTextMatrix(5, 6, "2");
    prompt.expectMessage("题库中符合条件的题目不够，共少选了 4 道题。", "Quellmark", Icon::Information);
    contents().Command41->click();
    prompt.verify();
    EXPECT_EQ(numbering(), QStringList({"选择题1", "选择题2", "填空题1"}));
}

TEST_F(Contents, PreviewAndReplaceTheChosenQuestion)
{
    type(6, 6, "2");
    contents().Command41->click();
    ASSERT_EQ(list().Rows(), 3);
    list().clickCell(1, 1);
    contents().Timer2_Timer();
    EXPECT_TRUE(contents().Command43->isEnabled());
    const QString shown = contents().RichTextBox6->toPlainText();
    EXPECT_TRUE(shown.startsWith("计算题 难 第")) << shown.toStdString();

    // Another question of the row, one not in the list yet, with the same number.
    const QString before = list().TextMatrix(1, 2);
    const QString other = list().TextMatrix(2, 2);
    contents().Command43->click();
    EXPECT_NE(list().TextMatrix(1, 2), before);
    EXPECT_NE(list().TextMatrix(1, 2), other);
    EXPECT_EQ(list().TextMatrix(1, 1), "1");
    EXPECT_NE(contents().RichTextBox6->toPlainText(), shown);
}

TEST_F(Contents, ReplacingIsRefusedWhenTheRowHasNoOtherQuestion)
{
    // 填空题/第一章/三节/难 has one question.
    type(5, 6, "1");
    contents().Command41->click();
    ASSERT_EQ(list().Rows(), 2);
    list().clickCell(1, 0);
    prompt.expectMessage("该题库中本类题目只有一题，不能替换！", "Quellmark", Icon::None);
    contents().Command43->click();
    prompt.verify();

    // 选择题/第二章/二节/易 has two, and both are drawn.
    form->Command5->click();
    type(5, 6, "0");
    type(3, 6, "2");
    contents().Command41->click();
    list().clickCell(2, 0);
    const QString before = list().TextMatrix(2, 2);
    prompt.expectMessage("本类题目已全部选入试卷，没有别的题目可以替换！", "Quellmark", Icon::None);
    contents().Command43->click();
    prompt.verify();
    EXPECT_EQ(list().TextMatrix(2, 2), before);
}

TEST_F(Contents, ATenthSectionIsRefused)
{
    selection::Grid tenSections{selection::gridHeader({true, true, true, true})};
    for (int i = 1; i <= 10; ++i)
        tenSections << QStringList{QStringLiteral("题型%1").arg(i), "1", "1", "", ""};
    form->Counts->setGrid(tenSections);
    prompt.expectMessage("试卷最多只能有九个大题（题型），请减少题型后再出卷！", "错误", Icon::Warning);
    contents().Command41->click();
    prompt.verify();
    EXPECT_EQ(list().Rows(), 1);
    EXPECT_FALSE(form->Command6->isEnabled());
}

TEST_F(Contents, CloseReturnsToTheCountGrid)
{
    contents().Command42->click();
    EXPECT_TRUE(contents().isHidden());
    EXPECT_FALSE(form->Counts->isHidden());
}

TEST_F(Contents, AAndBPapersShareOnlyWhereARowIsShortAndSayWhere)
{
    // 选择题/第一章/一节/易 holds 3 for two each (B shares one); 选择题/第二章/二节/易 holds 2
    // for one each.
    type(1, 6, "2");
    type(3, 6, "1");
    prompt.expectMessage("题数表第1行的题不够出两份不同的试卷，B卷与A卷共用了 1 道题。", "Quellmark",
                         Icon::Information);
    contents().CommandAB->click();
    prompt.verify();
    EXPECT_FALSE(contents().OptionListA->isHidden());
    EXPECT_TRUE(contents().OptionListA->isChecked());
    const QSet<QString> a1{list().TextMatrix(1, 2), list().TextMatrix(2, 2)};
    const QString a3 = list().TextMatrix(3, 2);
    contents().OptionListB->click();
    ASSERT_EQ(list().Rows(), 4);
    const QSet<QString> b1{list().TextMatrix(1, 2), list().TextMatrix(2, 2)};
    EXPECT_EQ((a1 & b1).size(), 1);
    EXPECT_NE(list().TextMatrix(3, 2), a3);
    ASSERT_EQ(contents().rowsB().size(), 3);

    // B's question of row 3 cannot be replaced by A's.
    list().clickCell(3, 0);
    prompt.expectMessage("本类其余的题目都在另一份试卷中，没有别的题目可以替换！", "Quellmark", Icon::None);
    contents().Command43->click();
    prompt.verify();
    contents().OptionListA->click();
    EXPECT_EQ(list().TextMatrix(3, 2), a3);

    // A single draw afterwards is one paper again.
    contents().Command41->click();
    EXPECT_TRUE(contents().OptionListA->isHidden());
    EXPECT_TRUE(contents().rowsB().isEmpty());
}

TEST_F(Contents, AvoidingRecentUseSaysWhichRowsHadToReuse)
{
    // Two of the three questions of row 1 were used last month.
    const QString path = bankPath("数学/期中.tik");
    const QList<qint64> row1 = *BankFile(path).idsMatching(
        {.type = "选择题", .chapter = "第一章", .unit = "一节", .difficulty = "易", .score = 2});
    ASSERT_EQ(row1.size(), 3);
    ASSERT_TRUE(BankFile(path).recordUsage({row1[0], row1[1]}, {QDate::currentDate().addMonths(-1), "库", "上月卷"}));
    contents().ComboRecent->setCurrentIndex(1);
    EXPECT_EQ(contents().ComboRecent->currentText(), "避开3个月内用过的题");
    type(1, 6, "2");
    prompt.expectMessage("题数表第1行近期未用过的题不够，选了 1 道近期用过的题。", "Quellmark", Icon::Information);
    contents().Command41->click();
    prompt.verify();
    EXPECT_TRUE(QSet<QString>({list().TextMatrix(1, 2), list().TextMatrix(2, 2)}).contains(QString::number(row1[2])));

    // Asking for one: the unused question, and nothing to say.
    type(1, 6, "1");
    contents().Command41->click();
    EXPECT_EQ(list().TextMatrix(1, 2), QString::number(row1[2]));

    // Preferring the unused ones without avoiding: the same, whatever the chance.
    contents().ComboRecent->setCurrentIndex(0);
    EXPECT_EQ(contents().ComboRecent->currentText(), "不避开近期用过的题");
    EXPECT_EQ(contents().CheckUnused->text(), "优先出未用过的题");
    contents().CheckUnused->setChecked(true);
    for (int i = 0; i < 5; ++i) {
        contents().Command41->click();
        EXPECT_EQ(list().TextMatrix(1, 2), QString::number(row1[2]));
    }
}
