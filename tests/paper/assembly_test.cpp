// Making the paper and the answer sheet: drawn questions, questions picked by hand from
// several banks, and the header at the top of a paper.

#include "paper/fragments.h"
#include "paper/header.h"
#include "paper/paper_job.h"
#include "paper_docs.h"
#include "rtf/rtf_reader.h"
#include "rtf/rtf_writer.h"
#include "selection/draw.h"
#include "support/qstring_print.h"
#include "support/temp_bank.h"
#include "support/temp_dirs.h"

#include <QBuffer>
#include <QImage>
#include <QTextImageFormat>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::paper;
using selection::ComposedRow;

namespace {

Question make(const QString& type, const QString& text, const QString& answer)
{
    Question q;
    q.type = type;
    q.text = rtfFromPlainText(text);
    q.answer = rtfFromPlainText(answer);
    return q;
}

// A small PNG picture as RTF hexadecimal digits.
QByteArray pictureHex()
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::red);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data().toHex();
}

struct PaperTest : ::testing::Test {
    PaperTest()
    {
        // 编号 1 … 4
        for (const Question& q : {make("单选题", "题一", "答一"), make("单选题", "题二", "答二"),
                                  make("填空题", "题三", "答三"), make("填空题", "题四\n第二行", "")})
            EXPECT_TRUE(bank.bank().add(q));
        HeaderSettings s;
        s.firstYear = "2003";
        s.secondYear = "2004";
        s.term = "1";
        s.className = "高一(3)班";
        s.minutes = "90";
        buildHeader(header, s, "数学.tik", scoringTableRtf(2));
        headerLayout = test::layout(header);
        headerLayout.removeLast();  // the empty last paragraph takes the first heading
    }

    std::optional<AssembledPaper> assemble(const QList<ComposedRow>& rows, QString* error = nullptr)
    {
        return paperOf(sectionsOfDraw(bank.path, rows), PaperStyle::drawn(), error);
    }
    std::optional<AssembledPaper> rebuild(const QList<selection::ArrangedQuestion>& questions, QString* error = nullptr)
    {
        return paperOf(sectionsOfPicks(questions), PaperStyle::manual(), error);
    }
    std::optional<AssembledPaper> paperOf(const QList<PaperSection>& sections, const PaperStyle& style,
                                          QString* error = nullptr, const QString& templateName = "qm.qm")
    {
        PaperJob job;
        job.sections = sections;
        job.header = &header;
        job.templatePath = dir.file(templateName);
        job.style = style;
        return makePaper(job, error);
    }

    test::TempProgramDir dir{QStringList{"qm.qm"}};
    test::TempBank bank{"数学.tik"};
    QTextDocument header;
    QStringList headerLayout;
};

ComposedRow row(const QString& type, int number, qint64 id, const QString& score = {}, const QString& total = {})
{
    return {type, number, id, score, 0, {}, total};
}

}  // namespace

TEST_F(PaperTest, SectionsWithHeadingsGraderBoxesAndNumberedQuestions)
{
    const QString headerText = documentText(header);
    const auto assembled =
        assemble({row("单选题", 1, 2, "10", "20"), row("单选题", 2, 1, "10", "20"), row("填空题", 1, 4, "0", "0")});
    ASSERT_TRUE(assembled);
    EXPECT_TRUE(assembled->missing.isEmpty());
    const QStringList body{"L 一、单选题(20%)",
                           "[table 得分|阅卷人||]",
                           "L ",
                           "L 1.(10%)题二",
                           "L 2.(10%)题一",
                           "L 二、填空题",
                           "[table 得分|阅卷人||]",
                           "L ",
                           "L 1.题四",
                           "L 第二行",
                           "L "};
    EXPECT_EQ(test::layout(*assembled->paper), headerLayout + body);
    const QStringList answerBody{
        "L 一、单选题(20%)", "[table 得分|阅卷人||]", "L ", "L 1.(10%)题二", "L 答:答二", "L 2.(10%)题一", "L 答:答一",
        "L 二、填空题",      "[table 得分|阅卷人||]", "L ", "L 1.题四",      "L 第二行",  "L 答:",         "L "};
    EXPECT_EQ(test::layout(*assembled->answers), headerLayout + answerBody);
    // The header itself is left as it was; the new documents have nothing to undo.
    EXPECT_EQ(documentText(header), headerText);
    EXPECT_FALSE(assembled->paper->isUndoAvailable());
    EXPECT_FALSE(assembled->answers->isUndoAvailable());

    // Headings in 黑体, number lines in 宋体, 10.5 and plain; the question text keeps its font.
    const QList<test::Run> runs = test::runsOutsideTables(*assembled->answers);
    const auto runOf = [&](const QString& text) {
        for (const test::Run& r : runs)
            if (r.text == text)
                return r;
        return test::Run{};
    };
    EXPECT_EQ(runOf("一、单选题(20%)"), (test::Run{"一、单选题(20%)", "黑体", 10.5, false, false}));
    EXPECT_EQ(runOf("1.(10%)"), (test::Run{"1.(10%)", "宋体", 10.5, false, false}));
    EXPECT_EQ(runOf("答:"), (test::Run{"答:", "黑体", 10.5, false, false}));
    EXPECT_EQ(runOf("题二"), (test::Run{"题二", "宋体", 10.5, false, false}));
}

