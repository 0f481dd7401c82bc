#pragma once
// Drawing the questions of a paper from a count grid, and replacing a drawn question.
//
// Every grid row draws, at random and without repetition, as many of the bank questions
// matching the row as its draw count asks; each matching question has the same chance
// however many there are. The drawn questions form the composed list, which is what a
// paper is assembled from.

#include "bankstore/bank_file.h"
#include "selection/count_grid.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>

namespace qm::selection {

// Where draws take their chance from. The program seeds one from the clock; tests and
// `qmtool draw --seed` give a fixed seed so the draw repeats.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A uniformly distributed integer in [0, n); n > 0.
    virtual quint32 below(quint32 n) = 0;
};

// A RandomSource with a fixed seed.
class SeededRandom : public RandomSource {
public:
    explicit SeededRandom(quint64 seed);
    quint32 below(quint32 n) override;

private:
    quint64 m_state[4];
};

// The seed the program uses: the time of day, finer than a second.
quint64 clockSeed();

// One drawn question.
struct ComposedRow {
    QString type;           // 题型: the section's type
    int number = 0;         // 题号: within the section, from 1
    qint64 id = 0;          // 编号 in the bank
    QString questionScore;  // 小题分: the grid row's question score (may be empty)
    int position = 0;       // N: index of the question among the row's matching questions
    QString query;          // S: the row's query, as rowQueryText gives it
    QString sectionTotal;   // F: the section total when its value is above 0, else empty

    bool operator==(const ComposedRow&) const = default;
};

// The header of the composed list and the seven cells of a row, as the window shows them.
QStringList composedHeader();  // 题型 题号 编号 小题分 N S F
QStringList composedCells(const ComposedRow& row);

// The questions a grid row asks for, as kept in column S: a text that names the type and
// every criterion value of the row, and that filterOfQuery turns back into the filter.
QString rowQueryText(const QuestionFilter& filter);
std::optional<QuestionFilter> filterOfQuery(const QString& text);

// Chinese numbers "一" … "九十九" for 1..99; "" outside.
QString chineseNumber(int n);
// The section numerals "一、" … "二十、" for 1..20; "" outside. A drawn paper has at most
// nine sections, a paper composed by hand twenty.
QString sectionNumeral(int section);
constexpr int kMaxSections = 9;
constexpr int kMaxManualSections = 20;

// What a draw prefers beside chance. Without any of them every matching question of a row
// has the same chance.
struct DrawChoices {
    // Within a row, the questions used least often first (bankstore/usage.h), chance among
    // those used equally often.
    bool preferUnused = false;
    // Questions used on or after this date are left out; a row with too few others takes
    // the least recently used of them.
    std::optional<QDate> avoidUsedSince;
    // The questions of the paper drawn beside this one (A when B is drawn): a row takes
    // them only when it has no others left, as few as it can.
    QSet<qint64> otherPaper;

    // True when the draw needs the bank's usage records.
    bool needsUsage() const { return preferUnused || avoidUsedSince.has_value(); }
};

// A grid row (from 1) and how many of its questions were ones it would rather not have
// drawn.
struct RowShortfall {
    int row = 0;
    int count = 0;
    bool operator==(const RowShortfall&) const = default;
};

struct DrawResult {
    QList<ComposedRow> rows;
    // Questions asked for but not in the bank: the sum over rows of draw count minus
    // matching questions where the count is larger (rows of the same kind share their
    // questions, so a repeated row counts what the rows before it left).
    int missing = 0;
    // Grid rows (from 1) that ask for questions but stand before the first type name, so
    // belong to no section and draw nothing.
    QList<int> rowsWithoutType;
    // Rows that had too few questions unused since avoidUsedSince, and how many they drew
    // that were used since.
    QList<RowShortfall> reused;
    // Rows that had too few questions besides the other paper's, and how many of the other
    // paper's they drew.
    QList<RowShortfall> shared;
};

// What a draw should tell the teacher: the questions missing, the rows that drew nothing
// for want of a type, the rows that had to draw recently used questions, one line each;
// "" when the draw got everything it asked for as it was asked.
QString drawReport(const DrawResult& result);

// Two papers from one grid: A, then B without any question of A where the rows have
// enough (出AB卷).
struct ParallelDraw {
    DrawResult a;
    DrawResult b;  // `shared` says which rows share questions with A, and how many
};

// What a draw of two papers should tell the teacher: the lines of each paper's report
// marked "A卷：" and "B卷：", and the rows whose questions B shares with A.
QString parallelReport(const ParallelDraw& draw);

// The most questions one paper may ask for.
constexpr int kMaxPaperQuestions = 2000;

// The number of sections a draw from `grid` gives: rows of one type that draw something
// make one section; a type with nothing to draw takes no numeral.
int drawingSectionCount(const Grid& grid);

// Draws the paper for `grid` (header row included) from the bank at `bankPath`. Rows whose
// draw count is empty, 0 or not a number draw nothing; a row that asks for more than its
// matching questions draws all of them. A paper never holds a question twice: rows of the
// same kind (a row or section repeated) draw from what the rows before them left. Nothing,
// with `error` saying why, when the bank cannot be read, the grid is not a count grid, it
// has more than nine sections or asks for more than kMaxPaperQuestions questions.
std::optional<DrawResult> drawPaper(const QString& bankPath, const Grid& grid, RandomSource& random,
                                    QString* error = nullptr);
// The same with `choices`: a row draws first what the choices prefer (the other paper's
// questions last, then those used since avoidUsedSince, the least recently used of them
// first; with preferUnused the least used first), each preference with chance among equals.
// The questions drawn for a row then stand in an order of chance.
std::optional<DrawResult> drawPaper(const QString& bankPath, const Grid& grid, RandomSource& random,
                                    const DrawChoices& choices, QString* error = nullptr);
// Draws A with `choices`, then B with them and A's questions as the other paper. Where
// every row has at least twice its draw count the papers share no question; otherwise B
// shares as few as the rows allow.
std::optional<ParallelDraw> drawParallel(const QString& bankPath, const Grid& grid, RandomSource& random,
                                         const DrawChoices& choices = {}, QString* error = nullptr);

enum class ReplaceResult {
    Replaced,      // the row has another question, its 编号 and N changed
    OnlyOne,       // the row's query matches a single question
    NoQuestions,   // it matches none: nothing changed
    AllDrawn,      // every matching question is in the list already
    InOtherPaper,  // every other matching question is in the other paper
    Failed,        // the bank could not be read or the row is not a drawn row; see error
};

// Replaces the question of `rows[index]` by another question matching its row's query that
// no row with that query holds, chosen uniformly among them.
ReplaceResult replaceQuestion(const QString& bankPath, QList<ComposedRow>& rows, int index, RandomSource& random,
                              QString* error = nullptr);
// The same with `choices`: the other paper's questions are never taken, and the question
// is the first the choices prefer (as a draw ranks them), chance among equals.
ReplaceResult replaceQuestion(const QString& bankPath, QList<ComposedRow>& rows, int index, RandomSource& random,
                              const DrawChoices& choices, QString* error = nullptr);

}  // namespace qm::selection
