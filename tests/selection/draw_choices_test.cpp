// Draws that prefer unused questions, avoid recently used ones, or make an A and a B paper.

#include "compose_bank.h"
#include "selection/draw.h"
#include "support/qstring_print.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::selection;
using namespace qm::test;

namespace {

const GridOptions kTypeDifficultyScore{true, true, false, false};

QStringList row(const QString& type, const QString& difficulty, const QString& score, const QString& count)
{
    return {type, difficulty, score, QStringLiteral("0"), count, QString(), QString()};
}

Grid grid(const QList<QStringList>& rows)
{
    return Grid{gridHeader(kTypeDifficultyScore)} + rows;
}

QSet<qint64> idsOf(const QList<ComposedRow>& rows)
{
    QSet<qint64> ids;
    for (const ComposedRow& r : rows)
        ids.insert(r.id);
    return ids;
}

// Easy multiple-choice questions (worth 2) and fill-ins (worth 1), their 编号 kept.
struct ChoiceBank : TempBank {
    ChoiceBank(int choices, int fillIns)
    {
        addQuestions(path, {attributes("选择题", "一", "1", "易", 2)}, choices);
        addQuestions(path, {attributes("填空题", "一", "1", "易", 1)}, fillIns);
        const QList<qint64> all = *bank().idsMatching({});
        choice = all.mid(0, choices);
        fill = all.mid(choices);
    }
    void use(const QList<qint64>& ids, const char* date)
    {
        ASSERT_TRUE(bank().recordUsage(ids, {QDate::fromString(QString::fromLatin1(date), Qt::ISODate), "库", "卷"}));
    }
    QList<qint64> choice, fill;
};

}  // namespace

TEST(DrawChoices, APaperAndBPaperShareNothingWhileEveryRowHasTwiceItsCount)
{
    ChoiceBank bank(8, 6);
    const Grid g = grid({row("选择题", "易", "2", "4"), row("填空题", "易", "1", "3")});
    for (quint64 seed = 0; seed < 200; ++seed) {
        SeededRandom random(seed);
        const std::optional<ParallelDraw> drawn = drawParallel(bank.path, g, random);
        ASSERT_TRUE(drawn);
        ASSERT_EQ(drawn->a.rows.size(), 7);
        ASSERT_EQ(drawn->b.rows.size(), 7);
        EXPECT_FALSE(idsOf(drawn->a.rows).intersects(idsOf(drawn->b.rows))) << seed;
        EXPECT_TRUE(drawn->b.shared.isEmpty());
        EXPECT_EQ(parallelReport(*drawn), "");
    }
}

TEST(DrawChoices, WhereARowIsShortBSharesExactlyTheFewestAndSaysWhere)
{
    // Row 1 asks 4 of 6 (B must share 2), row 2 asks 2 of 5 (enough).
    ChoiceBank bank(6, 5);
    const Grid g = grid({row("选择题", "易", "2", "4"), row("填空题", "易", "1", "2")});
    for (quint64 seed = 0; seed < 100; ++seed) {
        SeededRandom random(seed);
        const std::optional<ParallelDraw> drawn = drawParallel(bank.path, g, random);
        ASSERT_TRUE(drawn);
        const QSet<qint64> shared = idsOf(drawn->a.rows) & idsOf(drawn->b.rows);
        EXPECT_EQ(shared.size(), 2) << seed;
        EXPECT_EQ(idsOf(drawn->b.rows).size(), 6);
        EXPECT_EQ(drawn->b.shared, (QList<RowShortfall>{{1, 2}}));
        EXPECT_EQ(parallelReport(*drawn), "题数表第1行的题不够出两份不同的试卷，B卷与A卷共用了 2 道题。");
    }
}

TEST(DrawChoices, ReplacingInOnePaperNeverBringsInOneOfTheOther)
{
    ChoiceBank bank(5, 0);
    SeededRandom random(7);
    std::optional<ParallelDraw> drawn = drawParallel(bank.path, grid({row("选择题", "易", "2", "2")}), random);
    ASSERT_TRUE(drawn);
    DrawChoices againstB;
    againstB.otherPaper = idsOf(drawn->b.rows);
    // One question is in neither paper.
    const QSet<qint64> free =
        QSet<qint64>(bank.choice.begin(), bank.choice.end()) - idsOf(drawn->a.rows) - idsOf(drawn->b.rows);
    ASSERT_EQ(free.size(), 1);
    // Were it B's too, A would have nothing to take.
    DrawChoices againstMore = againstB;
    againstMore.otherPaper += free;
    const QList<ComposedRow> before = drawn->a.rows;
    EXPECT_EQ(replaceQuestion(bank.path, drawn->a.rows, 0, random, againstMore), ReplaceResult::InOtherPaper);
    EXPECT_EQ(drawn->a.rows[0].id, before[0].id);
    // As it is, A's replacement takes it, whatever the seed.
    for (quint64 seed = 0; seed < 20; ++seed) {
        SeededRandom r(seed);
        QList<ComposedRow> rows = before;
        EXPECT_EQ(replaceQuestion(bank.path, rows, 0, r, againstB), ReplaceResult::Replaced);
        EXPECT_EQ(rows[0].id, *free.begin());
    }
    EXPECT_EQ(replaceQuestion(bank.path, drawn->a.rows, 0, random, againstB), ReplaceResult::Replaced);
    EXPECT_FALSE(idsOf(drawn->a.rows).intersects(idsOf(drawn->b.rows)));
}