TEST_F(PaperTest, EmptyScoresAndTotalsShowNoShare)
{
    const auto assembled = assemble({row("单选题", 1, 1, "", ""), row("填空题", 1, 3, "abc", "0.0")});
    ASSERT_TRUE(assembled);
    const QString text = documentText(*assembled->paper);
    EXPECT_TRUE(text.contains("\n一、单选题\n"));
    EXPECT_TRUE(text.contains("\n1.题一\n"));
    EXPECT_TRUE(text.contains("\n二、填空题\n"));
    EXPECT_TRUE(text.contains("\n1.题三\n"));
    EXPECT_FALSE(text.contains("%"));
}

TEST_F(PaperTest, PicturesAndSubscriptsStayInBothDocuments)
{
    Question q;
    q.type = "计算题";
    q.text = "{\\rtf1\\ansi H{\\sub 2}O {\\pict\\pngblip\\picw8\\pich6 " + pictureHex() + "}\\par}";
    q.answer = "{\\rtf1\\ansi x{\\super 2}}";
    ASSERT_TRUE(bank.bank().add(q));  // 编号 5
    const auto assembled = assemble({row("计算题", 1, 5)});
    ASSERT_TRUE(assembled);
    for (QTextDocument* doc : {assembled->paper.get(), assembled->answers.get()}) {
        bool subscript = false, picture = false, superscript = false;
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat f = it.fragment().charFormat();
                if (it.fragment().text() == "2" && f.verticalAlignment() == QTextCharFormat::AlignSubScript)
                    subscript = true;
                if (it.fragment().text() == "2" && f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
                    superscript = true;
                if (f.isImageFormat()) {
                    const QVariant image = doc->resource(QTextDocument::ImageResource, QUrl(f.toImageFormat().name()));
                    picture = image.isValid() && f.hasProperty(PictureBytes);
                }
            }
        EXPECT_TRUE(subscript);
        EXPECT_TRUE(picture);
        EXPECT_EQ(superscript, doc == assembled->answers.get());
    }
    // Written as RTF, the picture goes with it.
    EXPECT_TRUE(RtfWriter::write(*assembled->paper).contains("\\pngblip"));
}

TEST_F(PaperTest, DeletedQuestionsArePassedOverAndNamed)
{
    bool found = false;
    ASSERT_TRUE(bank.bank().removeById(3, &found));
    const auto assembled = assemble({row("单选题", 1, 1), row("填空题", 1, 3), row("填空题", 2, 4)});
    ASSERT_TRUE(assembled);
    EXPECT_EQ(assembled->missing, QList<MissingQuestion>({{2, "填空题", 1, 3}}));
    const QString paper = documentText(*assembled->paper);
    EXPECT_FALSE(paper.contains("题三"));
    EXPECT_FALSE(paper.contains("\n1.\n"));
    EXPECT_TRUE(paper.contains("\n2.题四\n"));  // the others keep their numbers
    EXPECT_FALSE(documentText(*assembled->answers).contains("答三"));
    EXPECT_EQ(missingQuestionsMessage(assembled->missing), "以下题目已从题库中删除，未放入试卷：\n二、填空题 第1题");
    EXPECT_EQ(missingQuestionsMessage({}), "");
}

TEST_F(PaperTest, NothingWhenThePaperCannotBeMade)
{
    QList<ComposedRow> rows;
    for (int i = 0; i < 10; ++i)
        rows << row(QString("题型%1").arg(i % 5), 1, 1);  // ten sections of five types
    EXPECT_EQ(sectionsOfDraw(bank.path, rows).size(), 10);
    QString error;
    EXPECT_FALSE(assemble(rows, &error));
    EXPECT_EQ(error, "试卷最多只能有九个大题（题型）！");
    rows.removeLast();
    EXPECT_TRUE(assemble(rows));

    EXPECT_FALSE(paperOf(sectionsOfDraw(bank.path, {row("单选题", 1, 1)}), PaperStyle::drawn(), &error, "无.qm"));
    EXPECT_TRUE(error.contains("无.qm")) << error.toStdString();
    EXPECT_TRUE(error.contains("阅卷人")) << error.toStdString();
    EXPECT_FALSE(paperOf(sectionsOfDraw(dir.file("无.tik"), {row("单选题", 1, 1)}), PaperStyle::drawn(), &error));
    EXPECT_TRUE(error.contains("无.tik")) << error.toStdString();
}

