// The manual composition window driven through its controls: browsing, picking, the type
// order, the picked list, rebuilding the paper and the bank statistics.

#include "composer/browse_panel.h"
#include "composer/form5.h"
#include "composer/header_pane.h"
#include "composer/manual_bank_panel.h"
#include "composer/paper_panel.h"
#include "composer/picked_panel.h"
#include "composer/type_order_panel.h"
#include "core/workspace.h"
#include "kinds_bank.h"
#include "rtf/rich_text.h"
#include "shell/form6.h"
#include "support/qstring_print.h"
#include "support/scripted_prompt.h"
#include "support/temp_dirs.h"
#include "widgets/flexgrid.h"
#include "widgets/richtextbox.h"
#include "widgets/search_panel.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace qm;
using namespace qm::test;

namespace {

// The grader box under a section heading, as the document's text reads it: its two cells
// over two blank ones, and the line under it.
const QString kBox = "得分\n阅卷人\n\n\n\n";

class Form5Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(dir.file("tiku/数学"));
        QDir().mkpath(dir.file("tiku/语文"));
        dir.workspace.setBankRoot(dir.file("tiku"));
        // Types in the filter's order: 单选题, 计算题, 填空题.
        makeKindsBank(bankPath("数学/期中.tik"), {{"单选题", "第一章", "一节", "易", 2, 3},
                                                  {"计算题", "第一章", "一节", "易", 2, 1},
                                                  {"填空题", "第一章", "一节", "易", 2, 2},
                                                  {"填空题", "第一章", "一节", "难", 5, 1}});
        makeKindsBank(bankPath("数学/综合.tik"), {{"单选题", "第一章", "一节", "易", 2, 2}});
        ASSERT_TRUE(BankFile::createEmpty(bankPath("语文/空.tik")));
        Particulars p;
        p.speciality = "高一";
        p.syllabus = "新大纲";
        ASSERT_TRUE(BankFile(bankPath("数学/期中.tik")).setParticulars(p));
        form = std::make_unique<Form5>(dir.workspace, prompt);
        form->open({"数学", "语文"});
    }
    QString bankPath(const QString& name) const { return dir.file("tiku/" + name); }

    ManualBankPanel& bank() { return *form->Bank; }
    BrowsePanel& browse() { return *form->Browse; }

    // Chooses `text` in a combo box as a click does.
    static void choose(QComboBox* combo, const QString& text)
    {
        const int index = combo->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        combo->setCurrentIndex(index);
        Q_EMIT combo->activated(index);
    }
    // Chooses the filters: type, difficulty and score (chapter and unit have one value).
    void filter(const QString& type, const QString& difficulty = "易", const QString& score = "2")
    {
        choose(bank().Combo3, type);
        choose(bank().Combo5, difficulty);
        choose(bank().Combo7, score);
    }
    QString counters() const { return form->Browse->Label22->text() + "/" + form->Browse->Label9->text(); }
    QString paper() const { return documentText(*form->RichTextBox3->document()); }
    QString answers() const { return documentText(*form->RichTextBox4->document()); }
    QStringList picked() const
    {
        QStringList keys;
        for (int i = 0; i < form->List1->count(); ++i)
            keys << form->List1->item(i)->text();
        return keys;
    }
    // The four browsing buttons as Timer1 leaves them: 上一题 下一题 跳到 选中.
    QString browsing()
    {
        browse().Timer1_Timer();
        QString s;
        for (QPushButton* b : {browse().Command2, browse().Command3, browse().Command4, browse().Command5})
            s += b->isEnabled() ? '1' : '0';
        return s;
    }
    // Fills the header pane, builds the header and puts it at the head of the paper.
    void acceptHeader()
    {
        HeaderPane& h = *form->Frame2;
        for (auto [edit, text] : {std::pair{h.Text6, "2003"},
                                  {h.Text7, "2004"},
                                  {h.Text8, "1"},
                                  {h.Text9, "高一(3)班"},
                                  {h.Text10, "90"},
                                  {h.Text11, "实验中学"}})
            edit->setText(text);
        form->Command6->click();
        h.Command8->click();
        h.Command9->click();
    }

    TempProgramDir dir;
    ScriptedPrompt prompt;
    std::unique_ptr<Form5> form;
};

}  // namespace

