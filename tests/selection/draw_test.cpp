// Drawing a paper from a count grid and replacing a drawn question.

#include "compose_bank.h"
#include "selection/draw.h"
#include "support/qstring_print.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::selection;
using namespace qm::test;

namespace {

// A grid of type, difficulty and score: the columns of a grid without chapters.
const GridOptions kTypeDifficultyScore{true, true, false, false};

QStringList row(const QString& type, const QString& difficulty, const QString& score, const QString& count,
                const QString& total = {}, const QString& questionScore = {})
{
    return {type, difficulty, score, QStringLiteral("0"), count, total, questionScore};
}

Grid grid(const QList<QStringList>& rows)
{
    return Grid{gridHeader(kTypeDifficultyScore)} + rows;
}

QList<qint64> ids(const TempBank& bank, const QuestionFilter& filter)
{
    return *bank.bank().idsMatching(filter);
}

QuestionFilter filter(const QString& type, const QString& difficulty, double score)
{
    QuestionFilter f;
    f.type = type;
    f.difficulty = difficulty;
    f.score = score;
    return f;
}

// A bank of 5 easy and 2 hard multiple-choice questions worth 2, and 3 fill-ins worth 1.
struct DrawBank : TempBank {
    DrawBank()
    {
        addQuestions(path, {attributes("选择题", "一", "1", "易", 2)}, 5);
        addQuestions(path, {attributes("选择题", "一", "1", "难", 2)}, 2);
        addQuestions(path, {attributes("填空题", "一", "1", "易", 1)}, 3);
    }
};

}  // namespace

TEST(Draw, NumbersRunThroughASectionAndRestartInTheNext)
{
    DrawBank bank;
    SeededRandom random(1);
    const std::optional<DrawResult> drawn =
        drawPaper(bank.path,
                  grid({row("选择题", "易", "2", "2", "10", "2.5"), row("", "难", "2", "2", "", "2.5"),
                        row("填空题", "易", "1", "3", "0", "")}),
                  random);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->missing, 0);
    ASSERT_EQ(drawn->rows.size(), 7);
    const QString easy = rowQueryText(filter("选择题", "易", 2));
    const QString hard = rowQueryText(filter("选择题", "难", 2));
    const QString fill = rowQueryText(filter("填空题", "易", 1));
    const QList<std::tuple<QString, int, QString, QString, QString>> expected = {
        {"选择题", 1, "2.5", easy, "10"}, {"选择题", 2, "2.5", easy, "10"}, {"选择题", 3, "2.5", hard, "10"},
        {"选择题", 4, "2.5", hard, "10"}, {"填空题", 1, "", fill, ""},      {"填空题", 2, "", fill, ""},
        {"填空题", 3, "", fill, ""}};
    for (int i = 0; i < 7; ++i) {
        const ComposedRow& r = drawn->rows[i];
        EXPECT_EQ(std::tuple(r.type, r.number, r.questionScore, r.query, r.sectionTotal), expected[i]) << i;
        // N is the question's place among those its query matches.
        EXPECT_EQ(r.id, ids(bank, *filterOfQuery(r.query))[r.position]) << i;
    }
    // The fill-in row asks for exactly what there is: each question once.
    QSet<qint64> fillIns;
    for (int i = 4; i < 7; ++i)
        fillIns << drawn->rows[i].id;
    EXPECT_EQ(fillIns, QSet<qint64>({8, 9, 10}));
    EXPECT_NE(drawn->rows[0].id, drawn->rows[1].id);

    EXPECT_EQ(composedHeader(), QStringList({"题型", "题号", "编号", "小题分", "N", "S", "F"}));
    ComposedRow r{"填空题", 2, 9, "1.5", 1, fill, "10"};
    EXPECT_EQ(composedCells(r), QStringList({"填空题", "2", "9", "1.5", "1", fill, "10"}));
}