TEST(DrawChoices, PreferUnusedDrawsTheLeastUsedFirstAndChanceAmongEquals)
{
    ChoiceBank bank(6, 0);
    bank.use({bank.choice[0], bank.choice[1], bank.choice[2], bank.choice[3]}, "2025-01-01");
    bank.use({bank.choice[0], bank.choice[1]}, "2025-02-01");
    DrawChoices prefer;
    prefer.preferUnused = true;
    const QSet<qint64> unused{bank.choice[4], bank.choice[5]};
    const QSet<qint64> usedOnce{bank.choice[2], bank.choice[3]};
    QSet<qint64> thirds;
    for (quint64 seed = 0; seed < 60; ++seed) {
        SeededRandom random(seed);
        const auto two = drawPaper(bank.path, grid({row("选择题", "易", "2", "2")}), random, prefer);
        ASSERT_TRUE(two);
        EXPECT_EQ(idsOf(two->rows), unused);
        const auto three = drawPaper(bank.path, grid({row("选择题", "易", "2", "3")}), random, prefer);
        ASSERT_TRUE(three);
        const QSet<qint64> third = idsOf(three->rows) - unused;
        ASSERT_EQ(third.size(), 1);
        EXPECT_TRUE(usedOnce.contains(*third.begin()));
        thirds += third;
        // Preferring says nothing to the teacher.
        EXPECT_EQ(drawReport(*three), "");
    }
    // Both questions used once are drawn on some seed.
    EXPECT_EQ(thirds, usedOnce);
}

TEST(DrawChoices, AvoidingRecentUseNeverTakesARecentQuestionWhileAnOtherMatches)
{
    ChoiceBank bank(6, 4);
    bank.use({bank.choice[0], bank.choice[1], bank.choice[2]}, "2026-02-01");
    bank.use({bank.choice[3]}, "2025-12-01");
    bank.use({bank.fill[2]}, "2025-05-01");
    bank.use({bank.fill[0]}, "2026-03-01");
    bank.use({bank.fill[1]}, "2026-02-01");
    bank.use({bank.fill[2]}, "2026-01-15");
    DrawChoices avoid;
    avoid.avoidUsedSince = QDate(2026, 1, 1);
    const Grid g = grid({row("选择题", "易", "2", "3"), row("填空题", "易", "1", "2")});
    for (quint64 seed = 0; seed < 60; ++seed) {
        SeededRandom random(seed);
        const auto drawn = drawPaper(bank.path, g, random, avoid);
        ASSERT_TRUE(drawn);
        // Three questions unused since the date match row 1: exactly they are drawn.
        EXPECT_EQ(idsOf(drawn->rows.mid(0, 3)), (QSet<qint64>{bank.choice[3], bank.choice[4], bank.choice[5]}));
        // Row 2 has one; the other is the least recently used of the rest, by its latest use.
        EXPECT_EQ(idsOf(drawn->rows.mid(3)), (QSet<qint64>{bank.fill[3], bank.fill[2]}));
        EXPECT_EQ(drawn->reused, (QList<RowShortfall>{{2, 1}}));
        EXPECT_EQ(drawReport(*drawn), "题数表第2行近期未用过的题不够，选了 1 道近期用过的题。");
    }
}

TEST(DrawChoices, APairAvoidingRecentUseSaysForEachPaperWhereItReused)
{
    // Four questions, two used lately: A takes the two others, B must take the recent ones.
    ChoiceBank bank(4, 0);
    bank.use({bank.choice[0], bank.choice[1]}, "2026-02-01");
    DrawChoices avoid;
    avoid.avoidUsedSince = QDate(2026, 1, 1);
    SeededRandom random(2);
    const auto drawn = drawParallel(bank.path, grid({row("选择题", "易", "2", "2")}), random, avoid);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(idsOf(drawn->a.rows), (QSet<qint64>{bank.choice[2], bank.choice[3]}));
    EXPECT_EQ(idsOf(drawn->b.rows), (QSet<qint64>{bank.choice[0], bank.choice[1]}));
    EXPECT_EQ(parallelReport(*drawn), "B卷：题数表第1行近期未用过的题不够，选了 2 道近期用过的题。");
}
