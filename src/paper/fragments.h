#pragma once
// The prepared pieces of a paper kept in the template "qm.qm": the scoring table for a
// number of question types (row k of 评分表 for k types) and the grader box (阅卷人)
// placed after each section heading.

#include <QByteArray>
#include <QString>
#include <optional>

class QTextCursor;
class QTextDocument;

namespace qm::paper {

// A scoring table laid out for `types` question types, as the template's rows are: a row
// 题号 | 一 … | 总分 over a row 得分 and blank cells. Numerals go on past 九 (十, 十一 …).
QByteArray scoringTableRtf(int types);
// The grader box: 得分 | 阅卷人 over two blank cells.
QByteArray graderBoxRtf();

// The template's scoring table for `types` types (0 and 1 give the first row). When the
// template has fewer rows, a table of the same layout is made for `types`. Nothing, with
// `error`, when the template cannot be read.
std::optional<QByteArray> loadScoringTable(const QString& templatePath, int types, QString* error = nullptr);
// The template's grader box; nothing, with `error`, when the template or its table
// cannot be read.
std::optional<QByteArray> loadGraderBox(const QString& templatePath, QString* error = nullptr);

// Inserts a prepared table (its document, read from the RTF) at the cursor with its own
// formatting, as the stored form places it: right after the paragraph before it. A table
// can only follow a paragraph, so when the cursor stands in an empty paragraph that a line
// break has just opened, that paragraph makes way for the table instead of leaving a blank
// line above it. The cursor ends in the paragraph after the table.
void insertTable(QTextCursor& cursor, const QTextDocument& table);

}  // namespace qm::paper