TEST(Draw, RowsAskingTooManyOrNoneAndTheSectionLimit)
{
    DrawBank bank;
    SeededRandom random(2);
    // Asks 4 of 2 hard, 5 of 3 fill-ins and 2 of no true-or-false: what there is is drawn,
    // 6 are missing. Counts that are empty, 0, negative or not numbers draw nothing.
    const std::optional<DrawResult> drawn =
        drawPaper(bank.path,
                  grid({row("选择题", "易", "2", "", "8"), row("", "易", "2", "0"), row("", "易", "2", "-3"),
                        row("", "易", "2", "两"), row("", "难", "2", "4"), row("填空题", "易", "1", "5", "abc"),
                        row("判断题", "易", "1", "2")}),
                  random);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->missing, 6);
    ASSERT_EQ(drawn->rows.size(), 5);
    QStringList numbers;
    for (const ComposedRow& r : drawn->rows)
        numbers << r.type + QString::number(r.number) + "/" + r.sectionTotal;
    EXPECT_EQ(numbers, QStringList({"选择题1/8", "选择题2/8", "填空题1/", "填空题2/", "填空题3/"}));

    // Only the sections that draw count: ten types of which nine draw are a paper of nine
    // sections; ten that draw are refused.
    Grid ten{gridHeader(kTypeDifficultyScore)};
    for (int i = 1; i <= 9; ++i)
        ten << row(QStringLiteral("题型%1").arg(i), "易", "1", "1");
    ten << row("题型10", "易", "1", "0");
    QString error;
    EXPECT_EQ(drawingSectionCount(ten), 9);
    EXPECT_TRUE(drawPaper(bank.path, ten, random, &error));
    ten.last() = row("题型10", "易", "1", "2");
    EXPECT_EQ(drawingSectionCount(ten), 10);
    EXPECT_FALSE(drawPaper(bank.path, ten, random, &error));
    EXPECT_EQ(error, "试卷最多只能有九个大题（题型），请减少题型后再出卷！");

    // Not a count grid: a header of no options, a row of the wrong width, no bank.
    EXPECT_FALSE(drawPaper(bank.path, {{"题型", "出题数"}}, random, &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(drawPaper(bank.path, grid({{"选择题", "易", "2", "5", "1", ""}}), random, &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(drawPaper(bank.dir.filePath("无.tik"), grid({row("选择题", "易", "2", "1")}), random, &error));
    EXPECT_FALSE(error.isEmpty());

    EXPECT_EQ(sectionNumeral(1), "一、");
    EXPECT_EQ(sectionNumeral(9), "九、");
    EXPECT_EQ(sectionNumeral(0), "");
    EXPECT_EQ(sectionNumeral(10), "十、");
    EXPECT_EQ(sectionNumeral(20), "二十、");
    EXPECT_EQ(sectionNumeral(21), "");
}

TEST(Draw, EveryMatchingQuestionIsEquallyLikely)
{
    TempBank bank;
    addQuestions(bank.path, {attributes("选择题", "一", "1", "易", 2)}, 20);
    // 400 papers each drawing 5 of the same 20 questions: each place about 100 times.
    const Grid rows{gridHeader(kTypeDifficultyScore), row("选择题", "易", "2", "5")};
    QList<int> seen(20, 0);
    SeededRandom random(20240901);
    for (int run = 0; run < 400; ++run) {
        const std::optional<DrawResult> drawn = drawPaper(bank.path, rows, random);
        ASSERT_TRUE(drawn);
        for (const ComposedRow& r : drawn->rows)
            ++seen[r.position];
    }
    for (int p = 0; p < 20; ++p) {
        EXPECT_GT(seen[p], 55) << p;
        EXPECT_LT(seen[p], 150) << p;
    }

    // The chance itself: six outcomes, each near a sixth; the same seed repeats.
    SeededRandom dice(7), again(7), other(8);
    QList<int> faces(6, 0);
    bool differs = false;
    for (int i = 0; i < 60000; ++i) {
        const quint32 face = dice.below(6);
        ASSERT_LT(face, 6u);
        ++faces[int(face)];
        EXPECT_EQ(face, again.below(6));
        differs = differs || face != other.below(6);
    }
    for (const int n : faces) {
        EXPECT_GT(n, 9400);
        EXPECT_LT(n, 10600);
    }
    EXPECT_TRUE(differs);
    EXPECT_EQ(dice.below(1), 0u);
}

TEST(Draw, QuestionsFarDownALargeRowAreDrawn)
{
    TempBank bank;
    addQuestions(bank.path, {attributes("判断题", "一", "1", "易", 1)}, 12001);
    SeededRandom random(5);
    const std::optional<DrawResult> drawn = drawPaper(bank.path, grid({row("判断题", "易", "1", "200")}), random);
    ASSERT_TRUE(drawn);
    ASSERT_EQ(drawn->rows.size(), 200);
    int beyond = 0;
    QSet<int> positions;
    for (const ComposedRow& r : drawn->rows) {
        positions << r.position;
        beyond += r.position > 10000;
        EXPECT_EQ(r.id, r.position + 1);
    }
    EXPECT_EQ(positions.size(), 200);
    EXPECT_GT(beyond, 0);
}

TEST(Draw, ReplacingTakesAQuestionNoRowOfTheQueryHolds)
{
    DrawBank bank;
    SeededRandom random(3);
    const QString easy = rowQueryText(filter("选择题", "易", 2));
    const QList<qint64> easyIds = ids(bank, filter("选择题", "易", 2));
    ASSERT_EQ(easyIds.size(), 5);
    // Rows of the same query hold places 0, 1, 2 and 4; a row of another query holds 3.
    QList<ComposedRow> rows{{"选择题", 1, easyIds[0], "2", 0, easy, "10"},
                            {"选择题", 2, easyIds[1], "2", 1, easy, "10"},
                            {"选择题", 3, 0, "2", 3, rowQueryText(filter("选择题", "难", 2)), "10"},
                            {"选择题", 4, easyIds[2], "2", 2, easy, "10"},
                            {"选择题", 5, easyIds[4], "2", 4, easy, "10"}};
    EXPECT_EQ(replaceQuestion(bank.path, rows, 0, random), ReplaceResult::Replaced);
    EXPECT_EQ(rows[0].position, 3);
    EXPECT_EQ(rows[0].id, easyIds[3]);
    EXPECT_EQ(rows[0].number, 1);
    // Place 0, given up by the first row, is taken again; then all five are held.
    rows.append({"选择题", 6, easyIds[0], "2", 0, easy, "10"});
    EXPECT_EQ(replaceQuestion(bank.path, rows, 1, random), ReplaceResult::AllDrawn);
    EXPECT_EQ(rows[1].position, 1);
    EXPECT_EQ(rows[1].id, easyIds[1]);

    // Places at or past the end of the matching questions hold nothing.
    const QString hard = rowQueryText(filter("选择题", "难", 2));
    QList<ComposedRow> hardRows{{"选择题", 1, 6, "", 0, hard, ""}, {"选择题", 2, 0, "", 7, hard, ""}};
    EXPECT_EQ(replaceQuestion(bank.path, hardRows, 0, random), ReplaceResult::Replaced);
    EXPECT_EQ(hardRows[0].position, 1);

    QList<ComposedRow> one{{"选择题", 1, 0, "", 0, rowQueryText(filter("填空题", "易", 1)), ""}};
    one[0].query = rowQueryText(filter("选择题", "易", 3));
    EXPECT_EQ(replaceQuestion(bank.path, one, 0, random), ReplaceResult::NoQuestions);
    EXPECT_EQ(one[0].position, 0);
    addQuestions(bank.path, {attributes("选择题", "二", "1", "易", 3)});
    EXPECT_EQ(replaceQuestion(bank.path, one, 0, random), ReplaceResult::OnlyOne);

    QString error;
    EXPECT_EQ(replaceQuestion(bank.path, one, 1, random, &error), ReplaceResult::Failed);
    EXPECT_FALSE(error.isEmpty());
    one[0].query = "选择题";
    error.clear();
    EXPECT_EQ(replaceQuestion(bank.path, one, 0, random, &error), ReplaceResult::Failed);
    EXPECT_FALSE(error.isEmpty());
}

TEST(Draw, QueryTextNamesEveryCriterion)
{
    QuestionFilter f;
    f.type = "选\"择\"题";
    f.chapter = "";
    f.unit = "第1节";
    f.score = 2.5;
    const QuestionFilter back = *filterOfQuery(rowQueryText(f));
    EXPECT_EQ(std::tuple(back.type, back.chapter, back.unit, back.difficulty, back.score),
              std::tuple(f.type, f.chapter, f.unit, f.difficulty, f.score));
    EXPECT_EQ(rowQueryText(f), rowQueryText(back));
    EXPECT_TRUE(filterOfQuery("{}"));
    for (const char* text : {"", "选择题", "[]", "{\"题型\":1}", "{\"分值\":\"2\"}", "{\"年级\":\"一\"}", "{\"题型\":"})
        EXPECT_FALSE(filterOfQuery(text)) << text;
}

TEST(Draw, APaperNeverHoldsAQuestionTwiceAndAsksForABoundedNumber)
{
    DrawBank bank;
    // The same row twice, and the same type as a second section: the three fill-ins are
    // shared, so 2 + 2 + 1 asked gives the three once each and two missing.
    for (quint64 seed = 1; seed <= 20; ++seed) {
        SeededRandom random(seed);
        const std::optional<DrawResult> drawn =
            drawPaper(bank.path,
                      grid({row("填空题", "易", "1", "2"), row("", "易", "1", "2"), row("选择题", "难", "2", "1"),
                            row("填空题", "易", "1", "1")}),
                      random);
        ASSERT_TRUE(drawn);
        QSet<qint64> seen;
        for (const ComposedRow& r : drawn->rows)
            EXPECT_TRUE(!seen.contains(r.id) && (seen.insert(r.id), true)) << "drawn twice: " << r.id;
        EXPECT_EQ(drawn->rows.size(), 4);
        EXPECT_EQ(drawn->missing, 2);
        EXPECT_EQ(drawReport(*drawn), "题库中符合条件的题目不够，共少选了 2 道题。");
    }

    // Rows before the first type name are reported, not dropped silently.
    SeededRandom random(3);
    const std::optional<DrawResult> headless =
        drawPaper(bank.path, grid({row("", "易", "2", "2"), row("选择题", "易", "2", "1")}), random);
    ASSERT_TRUE(headless);
    EXPECT_EQ(headless->rowsWithoutType, QList<int>{1});
    EXPECT_EQ(drawReport(*headless), "题数表第1行没有题型，这一行的题没有出。");

    // More than a paper can hold is refused before the bank is read.
    QString error;
    EXPECT_FALSE(
        drawPaper(bank.path, grid({row("选择题", "易", "2", "1500"), row("", "难", "2", "501")}), random, &error));
    EXPECT_EQ(error, "一份试卷最多只能有2000道题，这个题数表要出的题超过了这个数。");
    EXPECT_TRUE(drawPaper(bank.path, grid({row("选择题", "易", "2", "1500"), row("", "难", "2", "500")}), random));
}
