// The count grid: its columns for the four options, the rows a bank and the chosen criteria
// give, the question scores and the paper total.

#include "compose_bank.h"
#include "core/numbers.h"
#include "selection/count_grid.h"
#include "support/qstring_print.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::selection;
using namespace qm::test;

namespace {

// A bank of seven kinds of question, some several times.
struct SmallBank : TempBank {
    SmallBank()
    {
        addQuestions(path, {attributes("选择题", "第一章", "第1节", "易", 2)}, 2);
        addQuestions(
            path, {attributes("选择题", "第一章", "第1节", "易", 1), attributes("选择题", "第一章", "第2节", "难", 2),
                   attributes("填空题", "第一章", "第2节", "易", 3), attributes("简答题", "第三章", "第1节", "中", 5)});
        addQuestions(path, {attributes("选择题", "第二章", "第1节", "易", 2)}, 3);
        addQuestions(path, {attributes("填空题", "第二章", "第1节", "难", 1)}, 2);
    }
};

GridOptions options(bool noChapters, bool noUnits, bool noDifficulty, bool anyScore)
{
    return {noChapters, noUnits, noDifficulty, anyScore};
}

// The grid the slow way: one count (and one score list) per combination of the criteria.
Grid gridOneQueryPerRow(const QString& path, const Criteria& criteria)
{
    const GridOptions& o = criteria.options;
    const BankFile bank(path);
    Grid grid{gridHeader(o)};
    auto add = [&](QuestionFilter f) {
        QStringList cells{*f.type};
        for (const auto* value : {&f.chapter, &f.unit, &f.difficulty})
            if (*value)
                cells << **value;
        if (!o.scores()) {
            if (const int n = *bank.countMatching(f); n > 0)
                grid << (cells << QString::number(n) << ""
                               << ""
                               << "");
            return;
        }
        const QList<double> scores = *bank.distinctScores(f);
        for (const double score : scores) {
            f.score = score;
            grid << (QStringList(cells) << numText(score) << QString::number(*bank.countMatching(f)) << ""
                                        << ""
                                        << "");
        }
    };
    for (const QString& type : criteria.types) {
        QuestionFilter f;
        f.type = type;
        if (!o.chapters()) {
            if (!o.difficulties())
                add(f);
            for (const QString& d : o.difficulties() ? criteria.difficulties : QStringList()) {
                f.difficulty = d;
                add(f);
            }
            continue;
        }
        for (const ChapterUnits& column : criteria.chapters) {
            if (column.chapter.isEmpty())
                continue;
            f.chapter = column.chapter;
            const QStringList units = o.units() ? column.units : QStringList{QString()};
            for (const QString& unit : units) {
                if (o.units() && unit.isEmpty())
                    continue;
                f.unit = o.units() ? std::optional(unit) : std::nullopt;
                if (!o.difficulties())
                    add(f);
                for (const QString& d : o.difficulties() ? criteria.difficulties : QStringList()) {
                    f.difficulty = d;
                    add(f);
                }
            }
        }
    }
    for (qsizetype r = grid.size() - 1; r > 1; --r) {
        qsizetype above = r - 1;
        if (grid[r][0] == grid[above][0])
            grid[r][0].clear();
    }
    return grid;
}

}  // namespace

TEST(CountGrid, ColumnsFollowTheOptions)
{
    EXPECT_EQ(gridHeader({}),
              QStringList({"题型", "章节", "单元", "难度", "分值", "库内题数", "出题数", "大题总分", "小题分"}));
    EXPECT_EQ(gridHeader(options(true, false, true, true)),
              QStringList({"题型", "库内题数", "出题数", "大题总分", "小题分"}));
    EXPECT_EQ(gridHeader(options(false, true, false, true)),
              QStringList({"题型", "章节", "难度", "库内题数", "出题数", "大题总分", "小题分"}));
    EXPECT_EQ(gridHeader(options(false, false, true, false)),
              QStringList({"题型", "章节", "单元", "分值", "库内题数", "出题数", "大题总分", "小题分"}));

    // Every header reads back as its options; without chapters there are no units either.
    for (int bits = 0; bits < 16; ++bits) {
        const GridOptions o = options(bits & 1, bits & 2, bits & 4, bits & 8);
        const QStringList header = gridHeader(o);
        EXPECT_GE(header.size(), 5);
        EXPECT_LE(header.size(), 9);
        GridOptions expected = o;
        expected.noUnits = o.noUnits || o.noChapters;
        EXPECT_EQ(optionsOfHeader(header), expected) << bits;
    }
    EXPECT_FALSE(optionsOfHeader({}));
    EXPECT_FALSE(optionsOfHeader({"题型", "单元", "库内题数", "出题数", "大题总分", "小题分"}));
    EXPECT_FALSE(optionsOfHeader({"题型", "难度", "章节", "库内题数", "出题数", "大题总分", "小题分"}));
    EXPECT_FALSE(optionsOfHeader({"题型", "库内题数", "出题数", "大题总分"}));
}