TEST_F(PaperTest, PicksAreAppendedWithTheirLabelsAndAnswers)
{
    QTextDocument paper;
    QTextDocument answers;
    QTextDocument text, answer;
    RtfReader::read(rtfFromPlainText("题一"), &text);
    RtfReader::read(rtfFromPlainText("答一"), &answer);
    appendPick(paper, answers, "一、1.", text, answer);
    RtfReader::read(rtfFromPlainText("题三"), &text);
    RtfReader::read(QByteArray(), &answer);
    appendPick(paper, answers, "二、1.", text, answer);
    EXPECT_EQ(documentText(paper), "一、1.题一\n二、1.题三\n");
    EXPECT_EQ(documentText(answers), "一、1.题一\n答：答一\n二、1.题三\n答：\n");
}

TEST_F(PaperTest, RebuildingByHandGivesSectionsWithGraderBoxesAndTheBanksScores)
{
    // The test bank's questions have no scores: no labels.
    const QString box = "[table 得分|阅卷人||]";
    using selection::ArrangedQuestion;
    const auto rebuilt =
        rebuild({{1, "单选题", 1, 2, bank.path}, {2, "填空题", 1, 3, bank.path}, {2, "填空题", 2, 1, bank.path}});
    ASSERT_TRUE(rebuilt);
    EXPECT_TRUE(rebuilt->missing.isEmpty());
    EXPECT_EQ(test::layout(*rebuilt->paper), headerLayout
                                                 + QStringList({"L 一、单选题", box, "L ", "L 1.题二", "L 二、填空题",
                                                                box, "L ", "L 1.题三", "L 2.题一", "L "}));
    EXPECT_EQ(test::layout(*rebuilt->answers),
              headerLayout
                  + QStringList({"L 一、单选题", box, "L ", "L 1.题二", "L 答：答二", "L 二、填空题", box, "L ",
                                 "L 1.题三", "L 答：答三", "L 2.题一", "L 答：答一", "L "}));

    // Without picks both documents are the header alone, whatever the bank.
    const auto empty = rebuild({});
    ASSERT_TRUE(empty);
    EXPECT_EQ(documentText(*empty->paper), documentText(header));
    EXPECT_EQ(documentText(*empty->answers), documentText(header));

    // A question deleted from the bank keeps its heading and number and is named.
    bool found = false;
    ASSERT_TRUE(bank.bank().removeById(3, &found));
    const auto gap = rebuild({{1, "填空题", 1, 3, bank.path}, {1, "填空题", 2, 4, bank.path}});
    ASSERT_TRUE(gap);
    EXPECT_EQ(gap->missing, QList<MissingQuestion>({{1, "填空题", 1, 3}}));
    // One section: the scoring table has one type column.
    QStringList oneSection = headerLayout;
    oneSection.replace(oneSection.indexOf("[table 题号|一|二|总分|得分|||]"), "[table 题号|一|总分|得分||]");
    EXPECT_EQ(test::layout(*gap->paper),
              oneSection + QStringList({"L 一、填空题", box, "L ", "L 1.", "L 2.题四", "L 第二行", "L "}));

    QString error;
    EXPECT_FALSE(rebuild({{1, "填空题", 1, 3, dir.file("无.tik")}}, &error));
    EXPECT_TRUE(error.contains("无.tik")) << error.toStdString();
}

