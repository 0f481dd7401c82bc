// The automatic composition window where papers went wrong: questions read from a bank
// chosen after the draw, a header stacked on the old one, a scoring table of the wrong
// size, a plan saved so that it cannot be opened, a window reopened in a half-changed
// state, and the cases of plans and draws nothing guarded.

#include "form3_fixture.h"

#include "composer/header_pane.h"
#include "composer/paper_panel.h"
#include "core/gbk.h"
#include "selection/plan_file.h"
#include "widgets/richtextbox.h"

#include <QRadioButton>
#include <QSignalSpy>

using namespace qm;
using namespace qm::test;

namespace {

const QString kPlanFilter = QStringLiteral("出题方案(*.faa)|*.faa");

class ComposingFaults : public Form3Test {
protected:
    HeaderPane& header() { return *form->Frame2; }
    PaperPanel& paperPanel() { return *form->Paper; }
    ContentsPanel& contents() { return *form->Contents; }
    QString paperText() { return paperPanel().RichTextBox3->toPlainText(); }
    void fillHeader()
    {
        header().Text6->setText("2003");
        header().Text7->setText("2004");
        header().Text8->setText("1");
        header().Text9->setText("高一(3)班");
        header().Text10->setText("90");
        header().Text11->setText("实验中学");
    }
    // Builds the header and puts it at the head of the paper.
    void acceptHeader()
    {
        form->Command6->click();
        header().Command8->click();
        header().Command9->click();
    }
    // Two sections of the three types: two 选择题 of score 2 (total 12), one 填空题.
    void draw()
    {
        contents().setRandom(std::make_unique<selection::SeededRandom>(3));
        choose(criteria().TypePanel, criteria().Command23, {"选择题", "填空题", "计算题"});
        criteria().Check2->click();
        criteria().Check3->click();
        // Rows: 选择题 score 1 (4), score 2 (5); 填空题 score 3 (4); 计算题 score 10 (12).
        type(2, 3, "2");
        type(1, 4, "12");
        type(3, 3, "1");
        form->Command5->click();
        contents().Command41->click();
        ASSERT_EQ(contents().rows().size(), 3);
    }
    // The cells of the header's scoring table in the paper: "题号|一|二|总分".
    QString scoringColumns(const QTextDocument& doc)
    {
        const QStringList lines = doc.toPlainText().split('\n');
        const qsizetype at = lines.indexOf("题号");
        const qsizetype end = lines.indexOf("总分", at);
        return at < 0 || end < 0 ? QString() : lines.mid(at, end - at + 1).join('|');
    }
};

}  // namespace

TEST_F(ComposingFaults, DrawnQuestionsAreReadFromTheirBankWhateverIsChosenSince)
{
    draw();
    // Another bank with questions of the same 编号, chosen after the draw.
    const QString other = bankPath("数学/代数.tik");
    ASSERT_TRUE(BankFile::createEmpty(other));
    for (int i = 1; i <= 30; ++i) {
        Question q;
        q.type = "选择题";
        q.text = rtfFromPlainText(QString("代数题%1").arg(i));
        ASSERT_TRUE(BankFile(other).add(q));
    }
    form->Bank->Combo1_Click();
    ASSERT_EQ(form->Bank->Combo2->currentText(), "代数.tik");

    contents().MSFlexGrid3->clickCell(1, 0);
    EXPECT_TRUE(contents().RichTextBox6->toPlainText().startsWith("选择题"))
        << contents().RichTextBox6->toPlainText().toStdString();
    contents().Timer2_Timer();
    contents().Command43->click();
    EXPECT_TRUE(contents().RichTextBox6->toPlainText().startsWith("选择题"));
    contents().Command22->click();
    EXPECT_FALSE(paperText().contains("代数题"));
    EXPECT_TRUE(paperText().contains("1.填空题")) << paperText().toStdString();
}

TEST_F(ComposingFaults, AHeaderChangedAfterThePaperReplacesTheOldOneAtTheTop)
{
    draw();
    fillHeader();
    header().Option5->click();
    acceptHeader();
    contents().Command22->click();
    ASSERT_TRUE(paperText().startsWith("实验中学2003～2004学年第1学期\n高一(3)班《期中》期末试卷(A)卷"))
        << paperText().toStdString();

    // The B paper: the header changes, the questions stay.
    form->Command6->click();
    header().Option6->click();
    header().Command8->click();
    header().Command9->click();
    for (RichTextBox* box : {paperPanel().RichTextBox3, paperPanel().RichTextBox4}) {
        const QString text = box->toPlainText();
        EXPECT_TRUE(text.startsWith("实验中学2003～2004学年第1学期\n高一(3)班《期中》期末试卷(B)卷"))
            << text.toStdString();
        EXPECT_EQ(text.count("学年第1学期"), 1) << text.toStdString();
        EXPECT_FALSE(text.contains("(A)卷"));
        EXPECT_EQ(text.count("一、选择题(12%)"), 1);
    }
    QSignalSpy archived(form.get(), &Form3::archivePaper);
    form->Command7->click();
    ASSERT_EQ(archived.size(), 1);
    const auto papers = archived[0][0].value<QList<ComposedPaper>>();
    ASSERT_EQ(papers.size(), 1);
    EXPECT_EQ(rtfPlainText(papers[0].paper).count("学年第1学期"), 1);
    EXPECT_EQ(papers[0].name, "高一(3)班《期中》期末试卷(B)卷");
}

