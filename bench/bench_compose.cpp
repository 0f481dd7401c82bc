// Automatic composition on a bank of 50 000 questions spread over 8 types × 15 chapters ×
// 4 units × 3 difficulties × 5 scores: the count grid rebuilt with every criterion counting
// and every value chosen (what the composition window does whenever a choice changes), and
// the draw of a paper of a few hundred grid rows. 10 000 uses are recorded in the bank, as
// after some terms of filed papers: a draw of 100 questions with each of the draw choices
// (prefer unused, avoid recent, A and B), and the upgrade of the bank from the first format
// by its first write.

#include "bankstore/bank_file.h"
#include "bench_text.h"
#include "selection/count_grid.h"
#include "selection/draw.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <SQLiteCpp/Database.h>
#include <benchmark/benchmark.h>

namespace {

using qm::bench::chineseText;

constexpr int kQuestions = 50000;
constexpr int kTypes = 8, kChapters = 15, kUnits = 4, kDifficulties = 3, kScores = 5;
constexpr int kUses = 10000;

QStringList names(const QString& pattern, int n)
{
    QStringList out;
    for (int i = 1; i <= n; ++i)
        out << pattern.arg(i);
    return out;
}

struct Bank {
    Bank()
    {
        qm::BankFile::createEmpty(path);
        const auto writer = qm::BankAppender::open(path);
        QRandomGenerator rng(11);
        for (int i = 0; i < kQuestions; ++i) {
            qm::Question q;
            // The rows the grid must not read carry documents of about 150 characters.
            q.text = qm::bench::gbkRtf(chineseText(rng, 100 + int(rng.bounded(100))));
            q.answer = "{\\rtf1 A}";
            q.type = types[int(rng.bounded(kTypes))];
            q.chapter = chapters[int(rng.bounded(kChapters))];
            q.unit = units[int(rng.bounded(kUnits))];
            q.difficulty = difficulties[int(rng.bounded(kDifficulties))];
            q.score = int(rng.bounded(kScores)) + 1;
            writer->add(q);
        }
        writer->commit();
        // 10 000 uses: 50 papers of 200 questions filed over two years.
        qm::BankFile file(path);
        const QList<qint64> ids = *file.idsMatching({});
        for (int paper = 0; paper < kUses / 200; ++paper) {
            QList<qint64> questions;
            for (int k = 0; k < 200; ++k)
                questions << ids[qsizetype(rng.bounded(quint32(ids.size())))];
            const qm::UsageRecord use{QDate(2024, 9, 1).addDays(paper * 14), QStringLiteral("期末"),
                                      QStringLiteral("第%1卷").arg(paper + 1)};
            file.recordUsage(questions, use);
        }
    }