TEST_F(Form5Test, OpensOnTheFirstBankWithItsFiltersAndParticulars)
{
    EXPECT_EQ(form->windowTitle(), "手工组卷");
    EXPECT_EQ(bank().Combo1->currentText(), "数学");
    EXPECT_EQ(bank().Combo2->currentText(), "期中.tik");
    EXPECT_EQ(bank().Text1->text(), "高一");
    EXPECT_EQ(bank().Text2->text(), "新大纲");
    const auto entries = [](const QComboBox* c) {
        QStringList s;
        for (int i = 0; i < c->count(); ++i)
            s << c->itemText(i);
        return s;
    };
    EXPECT_EQ(entries(bank().Combo3), (QStringList{"单选题", "计算题", "填空题"}));
    EXPECT_EQ(entries(bank().Combo5), (QStringList{"难", "易"}));
    EXPECT_EQ(entries(bank().Combo7), (QStringList{"2", "5"}));
    // The first entry of each filter: 单选题, 难, 2 has no question.
    EXPECT_EQ(counters(), "0/0");

    filter("单选题");
    EXPECT_EQ(counters(), "1/3");
    EXPECT_EQ(documentText(*browse().RichTextBox5->document()), "单选题 易 第1题");
    EXPECT_EQ(documentText(*browse().RichTextBox6->document()), "单选题答1");
}

TEST_F(Form5Test, NoMatchShowsZeroEmptiesThePreviewAndDisablesBrowsing)
{
    filter("填空题");
    EXPECT_EQ(counters(), "1/2");
    EXPECT_EQ(browsing(), "0111");
    filter("单选题", "难");
    EXPECT_EQ(counters(), "0/0");
    EXPECT_TRUE(browse().RichTextBox5->document()->isEmpty());
    EXPECT_TRUE(browse().RichTextBox6->document()->isEmpty());
    EXPECT_EQ(browsing(), "0000");
    // "选　中" on nothing does nothing.
    browse().Command5_Click();
    EXPECT_TRUE(picked().isEmpty());
    EXPECT_TRUE(paper().isEmpty());
}

TEST_F(Form5Test, MovingAndJumpingStayWithinTheMatches)
{
    filter("单选题");
    EXPECT_EQ(browsing(), "0111");
    browse().Command3->click();
    browse().Command3->click();
    EXPECT_EQ(counters(), "3/3");
    EXPECT_EQ(documentText(*browse().RichTextBox5->document()), "单选题 易 第3题");
    EXPECT_EQ(browsing(), "1011");
    browse().Command3_Click();  // beyond the last: nothing
    EXPECT_EQ(counters(), "3/3");
    browse().Command2->click();
    EXPECT_EQ(counters(), "2/3");
    EXPECT_EQ(browsing(), "1111");

    browse().Text3->setText("0");
    browse().Command4->click();
    EXPECT_EQ(browse().Text3->text(), "1");
    EXPECT_EQ(counters(), "1/3");
    EXPECT_EQ(documentText(*browse().RichTextBox5->document()), "单选题 易 第1题");
    browse().Text3->setText("99");
    browse().Command4->click();
    EXPECT_EQ(browse().Text3->text(), "3");
    EXPECT_EQ(counters(), "3/3");
    browse().Text3->setText("2.5");  // halves go to the even neighbour
    browse().Command4->click();
    EXPECT_EQ(counters(), "2/3");
    browse().Text3->setText("二");
    browse().Command4->click();
    EXPECT_EQ(browse().Text3->text(), "二");
    EXPECT_EQ(counters(), "2/3");
}