TEST(CountGrid, RowsNestTypeChapterUnitDifficultyScore)
{
    SmallBank bank;
    Criteria c;
    c.types = {"填空题", "选择题"};
    c.chapters = {{"第一章", {"第1节", "第2节"}}, {"第二章", {"第1节"}}};
    c.difficulties = {"易", "难"};
    // 填空题's first combination (第一章, 第1节, 易) has no question: its name moves to the
    // next row that stays.
    EXPECT_EQ(buildCountGrid(bank.path, c),
              Grid({{"题型", "章节", "单元", "难度", "分值", "库内题数", "出题数", "大题总分", "小题分"},
                    {"填空题", "第一章", "第2节", "易", "3", "1", "", "", ""},
                    {"", "第二章", "第1节", "难", "1", "2", "", "", ""},
                    {"选择题", "第一章", "第1节", "易", "1", "1", "", "", ""},
                    {"", "第一章", "第1节", "易", "2", "2", "", "", ""},
                    {"", "第一章", "第2节", "难", "2", "1", "", "", ""},
                    {"", "第二章", "第1节", "易", "2", "3", "", "", ""}}));

    // Scores and difficulties not counted: the groups add up.
    c.types = {"选择题"};
    c.chapters = {{"第一章", {"第1节", "第2节"}}};
    c.options = options(false, false, true, true);
    EXPECT_EQ(buildCountGrid(bank.path, c), Grid({{"题型", "章节", "单元", "库内题数", "出题数", "大题总分", "小题分"},
                                                  {"选择题", "第一章", "第1节", "3", "", "", ""},
                                                  {"", "第一章", "第2节", "1", "", "", ""}}));

    // Without chapters the chapter columns do not matter; 简答题 has no 易 question.
    c.types = {"选择题", "填空题", "简答题"};
    c.chapters = {};
    c.difficulties = {"易"};
    c.options = options(true, true, false, false);
    EXPECT_EQ(buildCountGrid(bank.path, c), Grid({{"题型", "难度", "分值", "库内题数", "出题数", "大题总分", "小题分"},
                                                  {"选择题", "易", "1", "1", "", "", ""},
                                                  {"", "易", "2", "5", "", "", ""},
                                                  {"填空题", "易", "3", "1", "", "", ""}}));
}