TEST_F(ComposingFaults, TheScoringTableHasAColumnForEachSectionThePaperHolds)
{
    // Three types chosen, two of them drawn from: two columns.
    draw();
    fillHeader();
    acceptHeader();
    EXPECT_EQ(scoringColumns(*paperPanel().RichTextBox3->document()), "题号|一|二|总分");
    contents().Command22->click();
    EXPECT_EQ(scoringColumns(*paperPanel().RichTextBox3->document()), "题号|一|二|总分");
    EXPECT_EQ(scoringColumns(*paperPanel().RichTextBox4->document()), "题号|一|二|总分");

    // Saved as a plan and opened in a fresh window, whose chosen types are empty: the grid's
    // two drawing sections still give two columns.
    const QString path = dir.file("两节.faa");
    form->Command44->click();
    prompt.expectSaveFile("保存出题方案", kPlanFilter, path);
    form->Plans->Command46->click();
    form->Plans->Command47->click();
    prompt.verify();
    form = std::make_unique<Form3>(dir.workspace, prompt);
    form->open({"数学", "语文"});
    form->Command45->click();
    prompt.expectOpenFile("打开出题方案", kPlanFilter, path);
    form->Plans->Command46->click();
    form->Plans->Command47->click();
    prompt.verify();
    ASSERT_EQ(criteria().List1->count(), 0);
    fillHeader();
    form->Command6->click();
    header().Command8->click();
    EXPECT_EQ(scoringColumns(*header().RichTextBox1->document()), "题号|一|二|总分");
    header().Command9->click();
    form->Command5->click();
    contents().Command41->click();
    contents().Command22->click();
    EXPECT_EQ(scoringColumns(*paperPanel().RichTextBox3->document()), "题号|一|二|总分");
}

TEST_F(ComposingFaults, APlanIsSavedWithTheOptionsItsGridWasMadeWith)
{
    choose(criteria().TypePanel, criteria().Command23, {"选择题"});
    criteria().Check2->click();
    criteria().Check3->click();
    type(1, 3, "1");
    form->Command44->click();
    PlanPanel& plans = *form->Plans;
    // The boxes start from the grid: chapters, units and difficulties are not in it.
    EXPECT_TRUE(plans.Check6->isChecked());
    EXPECT_TRUE(plans.Check1->isChecked());
    EXPECT_TRUE(plans.Check7->isChecked());
    EXPECT_FALSE(plans.Check8->isChecked());
    // Options that do not fit the grid are refused: such a plan would not open again.
    plans.Check7->setChecked(false);
    const QString path = dir.file("不符.faa");
    prompt.expectSaveFile("保存出题方案", kPlanFilter, path);
    plans.Command46->click();
    prompt.expectMessage("“不分章节”“不分单元”“不分难度”“无论分值”与出题数表格的列不符，"
                         "这样保存的方案无法再打开。请按表格选择后再保存。",
                         "错误", Icon::Warning);
    plans.Command47->click();
    prompt.verify();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(plans.isHidden());
    // Put back as the grid has it, the plan is saved and opens.
    plans.Check7->setChecked(true);
    plans.Command47->click();
    EXPECT_TRUE(plans.isHidden());
    EXPECT_TRUE(selection::loadPlan(path));
}

TEST_F(ComposingFaults, APlanRestoresEachOptionBoxAndDrawsTheWholePartOfAFractionalCount)
{
    // 不分单元 on and 不分难度 off, then the other way round: each box gets its own line.
    for (const bool noUnits : {true, false}) {
        SCOPED_TRACE(noUnits);
        selection::Plan plan;
        plan.subject = "数学";
        plan.bank = "期中.tik";
        plan.options = {false, noUnits, !noUnits, true};
        const selection::Grid grid{selection::gridHeader(plan.options)};
        plan.grid = grid;
        const QString path = dir.file(noUnits ? "甲.faa" : "乙.faa");
        ASSERT_TRUE(selection::savePlan(path, plan));
        form->Command45->click();
        prompt.expectOpenFile("打开出题方案", kPlanFilter, path);
        form->Plans->Command46->click();
        form->Plans->Command47->click();
        prompt.verify();
        EXPECT_FALSE(criteria().Check2->isChecked());
        EXPECT_EQ(criteria().Check5->isChecked(), noUnits);
        EXPECT_EQ(criteria().Check3->isChecked(), !noUnits);
        EXPECT_TRUE(criteria().Check4->isChecked());
    }

    // Draw counts "2.6" and "1.5" in a plan draw 2 and 1.
    selection::Plan plan;
    plan.subject = "数学";
    plan.bank = "期中.tik";
    plan.options = {true, true, true, true};
    plan.grid = {selection::gridHeader(plan.options), {"选择题", "9", "2.6", "", ""}, {"填空题", "4", "1.5", "", ""}};
    const QString path = dir.file("小数.faa");
    ASSERT_TRUE(selection::savePlan(path, plan));
    form->Command45->click();
    prompt.expectOpenFile("打开出题方案", kPlanFilter, path);
    form->Plans->Command46->click();
    form->Plans->Command47->click();
    prompt.verify();
    form->Command5->click();
    contents().Command41->click();
    QStringList types;
    for (const selection::ComposedRow& row : contents().rows())
        types << row.type;
    EXPECT_EQ(types, QStringList({"选择题", "选择题", "填空题"}));
}