TEST_F(Form5Test, PicksAreLabelledPerTypeAndASecondPickIsRefused)
{
    filter("单选题");
    browse().Command5->click();
    browse().Command3->click();
    browse().Command5->click();
    filter("计算题");
    browse().Command5->click();
    EXPECT_EQ(picked(), (QStringList{"000单选题||1", "000单选题||2", "001计算题||4"}));
    EXPECT_EQ(paper(), "一、1.单选题 易 第1题\n一、2.单选题 易 第2题\n二、1.计算题 易 第1题\n");
    EXPECT_EQ(answers(), "一、1.单选题 易 第1题\n答：单选题答1\n一、2.单选题 易 第2题\n答：单选题答2\n"
                         "二、1.计算题 易 第1题\n答：计算题答1\n");
    // The type order is fixed once anything is picked.
    EXPECT_FALSE(form->Command18->isEnabled());
    // Picks not yet arranged are a paper on A4 all the same, for the word processor and the
    // library.
    EXPECT_TRUE(form->Frame5->RichTextBox3->TextRTF().contains("\\paperw11906\\paperh16838"));
    EXPECT_TRUE(form->Frame5->RichTextBox4->TextRTF().contains("{\\*\\qmlayout a4}"));

    filter("单选题");
    prompt.expectMessage("该题已出！", "错误", Icon::Warning);
    browse().Command5->click();
    prompt.verify();
    EXPECT_EQ(picked().size(), 3);
    EXPECT_EQ(paper(), "一、1.单选题 易 第1题\n一、2.单选题 易 第2题\n二、1.计算题 易 第1题\n");
}

TEST_F(Form5Test, AnotherBankKeepsThePaperAndItsPicksAndStartsTheNumbersAgain)
{
    filter("计算题");
    browse().Command5->click();
    choose(bank().Combo2, "综合.tik");
    // The pick of 期中 stays, named with its bank; 综合's type order is free until a pick.
    EXPECT_EQ(picked(), QStringList{"001计算题||4（期中）"});
    EXPECT_TRUE(form->Command18->isEnabled());
    EXPECT_EQ(paper(), "二、1.计算题 易 第1题\n");
    filter("单选题");
    browse().Command5->click();
    EXPECT_EQ(paper(), "二、1.计算题 易 第1题\n一、1.单选题 易 第1题\n");
    EXPECT_EQ(picked(), (QStringList{"000单选题||1", "001计算题||4（期中）"}));
    EXPECT_FALSE(form->Command18->isEnabled());
    // The pick of the other bank is previewed from its own bank.
    form->Frame7->List1->setCurrentRow(1);
    EXPECT_EQ(documentText(*form->Frame7->RichTextBox10->document()), "计算题 易 第1题");

    // "整理试卷" keeps the questions of both banks, each read from its own.
    form->Command15->click();
    // Each section with its grader box, and the scores the banks give the questions.
    EXPECT_EQ(paper(),
              "一、单选题(2%)\n" + kBox + "1.(2%)单选题 易 第1题\n二、计算题(2%)\n" + kBox + "1.(2%)计算题 易 第1题\n");
    EXPECT_EQ(answers(), "一、单选题(2%)\n" + kBox + "1.(2%)单选题 易 第1题\n答：单选题答1\n二、计算题(2%)\n" + kBox
                             + "1.(2%)计算题 易 第1题\n答：计算题答1\n");

    // A subject without banks leaves nothing to browse; "预览题目" asks for a bank.
    choose(bank().Combo1, "语文");
    EXPECT_EQ(bank().Combo2->currentText(), "空.tik");
    EXPECT_EQ(counters(), "0/0");
    bank().Combo2->clear();
    prompt.expectMessage("请先选择一个题库！", "错误", Icon::Warning);
    browse().Command1->click();
    prompt.verify();
    prompt.expectMessage("请先选择一个题库！", "错误", Icon::Warning);
    form->Frame2->Command8->click();
    prompt.verify();
    prompt.expectMessage("请先选择一个题库！", "错误", Icon::Warning);
    form->Command17->click();
    prompt.verify();
}

TEST_F(Form5Test, TypeOrderMovesOnlyWhereItCanAndTheFilterFollows)
{
    form->Command18->click();
    TypeOrderPanel& order = *form->Frame6;
    EXPECT_FALSE(order.isHidden());
    order.List2->setCurrentRow(0);
    order.Command19->click();  // 向上 on the first type
    EXPECT_EQ(order.List2->currentItem()->text(), "单选题");
    EXPECT_EQ(bank().Combo3->itemText(0), "单选题");
    order.List2->setCurrentRow(2);
    order.Command20->click();  // 向下 on the last type
    EXPECT_EQ(bank().Combo3->itemText(2), "填空题");

    order.Command19->click();  // 填空题 one place up
    QStringList types;
    for (int i = 0; i < bank().Combo3->count(); ++i)
        types << bank().Combo3->itemText(i);
    EXPECT_EQ(types, (QStringList{"单选题", "填空题", "计算题"}));
    EXPECT_EQ(order.List2->currentRow(), 1);
    // The first type is chosen and queried again.
    EXPECT_EQ(bank().Combo3->currentText(), "单选题");

    // A pick takes the new place of its type and closes the panel.
    filter("填空题");
    browse().Command5->click();
    EXPECT_EQ(picked(), QStringList{"001填空题||5"});
    EXPECT_EQ(paper(), "二、1.填空题 易 第1题\n");
    EXPECT_TRUE(order.isHidden());
    form->Frame7->Command22->click();
    EXPECT_TRUE(form->Command18->isEnabled());
}

