#pragma once
// Assembling a paper from the drawn questions: the paper (the questions, for the
// candidates) and the answer sheet (the same, each question followed by "答:" and its
// answer, for the teacher). Both start with the header; each section starts with its
// heading ("一、单选题(20%)") in 黑体 10.5, the grader box and a line break; each question
// with its number line ("3.(2%)") in 宋体 10.5 followed by the question's own text.
// Questions keep their own formatting: fonts, sub- and superscripts, tables, pictures.

#include "compose/draw.h"
#include "compose/manual.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>

class QTextDocument;

namespace qm::paper {

// A drawn question that is no longer in the bank (deleted since the draw).
struct MissingQuestion {
    int section = 0;  // from 1
    QString type;
    int number = 0;  // 题号
    qint64 id = 0;   // 编号
    bool operator==(const MissingQuestion&) const = default;
};

struct AssembledPaper {
    std::unique_ptr<QTextDocument> paper;
    std::unique_ptr<QTextDocument> answers;
    // The questions passed over, in list order; the numbering of the others stays.
    QList<MissingQuestion> missing;
};

// The number of sections of a composed list: a section starts at each row whose type
// differs from the row before it. The scoring table of the header has a column for each.
int sectionCount(const QList<compose::ComposedRow>& rows);

// Assembles both documents from `rows` (in list order) with the questions of the bank at
// `bankPath`, the grader box of the template at `templatePath` and a copy of `header`.
// Nothing, with `error`, when the bank or the template cannot be read or the list has
// more than nine sections; no half-built paper is returned.
std::optional<AssembledPaper> assemblePaper(const QString& bankPath, const QString& templatePath,
                                            const QTextDocument& header, const QList<compose::ComposedRow>& rows,
                                            QString* error = nullptr);

// A paper composed by hand.
// Appends a picked question at the end of both documents: its label ("一、1.") and the
// question on one line; in the answer sheet then "答：" and the answer on a line of their own.
void appendPick(QTextDocument& paper, QTextDocument& answers, const QString& label, const QTextDocument& question,
                const QTextDocument& answer);
// Both documents as "整理试卷" rebuilds them: a copy of `header`, then per section its
// heading ("一、填空题") and per question its number ("1.") and the question (and answer)
// of the bank at `bankPath`. A question no longer in the bank keeps its heading and number
// and is listed in `missing`. Nothing, with `error`, when the bank cannot be read.
std::optional<AssembledPaper> rebuildPaper(const QString& bankPath, const QTextDocument& header,
                                           const QList<compose::ArrangedQuestion>& questions, QString* error = nullptr);

// One message naming the passed-over questions by section and number, "" when none.
QString missingQuestionsMessage(const QList<MissingQuestion>& missing);

}  // namespace qm::paper
