// Automatic composition on a bank of 50 000 questions spread over 8 types × 15 chapters ×
// 4 units × 3 difficulties × 5 scores: the count grid rebuilt with every criterion counting
// and every value chosen (what the composition window does whenever a choice changes), and
// the draw of a paper of a few hundred grid rows.

#include "bankstore/bank_file.h"
#include "bench_text.h"
#include "selection/count_grid.h"
#include "selection/draw.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using qm::bench::chineseText;

constexpr int kQuestions = 50000;
constexpr int kTypes = 8, kChapters = 15, kUnits = 4, kDifficulties = 3, kScores = 5;

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

}  // namespace