TEST_F(Form5Test, RebuildingSectionsByTheTypesPickedWithDeletionAndClearing)
{
    acceptHeader();
    const QString header = paper();
    ASSERT_TRUE(header.contains("高一(3)班《期中》期末试卷")) << header.toStdString();
    // A question of the type at place 2, then one of the type at place 0.
    filter("填空题");
    browse().Command5->click();
    browse().Command3->click();
    browse().Command5->click();
    filter("单选题");
    browse().Command5->click();
    EXPECT_TRUE(paper().endsWith("三、1.填空题 易 第1题\n三、2.填空题 易 第2题\n一、1.单选题 易 第1题\n"));

    // The header of a paper of two sections has a scoring table of two type columns; before
    // the first pick it had one for each of the bank's three types.
    const QString threeTypes = "题号\n一\n二\n三\n总分\n得分\n\n\n\n\n";
    ASSERT_TRUE(header.contains(threeTypes));
    const QString twoSections = QString(header).replace(threeTypes, "题号\n一\n二\n总分\n得分\n\n\n\n");
    form->Command15->click();
    EXPECT_EQ(paper(), twoSections + "一、单选题(2%)\n" + kBox + "1.(2%)单选题 易 第1题\n二、填空题(4%)\n" + kBox
                           + "1.(2%)填空题 易 第1题\n2.(2%)填空题 易 第2题\n");
    EXPECT_EQ(answers(), twoSections + "一、单选题(2%)\n" + kBox
                             + "1.(2%)单选题 易 第1题\n答：单选题答1\n二、填空题(4%)\n" + kBox
                             + "1.(2%)填空题 易 第1题\n答：填空题答1\n2.(2%)填空题 易 第2题\n答：填空题答2\n");

    // "删除该题" changes the list alone; the rebuild renumbers the rest of the section.
    form->Command25->click();
    PickedPanel& edit = *form->Frame7;
    EXPECT_EQ(edit.List1->currentRow(), 0);  // the last pick is the chosen entry
    edit.List1->setCurrentRow(-1);
    edit.Timer2_Timer();
    EXPECT_FALSE(edit.Command23->isEnabled());
    EXPECT_TRUE(edit.Command22->isEnabled());
    edit.List1->setCurrentRow(1);
    EXPECT_EQ(documentText(*edit.RichTextBox10->document()), "填空题 易 第1题");
    edit.Timer2_Timer();
    EXPECT_TRUE(edit.Command23->isEnabled());
    edit.Command23->click();
    EXPECT_EQ(picked(), (QStringList{"000单选题||1", "002填空题||6"}));
    EXPECT_TRUE(paper().contains("2.(2%)填空题 易 第2题"));
    form->Command15->click();
    EXPECT_EQ(paper(), twoSections + "一、单选题(2%)\n" + kBox + "1.(2%)单选题 易 第1题\n二、填空题(2%)\n" + kBox
                           + "1.(2%)填空题 易 第2题\n");

    // "清空试卷" and a rebuild leave the header alone.
    edit.Command22->click();
    EXPECT_TRUE(picked().isEmpty());
    edit.Timer2_Timer();
    EXPECT_FALSE(edit.Command22->isEnabled());
    form->Command15->click();
    EXPECT_EQ(paper(), header);
    EXPECT_EQ(answers(), header);
}