TEST_F(PaperTest, TheHeaderTableIsFittedToTheSectionsAndTheHeaderIsPlacedAtTheTop)
{
    // A header built for two types, fitted to one, is the header built for one.
    QTextDocument forOne;
    buildHeader(forOne, test::filledSettings("实验中学"), "数学.tik", scoringTableRtf(1));
    QTextDocument forTwo;
    buildHeader(forTwo, test::filledSettings("实验中学"), "数学.tik", scoringTableRtf(2));
    EXPECT_EQ(scoringTableTypes(forTwo), 2);
    const auto fitted = fittedHeader(forTwo, 1, dir.file("qm.qm"));
    EXPECT_EQ(test::layout(*fitted), test::layout(forOne));
    EXPECT_EQ(scoringTableTypes(*fitted), 1);
    EXPECT_EQ(headerEnd(*fitted), headerEnd(forOne));
    EXPECT_EQ(test::layout(*fittedHeader(forTwo, 0, dir.file("qm.qm"))), test::layout(forTwo));

    // A paper without a header gets it before its first line; a paper with one gets the
    // new header in its place, and what follows stays.
    QTextDocument paper;
    QTextDocument answers;
    QTextDocument text, answer;
    RtfReader::read(rtfFromPlainText("题一"), &text);
    appendPick(paper, answers, "一、1.", text, answer);
    EXPECT_EQ(headerEnd(paper), 0);
    EXPECT_EQ(scoringTableTypes(paper), -1);
    placeHeader(paper, forTwo);
    const QStringList body{"L 一、1.题一", "L "};
    QStringList expected = test::layout(forTwo);
    expected.removeLast();
    EXPECT_EQ(test::layout(paper), expected + body);
    placeHeader(paper, forOne);
    expected = test::layout(forOne);
    expected.removeLast();
    EXPECT_EQ(test::layout(paper), expected + body);
    EXPECT_EQ(documentText(paper).count("学年第1学期"), 1);
    // A document that is only a header is replaced whole.
    QTextDocument onlyHeader;
    placeHeader(onlyHeader, forTwo);
    placeHeader(onlyHeader, forOne);
    EXPECT_EQ(test::layout(onlyHeader), test::layout(forOne));
}

TEST_F(PaperTest, ScoreLabelsInPointsAnswerLinesAndAKeyOfTheAnswers)
{
    Question q = make("简答题", "题五", "答五");
    ASSERT_TRUE(bank.bank().add(q));  // 编号 5
    PaperChoices choices;
    choices.scores = ScoreLabels::Points;
    choices.answerLines = {{"简答题", 2}};
    choices.answers = AnswerForm::Key;
    // Questions alike in score; questions of different scores; no scores at all.
    const QList<PaperSection> sections{{"单选题", "20", {{bank.path, 1, "2"}, {bank.path, 2, "2"}}},
                                       {"填空题", "9", {{bank.path, 3, "4"}, {bank.path, 4, "5"}}},
                                       {"简答题", "", {{bank.path, 5, ""}}}};
    const auto made = paperOf(sections, PaperStyle::drawn(choices));
    ASSERT_TRUE(made);
    const QString box = "[table 得分|阅卷人||]";
    // The paper: "（每小题2分，共20分）" and bare "1．"; "（共9分）" and each question its own
    // score; two blank lines after the 简答题.
    QStringList expected = headerLayout;
    expected.replace(expected.indexOf("[table 题号|一|二|总分|得分|||]"), "[table 题号|一|二|三|总分|得分||||]");
    expected << "L 一、单选题（每小题2分，共20分）" << box << "L "
             << "L 1．题一"
             << "L 2．题二"
             << "L 二、填空题（共9分）" << box << "L "
             << "L 1．（4分）题三"
             << "L 2．（5分）题四"
             << "L 第二行"
             << "L 三、简答题" << box << "L "
             << "L 1．题五"
             << "L "
             << "L "
             << "L ";
    EXPECT_EQ(test::layout(*made->paper), expected);
    // The key: the title, "参考答案", and per section its heading and each answer alone.
    const QStringList key = test::layout(*made->answers);
    EXPECT_EQ(key, QStringList({"C 实验中学2003～2004学年第1学期", "C 高一(3)班《数学》期末试卷", "C 参考答案",
                                "L 一、单选题（每小题2分，共20分）", "L 1．答一", "L 2．答二", "L 二、填空题（共9分）",
                                "L 1．答三", "L 2．", "L 三、简答题", "L 1．答五", "L "}));
    EXPECT_FALSE(documentText(*made->answers).contains("姓名"));
    EXPECT_FALSE(documentText(*made->answers).contains("题一"));

    // The default stays: "(20%)", "1.(2%)", no blank lines, the answer sheet.
    const auto plain = paperOf(sections, PaperStyle::drawn());
    ASSERT_TRUE(plain);
    const QString text = documentText(*plain->paper);
    EXPECT_TRUE(text.contains("一、单选题(20%)\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("\n1.(2%)题一\n"));
    EXPECT_TRUE(text.contains("\n1.(4%)题三\n"));
    EXPECT_TRUE(text.endsWith("\n1.题五\n"));
    EXPECT_EQ(documentText(*plain->answers).count("答:"), 5);
}
