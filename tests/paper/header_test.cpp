// The paper header and the prepared pieces of the template.

#include "bankstore/bank_file.h"
#include "paper/fragments.h"
#include "paper/header.h"
#include "paper_docs.h"
#include "rtf/rtf_reader.h"
#include "selection/draw.h"
#include "support/qstring_print.h"
#include "support/temp_dirs.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::paper;

namespace {

HeaderSettings settings()
{
    return qm::test::filledSettings("A");
}

// The cell texts of an RTF table, row by row.
QStringList tableLayout(const QByteArray& rtf)
{
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    return test::layout(doc);
}

}  // namespace

TEST(Header, TitleLinesAndBankName)
{
    HeaderSettings s = settings();
    EXPECT_EQ(headerTitleLines(s, "数学.TIK"), "A2003～2004学年第1学期\n高一(3)班《数学》期中试卷(A)卷");
    s.variant = Variant::B;
    s.kind = ExamKind::Mock;
    EXPECT_EQ(headerTitleLines(s, "数学.tik"), "A2003～2004学年第1学期\n高一(3)班《数学》模拟试卷(B)卷");
    s.variant = Variant::None;
    s.kind = ExamKind::None;
    EXPECT_EQ(headerTitleLines(s, "数学.tik"), "A2003～2004学年第1学期\n高一(3)班《数学》");

    EXPECT_EQ(bankTitle("物理.TIK"), "物理");
    EXPECT_EQ(bankTitle("/题库/高中/化学.tik"), "化学");
    EXPECT_EQ(bankTitle("C:\\题库\\生物.TIK"), "生物");
    EXPECT_EQ(bankTitle("语文"), "语文");
    EXPECT_EQ(bankTitle(".tik"), "");
}

TEST(Header, EveryTextIsNeeded)
{
    EXPECT_FALSE(hasEmptyField(settings()));
    EXPECT_TRUE(hasEmptyField(HeaderSettings()));
    for (QString HeaderSettings::*field :
         {&HeaderSettings::firstYear, &HeaderSettings::secondYear, &HeaderSettings::term, &HeaderSettings::className,
          &HeaderSettings::minutes, &HeaderSettings::school}) {
        HeaderSettings s = settings();
        s.*field = "";
        EXPECT_TRUE(hasEmptyField(s));
    }
}

TEST(Header, RunsInOrderWithTheirFontsAndTheTable)
{
    QTextDocument doc;
    doc.setPlainText("旧内容");
    buildHeader(doc, settings(), "数学.TIK", scoringTableRtf(2));
    const QString hei = "黑体";
    const QString blank = QString(QChar(0x3000));
    EXPECT_EQ(test::runsOutsideTables(doc), QList<test::Run>({{"A2003～2004学年第1学期", hei, 14, true, false},
                                                              {"高一(3)班《数学》期中试卷(A)卷", hei, 14, true, false},
                                                              {"姓名", hei, 12, false, false},
                                                              {blank.repeated(7), hei, 12, false, true},
                                                              {"学号", hei, 12, false, false},
                                                              {blank.repeated(3), hei, 12, false, true},
                                                              {"考试时间90分钟　成绩", hei, 12, false, false},
                                                              {blank.repeated(3), hei, 12, false, true}}));
    // A blank line after each of the two lines; the table follows the second one; a
    // centred and a left line break after it.
    EXPECT_EQ(test::layout(doc), QStringList({"C A2003～2004学年第1学期", "C 高一(3)班《数学》期中试卷(A)卷", "C ",
                                              "C 姓名　　　　　　　学号　　　考试时间90分钟　成绩　　　", "C ",
                                              "[table 题号|一|二|总分|得分|||]", "C ", "L ", "L "}));
    // The empty paragraphs around the table have the 黑体 10.5 of their line breaks.
    const QTextBlock last = doc.lastBlock();
    EXPECT_EQ(fontFamilyOf(last.charFormat(), {}), hei);
    EXPECT_EQ(last.charFormat().fontPointSize(), 10.5);
    EXPECT_TRUE(last.charFormat().fontWeight() >= QFont::Bold);
}

TEST(Fragments, NumeralsGoOnPastNine)
{
    EXPECT_EQ(selection::chineseNumber(1), "一");
    EXPECT_EQ(selection::chineseNumber(9), "九");
    EXPECT_EQ(selection::chineseNumber(10), "十");
    EXPECT_EQ(selection::chineseNumber(11), "十一");
    EXPECT_EQ(selection::chineseNumber(20), "二十");
    EXPECT_EQ(selection::chineseNumber(99), "九十九");
    EXPECT_EQ(selection::chineseNumber(0), "");
    EXPECT_EQ(selection::chineseNumber(100), "");
}

TEST(Fragments, ScoringTablesOfTheTemplateAndBeyondIt)
{
    test::TempProgramDir dir(QStringList{"qm.qm"});
    const QString qm = dir.file("qm.qm");
    EXPECT_EQ(*loadScoringTable(qm, 0), *loadScoringTable(qm, 1));
    EXPECT_EQ(tableLayout(*loadScoringTable(qm, 1)), QStringList({"L ", "[table 题号|一|总分|得分||]", "L "}));
    EXPECT_EQ(tableLayout(*loadScoringTable(qm, 3)), QStringList({"L ", "[table 题号|一|二|三|总分|得分||||]", "L "}));
    // The template holds tables up to eight types; ten get one made alike.
    EXPECT_FALSE(BankFile(qm).scoringTable(9));
    EXPECT_EQ(tableLayout(*loadScoringTable(qm, 10)),
              QStringList({"L ", "[table 题号|一|二|三|四|五|六|七|八|九|十|总分|得分|||||||||||]", "L "}));
    EXPECT_EQ(*loadScoringTable(qm, 10), scoringTableRtf(10));
    EXPECT_EQ(tableLayout(*loadGraderBox(qm)), QStringList({"L ", "[table 得分|阅卷人||]", "L "}));

    QString error;
    EXPECT_FALSE(loadScoringTable(dir.file("无.qm"), 2, &error));
    EXPECT_TRUE(error.contains("无.qm")) << error.toStdString();
    error.clear();
    EXPECT_FALSE(loadGraderBox(dir.file("无.qm"), &error));
    EXPECT_TRUE(error.contains("无.qm")) << error.toStdString();
}