TEST_F(Form5Test, TheHeaderGoesToTheTopAndAChangedHeaderReplacesIt)
{
    filter("单选题");
    browse().Command5->click();
    // Accepted after a pick, the header still stands first.
    acceptHeader();
    EXPECT_TRUE(paper().startsWith("实验中学2003～2004学年第1学期\n高一(3)班《期中》期末试卷\n"))
        << paper().toStdString();
    EXPECT_TRUE(paper().endsWith("\n一、1.单选题 易 第1题\n")) << paper().toStdString();
    // Accepted again as the B paper, it takes the old one's place in both documents.
    form->Command6->click();
    form->Frame2->Option6->click();
    form->Frame2->Command8->click();
    form->Frame2->Command9->click();
    for (const QString& text : {paper(), answers()}) {
        EXPECT_TRUE(text.startsWith("实验中学2003～2004学年第1学期\n高一(3)班《期中》期末试卷(B)卷\n"))
            << text.toStdString();
        EXPECT_EQ(text.count("学年第1学期"), 1) << text.toStdString();
        EXPECT_EQ(text.count("一、1.单选题 易 第1题"), 1);
    }
}

TEST_F(Form5Test, DeletingTheLastPickChoosesTheNewLastOne)
{
    filter("单选题");
    for (int i = 0; i < 3; ++i) {
        browse().Command5->click();
        browse().Command3->click();
    }
    form->Command25->click();
    PickedPanel& edit = *form->Frame7;
    edit.List1->setCurrentRow(2);
    edit.Timer2_Timer();
    edit.Command23->click();
    // The pick before it is chosen, previewed and can be deleted in turn.
    EXPECT_EQ(picked(), (QStringList{"000单选题||1", "000单选题||2"}));
    EXPECT_EQ(edit.List1->currentRow(), 1);
    EXPECT_EQ(documentText(*edit.RichTextBox10->document()), "单选题 易 第2题");
    edit.Timer2_Timer();
    ASSERT_TRUE(edit.Command23->isEnabled());
    edit.Command23->click();
    EXPECT_EQ(picked(), QStringList{"000单选题||1"});
    EXPECT_EQ(documentText(*edit.RichTextBox10->document()), "单选题 易 第1题");
}

TEST_F(Form5Test, AQuestionDeletedFromTheBankKeepsItsHeadingAndNumber)
{
    filter("单选题");
    browse().Command5->click();
    browse().Command3->click();
    browse().Command5->click();
    bool found = false;
    ASSERT_TRUE(BankFile(bankPath("数学/期中.tik")).removeById(1, &found));
    prompt.expectMessage("以下题目已从题库中删除，未放入试卷：\n一、单选题 第1题", "Quellmark", Icon::Information);
    form->Command15->click();
    prompt.verify();
    EXPECT_EQ(paper(), "一、单选题\n" + kBox + "1.\n2.(2%)单选题 易 第2题\n");
}

TEST_F(Form5Test, FiltersFollowTheBanksListsThenTheirNumbers)
{
    makeKindsBank(bankPath("数学/章节.tik"), {{"单选题", "第十章", "第10单元", "难", 2, 1},
                                              {"填空题", "第二章", "第2单元", "易", 1, 1},
                                              {"单选题", "第九章", "第9单元", "中", 10, 1}});
    BankFile listed(bankPath("数学/章节.tik"));
    ASSERT_TRUE(listed.rewriteList(AttributeList::Types, {"填空题", "单选题"}));
    ASSERT_TRUE(listed.rewriteList(AttributeList::Difficulties, {"易", "中", "难"}));
    ASSERT_TRUE(listed.rewriteList(AttributeList::Units, {"第10单元"}));
    form->open({"数学"});
    choose(bank().Combo2, "章节.tik");
    const auto entries = [](const QComboBox* c) {
        QStringList s;
        for (int i = 0; i < c->count(); ++i)
            s << c->itemText(i);
        return s;
    };
    EXPECT_EQ(entries(bank().Combo3), (QStringList{"填空题", "单选题"}));
    EXPECT_EQ(entries(bank().Combo4), (QStringList{"第二章", "第九章", "第十章"}));
    EXPECT_EQ(entries(bank().Combo5), (QStringList{"易", "中", "难"}));
    EXPECT_EQ(entries(bank().Combo8), (QStringList{"第10单元", "第2单元", "第9单元"}));
    EXPECT_EQ(entries(bank().Combo7), (QStringList{"1", "2", "10"}));

    // The first type of the bank's list makes the first section.
    choose(bank().Combo8, "第2单元");
    filter("填空题", "易", "1");
    EXPECT_EQ(counters(), "1/1");
    browse().Command5->click();
    EXPECT_EQ(picked(), QStringList{"000填空题||2"});
    EXPECT_EQ(paper(), "一、1.填空题 易 第1题\n");
}