TEST(CountGrid, CriteriaNotChosenGiveNoRows)
{
    SmallBank bank;
    const QStringList header = gridHeader({});
    Criteria c;
    c.chapters = {{"第一章", {"第1节", "第2节"}}, {"第二章", {"第1节"}}};
    c.difficulties = {"易", "难"};
    EXPECT_EQ(buildCountGrid(bank.path, c), Grid({header})) << "no type";

    c.types = {"选择题"};
    c.difficulties = {};
    EXPECT_EQ(buildCountGrid(bank.path, c), Grid({header})) << "difficulties count, none chosen";
    c.options.noDifficulty = true;
    EXPECT_EQ(buildCountGrid(bank.path, c)->size(), 5) << "difficulties do not count";

    // A chapter without chosen units, an unnamed chapter column and an empty unit give
    // nothing while units count.
    c.options = {};
    c.difficulties = {"易", "难"};
    c.chapters = {{"第一章", {}}, {"", {"第1节"}}, {"第二章", {"", "第1节"}}};
    EXPECT_EQ(buildCountGrid(bank.path, c),
              Grid({gridHeader({}), {"选择题", "第二章", "第1节", "易", "2", "3", "", "", ""}}));
    c.options.noUnits = true;
    EXPECT_EQ(buildCountGrid(bank.path, c),
              Grid({{"题型", "章节", "难度", "分值", "库内题数", "出题数", "大题总分", "小题分"},
                    {"选择题", "第一章", "易", "1", "1", "", "", ""},
                    {"", "第一章", "易", "2", "2", "", "", ""},
                    {"", "第一章", "难", "2", "1", "", "", ""},
                    {"", "第二章", "易", "2", "3", "", "", ""}}));

    QString error;
    EXPECT_FALSE(buildCountGrid(bank.dir.filePath("无此库.tik"), c, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(CountGrid, GroupedReadGivesTheGridOfOneCountPerRow)
{
    TempBank bank;
    const QStringList types{"选择题", "填空题", "判断题", "It's"};
    const QStringList chapters{"第一章", "第二章", "ch", "CH", "第\"五\"章"};
    const QStringList units{"1", "2", "3"};
    const QStringList difficulties{"易", "中", "难"};
    const QList<double> scores{1, 2, 2.5, 4};
    QRandomGenerator rng(42);
    QList<Question> questions;
    for (int i = 0; i < 400; ++i)
        questions << attributes(types[rng.bounded(int(types.size()))], chapters[rng.bounded(int(chapters.size()))],
                                units[rng.bounded(int(units.size()))],
                                difficulties[rng.bounded(int(difficulties.size()))],
                                scores[rng.bounded(int(scores.size()))]);
    addQuestions(bank.path, questions);

    Criteria everything;
    everything.types = types;
    for (const QString& chapter : chapters)
        everything.chapters << ChapterUnits{chapter, units};
    everything.difficulties = difficulties;
    // A subset in an order of its own, with values the bank lacks and a chapter twice.
    Criteria some;
    some.types = {"判断题", "简答题", "选择题"};
    some.chapters = {{"CH", {"3", "1"}}, {"第三章", {"1"}}, {"第\"五\"章", {"2", "9"}}, {"第一章", {}}, {"CH", {"2"}}};
    some.difficulties = {"难", "极难", "易"};

    for (const Criteria& chosen : {everything, some})
        for (int bits = 0; bits < 16; ++bits) {
            if ((bits & 1) && (bits & 2))
                continue;  // the same grid as without chapters alone
            Criteria c = chosen;
            c.options = options(bits & 1, bits & 2, bits & 4, bits & 8);
            const std::optional<Grid> grid = buildCountGrid(bank.path, c);
            ASSERT_TRUE(grid);
            EXPECT_EQ(*grid, gridOneQueryPerRow(bank.path, c)) << "options " << bits;
            EXPECT_GT(grid->size(), 1);
        }
}

TEST(CountGrid, QuestionScoresShareEachSectionTotal)
{
    Grid grid{gridHeader({}),
              {"选择题", "一", "1", "易", "2", "5", "3", "10", ""},
              {"", "一", "1", "难", "1", "4", "4", "", "9"},
              {"填空题", "一", "1", "易", "3", "5", "3", "10", ""},
              {"判断题", "一", "1", "易", "1", "9", "8", "1", ""},
              {"简答题", "一", "1", "易", "5", "2", "", "20", "7"},
              {"", "一", "1", "难", "6", "2", "0", "", "7"}};
    computeQuestionScores(grid);
    QStringList scores;
    for (qsizetype r = 1; r < grid.size(); ++r)
        scores << grid[r][8];
    // 10 over 2×3 + 1×4; 10 / 9 rounded; 1/8 = 0.125 rounds to the even 0.12; nothing drawn.
    EXPECT_EQ(scores, QStringList({"2", "1", "3.33", "0.12", "", ""}));
    EXPECT_EQ(paperTotal(grid), 41);

    // Without a score column there is nothing to compute.
    Grid noScores{gridHeader(options(false, false, false, true)), {"选择题", "一", "1", "易", "5", "3", "10", "旧"}};
    const Grid before = noScores;
    computeQuestionScores(noScores);
    EXPECT_EQ(noScores, before);
    EXPECT_EQ(paperTotal(noScores), 10);
    EXPECT_EQ(paperTotal({}), 0);
}

TEST(CountGrid, DrawCountIsClampedToTheBankCount)
{
    EXPECT_EQ(clampDrawCount("99", "12"), "12");
    EXPECT_EQ(clampDrawCount("12", "12"), "12");
    EXPECT_EQ(clampDrawCount("3", "12"), "3");
    EXPECT_EQ(clampDrawCount("", "12"), "");
    EXPECT_EQ(clampDrawCount("abc", "12"), "abc");
    EXPECT_EQ(clampDrawCount("13题", "12"), "12");
}