TEST_F(ComposingFaults, ReopenedTheWindowKeepsItsBankCriteriaAndGridTogether)
{
    choose(criteria().TypePanel, criteria().Command23, {"选择题", "填空题"});
    criteria().Check2->click();
    criteria().Check3->click();
    type(1, 3, "1");
    const QStringList rows = gridRows();
    form->hide();

    // A bank added meanwhile comes first in the list; the window opens as it was left.
    makeBank("数学/代数.tik", {{"计算题", "第一章", "一节", "易", 5, 2}});
    form->open({"数学", "语文"});
    EXPECT_EQ(form->Bank->Combo2->currentText(), "期中.tik");
    EXPECT_EQ(form->Bank->Combo2->count(), 3);
    EXPECT_EQ(items(criteria().List1), QStringList({"选择题", "填空题"}));
    EXPECT_EQ(gridRows(), rows);

    // The bank is gone: the subject's first bank, with no criteria and a grid to match.
    ASSERT_TRUE(QFile::remove(bankPath("数学/期中.tik")));
    form->open({"数学", "语文"});
    EXPECT_EQ(form->Bank->Combo2->currentText(), "代数.tik");
    EXPECT_EQ(criteria().List1->count(), 0);
    EXPECT_EQ(gridRows().size(), 1);
    form->Command5->click();
    contents().Command41->click();
    EXPECT_TRUE(contents().rows().isEmpty());
}

TEST_F(ComposingFaults, TenTypesOfWhichNineDrawAreAPaperOfNineSections)
{
    QList<Kind> kinds;
    QStringList types;
    for (int i = 1; i <= 10; ++i) {
        types << QString("题型%1").arg(QChar(u'甲' + i));
        kinds.append({types.last(), "第一章", "一节", "易", 1, 2});
    }
    makeBank("数学/十种.tik", kinds);
    form->Bank->Combo1_Click();
    form->Bank->Combo2->setCurrentIndex(form->Bank->Combo2->findText("十种.tik"));
    form->Bank->Combo2_Click();
    criteria().Check2->click();
    criteria().Check3->click();
    criteria().Check4->click();
    choose(criteria().TypePanel, criteria().Command23, types);
    ASSERT_EQ(gridRows().size(), 11);
    for (int row = 1; row <= 9; ++row)
        type(row, 2, "1");
    form->Command5->click();
    contents().Command41->click();
    EXPECT_EQ(contents().rows().size(), 9);
    // The tenth drawing too is one section too many, and says so.
    type(10, 2, "1");
    prompt.expectMessage("试卷最多只能有九个大题（题型），请减少题型后再出卷！", "错误", Icon::Warning);
    contents().Command41->click();
    prompt.verify();
}

TEST_F(ComposingFaults, AAndBPapersAreAssembledWithTheirVariantsAndHandedOnTogether)
{
    draw();
    fillHeader();
    acceptHeader();
    contents().CommandAB->click();
    contents().Command22->click();
    EXPECT_FALSE(paperPanel().OptionA->isHidden());
    ASSERT_TRUE(paperText().startsWith("实验中学2003～2004学年第1学期\n高一(3)班《期中》期末试卷(A)卷"))
        << paperText().toStdString();
    paperPanel().OptionB->click();
    ASSERT_TRUE(paperText().startsWith("实验中学2003～2004学年第1学期\n高一(3)班《期中》期末试卷(B)卷"))
        << paperText().toStdString();
    EXPECT_TRUE(paperPanel().RichTextBox4->toPlainText().contains("(B)卷"));
    // What is typed into B stays with B.
    paperPanel().RichTextBox3->append("B卷的附注");
    paperPanel().OptionA->click();
    EXPECT_FALSE(paperText().contains("B卷的附注"));

    QSignalSpy archived(form.get(), &Form3::archivePaper);
    form->Command7->click();
    ASSERT_EQ(archived.size(), 1);
    const auto papers = archived[0][0].value<QList<ComposedPaper>>();
    ASSERT_EQ(papers.size(), 2);
    EXPECT_EQ(papers[0].name, "高一(3)班《期中》期末试卷(A)卷");
    EXPECT_EQ(papers[1].name, "高一(3)班《期中》期末试卷(B)卷");
    EXPECT_TRUE(rtfPlainText(papers[1].paper).contains("B卷的附注"));
    ASSERT_EQ(papers[0].questions.size(), 3);
    ASSERT_EQ(papers[1].questions.size(), 3);
    // The bank has enough of every row for two papers: they share nothing.
    for (const QuestionRef& q : papers[1].questions)
        EXPECT_FALSE(papers[0].questions.contains(q));
}