TEST_F(Form5Test, ATypeBeyondTheTwentiethIsRefused)
{
    QList<Kind> kinds;
    for (int i = 1; i <= 21; ++i)
        kinds.append({QStringLiteral("题型%1").arg(i, 2, 10, QLatin1Char('0')), "第一章", "一节", "易", 1, 1});
    makeKindsBank(bankPath("数学/多题型.tik"), kinds);
    form->open({"数学"});
    choose(bank().Combo2, "多题型.tik");
    filter("题型20", "易", "1");
    browse().Command5->click();
    EXPECT_EQ(paper(), "二十、1.题型20 易 第1题\n");
    filter("题型21", "易", "1");
    prompt.expectMessage("试卷最多只能有二十个大题（题型），“题型21”排在第21个题型，不能选入。\n"
                         "请在选题前用“调整题型顺序”把要出的题型排在前二十个。",
                         "错误", Icon::Warning);
    browse().Command5->click();
    prompt.verify();
    EXPECT_EQ(picked().size(), 1);
}

TEST_F(Form5Test, BankStatisticsFillTheInformationWindow)
{
    Form6 info;
    QObject::connect(form.get(), &Form5::bankInformation, &info, &Form6::showBankInformation);
    choose(bank().Combo2, "综合.tik");
    form->Command17->click();
    const QString path = QDir::toNativeSeparators(bankPath("数学/综合.tik"));
    EXPECT_EQ(info.windowTitle(), path + "　题库信息");
    EXPECT_EQ(info.MSFlexGrid1->Rows(), 2);
    EXPECT_EQ(info.MSFlexGrid1->Cols(), 6);
    QStringList cells;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 6; ++c)
            cells << info.MSFlexGrid1->TextMatrix(r, c);
    EXPECT_EQ(cells, (QStringList{"题  型", "章   节", "单　 元", "难   度", "分  值", "题  数", "单选题", "第一章",
                                  "一节", "易", "2", "2"}));
    // A single path: every node has one child.
    ASSERT_EQ(info.nodeCount(), 7);
    EXPECT_EQ(info.node(1)->text(0), "综合.tik");
    for (int k = 1; k < 7; ++k)
        EXPECT_EQ(info.node(k)->childCount(), 1) << k;
    EXPECT_EQ(info.node(6)->text(0), "分值:2");
    EXPECT_EQ(info.node(7)->text(0), "题数:2");

    choose(bank().Combo1, "语文");
    prompt.expectMessage("该题库中暂没有题目！", "注意", Icon::Warning);
    form->Command17->click();
    prompt.verify();
}

TEST_F(Form5Test, APaperUnderWaySurvivesClosingAndGoesToTheLibraryAsCaller5)
{
    filter("计算题");
    browse().Command5->click();
    form->Command16->click();
    EXPECT_TRUE(form->isHidden());
    // Opened again: nothing is reset.
    form->open({"语文"});
    EXPECT_EQ(bank().Combo1->currentText(), "数学");
    EXPECT_EQ(picked(), QStringList{"001计算题||4"});

    QSignalSpy archived(form.get(), &Form5::archivePaper);
    form->Command7->click();
    form->Frame5->Command14->click();
    ASSERT_EQ(archived.size(), 1);
    const auto papers = archived[0][0].value<QList<ComposedPaper>>();
    ASSERT_EQ(papers.size(), 1);
    EXPECT_EQ(papers[0].name, "《期中》期末试卷");
    EXPECT_EQ(rtfPlainText(papers[0].paper), "二、1.计算题 易 第1题\n");
    EXPECT_EQ(rtfPlainText(papers[0].answers), "二、1.计算题 易 第1题\n答：计算题答1\n");
    // The pick's use is recorded when the paper is filed.
    ASSERT_EQ(papers[0].questions.size(), 1);
    EXPECT_EQ(papers[0].questions[0].bankPath, bankPath("数学/期中.tik"));
}