    qm::selection::Criteria everything() const
    {
        qm::selection::Criteria c;
        c.types = types;
        for (const QString& chapter : chapters)
            c.chapters << qm::selection::ChapterUnits{chapter, units};
        c.difficulties = difficulties;
        return c;
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("题库.tik"));
    QStringList types = names(QStringLiteral("题型%1"), kTypes);
    QStringList chapters = names(QStringLiteral("第%1章"), kChapters);
    QStringList units = names(QStringLiteral("第%1节"), kUnits);
    QStringList difficulties = {QStringLiteral("容易"), QStringLiteral("中等"), QStringLiteral("较难")};
};

Bank& bank()
{
    static Bank b;
    return b;
}

void BM_BuildCountGrid(benchmark::State& state)
{
    const qm::selection::Criteria criteria = bank().everything();
    qsizetype rows = 0;
    for (auto _ : state) {
        const std::optional<qm::selection::Grid> grid = qm::selection::buildCountGrid(bank().path, criteria);
        if (!grid)
            state.SkipWithError("the grid was not built");
        else
            rows = grid->size() - 1;
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_BuildCountGrid)->Unit(benchmark::kMillisecond)->MinTime(2);

// The grouped read alone, to tell it from the assembly of the rows.
void BM_GroupCounts(benchmark::State& state)
{
    const qm::BankFile file(bank().path);
    for (auto _ : state)
        if (!file.groupCounts(bank().types, true, true, true, true))
            state.SkipWithError("the bank was not read");
}
BENCHMARK(BM_GroupCounts)->Unit(benchmark::kMillisecond)->MinTime(2);

// Two questions from every 24th row of the full grid: 300 rows, 600 questions.
void BM_DrawPaper(benchmark::State& state)
{
    qm::selection::Grid grid = *qm::selection::buildCountGrid(bank().path, bank().everything());
    const int drawColumn = qm::selection::drawCountColumn(int(grid[0].size()));
    int asking = 0;
    for (qsizetype r = 1; r < grid.size(); r += 24, ++asking)
        grid[r][drawColumn] = QStringLiteral("2");
    qm::selection::SeededRandom random(1);
    qsizetype drawn = 0;
    for (auto _ : state) {
        const std::optional<qm::selection::DrawResult> result = qm::selection::drawPaper(bank().path, grid, random);
        if (!result)
            state.SkipWithError("nothing was drawn");
        else
            drawn = result->rows.size();
    }
    state.counters["rows"] = asking;
    state.counters["questions"] = double(drawn);
}
BENCHMARK(BM_DrawPaper)->Unit(benchmark::kMillisecond)->MinTime(2);

// One question from each of 100 rows of the full grid, with a draw choice: 0 none, 1 prefer
// unused, 2 avoid what was used in the last year, 3 an A and a B paper.
void BM_DrawChoice(benchmark::State& state)
{
    qm::selection::Grid grid = *qm::selection::buildCountGrid(bank().path, bank().everything());
    const int drawColumn = qm::selection::drawCountColumn(int(grid[0].size()));
    int asking = 0;
    for (qsizetype r = 1; r < grid.size() && asking < 100; r += 7, ++asking)
        grid[r][drawColumn] = QStringLiteral("1");
    qm::selection::DrawChoices choices;
    choices.preferUnused = state.range(0) == 1;
    if (state.range(0) == 2)
        choices.avoidUsedSince = QDate(2025, 9, 1);
    qm::selection::SeededRandom random(1);
    qsizetype drawn = 0;
    for (auto _ : state) {
        if (state.range(0) == 3) {
            const auto result = qm::selection::drawParallel(bank().path, grid, random, choices);
            drawn = result ? result->a.rows.size() + result->b.rows.size() : 0;
        } else {
            const auto result = qm::selection::drawPaper(bank().path, grid, random, choices);
            drawn = result ? result->rows.size() : 0;
        }
        if (drawn == 0)
            state.SkipWithError("nothing was drawn");
    }
    state.counters["questions"] = double(drawn);
}
BENCHMARK(BM_DrawChoice)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->MinTime(2);

// The uses a draw reads: the count and the latest date of every used question.
void BM_ReadUsage(benchmark::State& state)
{
    const qm::BankFile file(bank().path);
    qsizetype used = 0;
    for (auto _ : state) {
        const auto usage = file.usage(false);
        used = usage ? usage->size() : 0;
    }
    state.counters["questions"] = double(used);
}
BENCHMARK(BM_ReadUsage)->Unit(benchmark::kMillisecond)->MinTime(2);

// A bank of the first format (no usage records, version 1) of 50 000 questions, upgraded by
// the first filing that records a use in it.
void BM_UpgradeVersion1(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("旧.tik"));
    QFile::copy(bank().path, old);
    {
        SQLite::Database db(old.toStdString(), SQLite::OPEN_READWRITE);
        db.exec("DROP TABLE 使用记录; PRAGMA user_version = 1; VACUUM;");
    }
    const QString path = dir.filePath(QStringLiteral("题库.tik"));
    const qm::UsageRecord use{QDate(2026, 1, 10), QStringLiteral("期末"), QStringLiteral("期末卷")};
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        QFile::copy(old, path);
        state.ResumeTiming();
        if (!qm::BankFile(path).recordUsage({1, 2, 3}, use))
            state.SkipWithError("the bank was not upgraded");
    }
}
BENCHMARK(BM_UpgradeVersion1)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
