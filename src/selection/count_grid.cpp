#include "selection/count_grid.h"

#include "bankstore/bank_file.h"
#include "core/numbers.h"

#include <map>
#include <tuple>

namespace qm::selection {

namespace {

// The grid's questions by type, chapter, unit and difficulty (empty where the attribute is
// not a criterion), then by score (0 where scores are not one) with the number of questions.
using Key = std::tuple<QString, QString, QString, QString>;
using CountsByScore = std::map<double, int>;

// The cells of the attribute columns the options keep, left to right.
QStringList attributeCells(const GridOptions& o, const QString& type, const QString& chapter, const QString& unit,
                           const QString& difficulty, const QString& score)
{
    QStringList cells{type};
    if (o.chapters())
        cells << chapter;
    if (o.units())
        cells << unit;
    if (o.difficulties())
        cells << difficulty;
    if (o.scores())
        cells << score;
    return cells;
}

// The cell at (row, column), empty where a short row has none.
QString cellAt(const Grid& grid, qsizetype row, qsizetype column)
{
    const QStringList& cells = grid[row];
    return column >= 0 && column < cells.size() ? cells[column] : QString();
}

}  // namespace

QStringList gridHeader(const GridOptions& options)
{
    QStringList header = attributeCells(options, kTypeField, kChapterField, kUnitField, kDifficultyField, kScoreField);
    header << QStringLiteral("库内题数") << QStringLiteral("出题数") << QStringLiteral("大题总分")
           << QStringLiteral("小题分");
    return header;
}

std::optional<GridOptions> optionsOfHeader(const QStringList& header)
{
    // Without chapters there are no units either: such a header is read as both off.
    for (int bits = 0; bits < 16; ++bits) {
        GridOptions o;
        o.noChapters = bits & 1;
        o.noUnits = (bits & 2) || o.noChapters;
        o.noDifficulty = bits & 4;
        o.anyScore = bits & 8;
        if (gridHeader(o) == header)
            return o;
    }
    return std::nullopt;
}

std::optional<Grid> buildCountGrid(const QString& bankPath, const Criteria& criteria, QString* error)
{
    const GridOptions& o = criteria.options;
    const std::optional<QList<AttributeCount>> groups =
        BankFile(bankPath).groupCounts(criteria.types, o.chapters(), o.units(), o.difficulties(), o.scores(), error);
    if (!groups)
        return std::nullopt;
    std::map<Key, CountsByScore> counts;
    for (const AttributeCount& g : *groups)
        counts[{g.type, g.chapter, g.unit, g.difficulty}][g.score] += g.count;

    // The values each level of the nesting goes through; a level that is not a criterion
    // goes through one empty value, which is what the grouped read gives for it.
    const QStringList none{QString()};
    QList<const ChapterUnits*> columns;
    for (const ChapterUnits& c : criteria.chapters)
        if (!c.chapter.isEmpty())
            columns << &c;
    const ChapterUnits noChapter;
    if (!o.chapters())
        columns = {&noChapter};
    const QStringList& difficulties = o.difficulties() ? criteria.difficulties : none;

    Grid grid{gridHeader(o)};
    auto addRows = [&](const QString& type, const QString& chapter, const QString& unit, const QString& difficulty) {
        const auto found = counts.find({type, chapter, unit, difficulty});
        if (found == counts.end())
            return;
        auto row = [&](const QString& score, int count) {
            QStringList cells = attributeCells(o, type, chapter, unit, difficulty, score);
            cells << QString::number(count) << QString() << QString() << QString();
            grid << cells;
        };
        if (o.scores()) {
            for (const auto& [score, count] : found->second)
                if (count > 0)
                    row(numText(score), count);
        } else {
            int count = 0;
            for (const auto& entry : found->second)
                count += entry.second;
            if (count > 0)
                row(QString(), count);
        }
    };
    for (const QString& type : criteria.types)
        for (const ChapterUnits* column : columns) {
            QStringList units;
            if (o.units()) {
                for (const QString& u : column->units)
                    if (!u.isEmpty())
                        units << u;
            } else {
                units = none;
            }
            for (const QString& unit : units)
                for (const QString& difficulty : difficulties)
                    addRows(type, column->chapter, unit, difficulty);
        }

    // A type's name stands on the first row of its group only.
    for (qsizetype r = grid.size() - 1; r >= 2; --r)
        if (grid[r][0] == grid[r - 1][0])
            grid[r][0].clear();
    return grid;
}

QString clampDrawCount(const QString& typed, const QString& bankCount)
{
    return Val(typed) > Val(bankCount) ? bankCount : typed;
}

void computeQuestionScores(Grid& grid)
{
    if (grid.isEmpty())
        return;
    const std::optional<GridOptions> options = optionsOfHeader(grid[0]);
    if (!options || !options->scores())
        return;
    const qsizetype columns = grid[0].size();
    const qsizetype scoreColumn = bankCountColumn(int(columns)) - 1;
    const qsizetype drawColumn = drawCountColumn(int(columns));
    const qsizetype totalColumn = sectionTotalColumn(int(columns));
    const qsizetype resultColumn = questionScoreColumn(int(columns));

    auto setResult = [&](qsizetype row, const QString& text) {
        if (resultColumn < grid[row].size())
            grid[row][resultColumn] = text;
    };
    // Rows before the first type name belong to no section and get no score.
    qsizetype r = 1;
    for (; r < grid.size() && cellAt(grid, r, 0).isEmpty(); ++r)
        setResult(r, QString());
    while (r < grid.size()) {
        const qsizetype first = r;
        qsizetype end = r + 1;
        while (end < grid.size() && cellAt(grid, end, 0).isEmpty())
            ++end;
        const double total = Val(cellAt(grid, first, totalColumn));
        double weight = 0;
        for (qsizetype i = first; i < end; ++i)
            weight += Val(cellAt(grid, i, scoreColumn)) * Val(cellAt(grid, i, drawColumn));
        for (qsizetype i = first; i < end; ++i)
            setResult(i, weight == 0 ? QString()
                                     : numText(roundHalfEven(Val(cellAt(grid, i, scoreColumn)) * total / weight, 2)));
        r = end;
    }
}

double paperTotal(const Grid& grid)
{
    if (grid.isEmpty())
        return 0;
    const qsizetype totalColumn = sectionTotalColumn(int(grid[0].size()));
    double sum = 0;
    for (qsizetype r = 1; r < grid.size(); ++r)
        sum += Val(cellAt(grid, r, totalColumn));
    return sum;
}

}  // namespace qm::selection