TEST_F(Form5Test, ABankThatIsNoBankIsNamedAndNamesWithQuotesAreData)
{
    QFile junk(bankPath("数学/坏.tik"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("这不是题库");
    junk.close();
    makeKindsBank(bankPath("数学/引号.tik"), {{"它's题", "第\"一\"章", "一节'", "易", 1, 2}});
    // The subject's first bank, 坏.tik, is opened at once.
    const QString shown = QDir::toNativeSeparators(bankPath("数学/坏.tik"));
    prompt.expectMessage("文件“" + shown + "”不是本程序的题库文件，无法打开。", "错误", Icon::Warning);
    choose(bank().Combo1, "数学");
    prompt.verify();
    EXPECT_EQ(bank().Combo2->currentText(), "坏.tik");
    EXPECT_EQ(bank().Combo3->count(), 0);
    EXPECT_EQ(counters(), "0/0");
    EXPECT_EQ(browsing(), "0000");

    choose(bank().Combo2, "引号.tik");
    filter("它's题", "易", "1");
    EXPECT_EQ(counters(), "1/2");
    browse().Command5->click();
    EXPECT_EQ(picked(), QStringList{"000它's题||1"});
    form->Command15->click();
    EXPECT_EQ(paper(), "一、它's题(1%)\n" + kBox + "1.(1%)它's题 易 第1题\n");
}

TEST_F(Form5Test, TheUseFilterAndTheShownQuestionsUses)
{
    const QString path = bankPath("数学/期中.tik");
    const QList<qint64> choices = *BankFile(path).idsMatching({.type = "单选题"});
    ASSERT_EQ(choices.size(), 3);
    ASSERT_TRUE(BankFile(path).recordUsage({choices[0]}, {QDate::currentDate().addMonths(-2), "库", "上次卷"}));
    ASSERT_TRUE(BankFile(path).recordUsage({choices[1]}, {QDate(2020, 1, 10), "库", "旧卷"}));
    filter("单选题");
    EXPECT_EQ(counters(), "1/3");
    EXPECT_EQ(browse().LabelUsage->text(),
              "已用 1 次，最近 " + QDate::currentDate().addMonths(-2).toString(Qt::ISODate) + "《上次卷》");
    choose(bank().ComboUse, "未用过");
    EXPECT_EQ(counters(), "1/1");
    EXPECT_EQ(browse().LabelUsage->text(), "未用过");
    choose(bank().ComboUse, "3 个月内未用");
    EXPECT_EQ(counters(), "1/2");
    EXPECT_EQ(browse().LabelUsage->text(), "已用 1 次，最近 2020-01-10《旧卷》");
    choose(bank().ComboUse, "12 个月内未用");
    EXPECT_EQ(counters(), "1/2");
    choose(bank().ComboUse, "全部");
    EXPECT_EQ(counters(), "1/3");
}

TEST_F(Form5Test, TheSearchBoxBrowsesWhatItFindsAndTheChosenOneCanBePicked)
{
    SearchPanel& search = *browse().Search;
    search.Text90->setText("难 第1题");
    search.Command90->click();
    EXPECT_EQ(search.Label90->text(), "找到 1 道题");
    ASSERT_EQ(search.List90->topLevelItemCount(), 1);
    EXPECT_EQ(search.List90->topLevelItem(0)->text(3), "填空题 难 第1题 填空题答1");
    EXPECT_EQ(counters(), "1/1");

    search.Text90->setText("第2题");
    search.Command90->click();
    EXPECT_EQ(search.Label90->text(), "找到 2 道题");
    search.List90->setCurrentItem(search.List90->topLevelItem(1));
    EXPECT_EQ(counters(), "2/2");
    EXPECT_EQ(browse().RichTextBox5->Text(), "填空题 易 第2题");
    filter("填空题");
    search.Text90->setText("第2题");
    search.Command90->click();
    search.List90->setCurrentItem(search.List90->topLevelItem(1));
    browse().Command5->click();
    ASSERT_EQ(picked().size(), 1);
    EXPECT_TRUE(picked()[0].endsWith("填空题||6"));
    EXPECT_EQ(paper(), "三、1.填空题 易 第2题\n");
}
