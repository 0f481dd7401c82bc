#pragma once
// The count grid of automatic composition: one row per combination of the chosen criteria
// that occurs in the bank, with the number of bank questions matching it, the number of
// questions to draw (typed by the teacher), the section total (typed on a section's first
// row) and the score of each drawn question (computed).
//
// A grid is a table of texts, row 0 the header. Its columns, left to right: "题型", then
// those of "章节", "单元", "难度", "分值" the options keep, then always "库内题数", "出题数",
// "大题总分", "小题分"; so 5 to 9 columns, and the last four are found by their distance
// from the right. The rows of a type are contiguous; the type's name stands on the first row
// of its group only, and a row with a type name starts a section of the paper.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace qm::selection {

// The attributes by the names of their bank fields: the grid's column titles and the keys of
// a row's query text (draw.h).
inline const QString kTypeField = QStringLiteral("题型");
inline const QString kChapterField = QStringLiteral("章节");
inline const QString kUnitField = QStringLiteral("单元");
inline const QString kDifficultyField = QStringLiteral("难度");
inline const QString kScoreField = QStringLiteral("分值");

// The four options of the composition window; on means "not a criterion".
struct GridOptions {
    bool noChapters = false;    // 不分章节; also means no units
    bool noUnits = false;       // 不分单元
    bool noDifficulty = false;  // 不分难度
    bool anyScore = false;      // 无论分值; question scores are then not computed

    bool chapters() const { return !noChapters; }
    bool units() const { return !noChapters && !noUnits; }
    bool difficulties() const { return !noDifficulty; }
    bool scores() const { return !anyScore; }
    bool operator==(const GridOptions&) const = default;
};

// One chapter column of the chapter/unit grid: the chapter and its chosen units in order.
struct ChapterUnits {
    QString chapter;
    QStringList units;
    bool operator==(const ChapterUnits&) const = default;
};

// What the teacher chose. Values are compared with the bank's texts exactly.
struct Criteria {
    QStringList types;             // in section order
    QList<ChapterUnits> chapters;  // columns left to right; a column with an empty name is skipped
    QStringList difficulties;
    GridOptions options;
};

using Grid = QList<QStringList>;  // row 0 is the header

// The header row for these options.
QStringList gridHeader(const GridOptions& options);
// The options a header row was made for; nothing when it is not such a header.
std::optional<GridOptions> optionsOfHeader(const QStringList& header);

// Positions of the last four columns in a grid of `columns` columns.
inline int bankCountColumn(int columns)
{
    return columns - 4;
}
inline int drawCountColumn(int columns)
{
    return columns - 3;
}
inline int sectionTotalColumn(int columns)
{
    return columns - 2;
}
inline int questionScoreColumn(int columns)
{
    return columns - 1;
}

// Builds the grid for `criteria` from one grouped read of the bank at `bankPath`: the
// header and a row per combination, nested type (criteria order) > chapter column > unit
// (column order) > difficulty (list order) > score (ascending), without the combinations
// no question matches. Chapters (units, difficulties) that count but are not chosen give no
// rows; so does an empty difficulty list while difficulties count. Draw counts, section
// totals and question scores are empty. Nothing, with `error`, when the bank cannot be read.
std::optional<Grid> buildCountGrid(const QString& bankPath, const Criteria& criteria, QString* error = nullptr);

// A draw count as typed into the row: its text, or the bank count when its value is larger.
QString clampDrawCount(const QString& typed, const QString& bankCount);

// Recomputes the question-score column: in each section, each row's score ×
// section total / Σ(score × draw count) over the section's rows, rounded to 2 decimals with
// halves to even. The cells of a section whose Σ is 0 are emptied. Does nothing to a grid
// without a score column.
void computeQuestionScores(Grid& grid);

// The sum of the section-total cells' values (the paper total).
double paperTotal(const Grid& grid);

}  // namespace qm::selection
