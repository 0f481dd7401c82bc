#pragma once
// Making a paper: the one way the composition windows and `qmtool compose` turn the
// questions of a paper into its two documents, the paper (the questions, for the
// candidates) and the answer sheet (the same, each question followed by its answer marker
// and answer, for the teacher).
//
// Both documents start with the header, whose scoring table has a column for each section
// the paper holds. Each section starts with its heading ("一、单选题(20%)") in 黑体 10.5,
// the grader box where the paper has them, and each question with its number line
// ("3.(2%)") in 宋体 10.5 followed by the question's own text. Questions keep their own
// formatting: fonts, sub- and superscripts, tables, pictures. Each question is read from
// the bank it was drawn or picked from, so one paper may hold questions of several banks.
//
// A paper composed by hand is written one pick at a time (appendPick) until "整理试卷"
// makes it again through the paper job.

#include "paper/header_settings.h"
#include "paper/paper_choices.h"
#include "selection/draw.h"
#include "selection/manual.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>

class QTextDocument;

namespace qm::paper {

// One question of a paper.
struct PaperQuestion {
    QString bankPath;  // the bank it is read from
    qint64 id = 0;     // 编号 there
    QString score;     // 小题分: shown as "(2%)" after the number when above 0
    bool operator==(const PaperQuestion&) const = default;
};

// One section (大题): the questions of one type, numbered from 1.
struct PaperSection {
    QString type;
    QString total;  // 大题总分: shown as "(20%)" after the heading when above 0
    QList<PaperQuestion> questions;
    bool operator==(const PaperSection&) const = default;
};

// How a paper is laid out: the teacher's choices, and where drawn papers and papers
// composed by hand differ.
struct PaperStyle {
    bool graderBoxes = true;                       // 阅卷人 box after each heading
    QString answerMarker = QStringLiteral("答:");  // before each answer
    int maxSections = selection::kMaxSections;     // numerals there are for
    bool missingKeepsNumber = false;               // a deleted question's number stays
    bool scoresFromBank = false;                   // labels from the bank's 分值
    PaperChoices choices;
    // Drawn papers (the automatic window and qmtool compose).
    static PaperStyle drawn(const PaperChoices& choices = {})
    {
        PaperStyle s;
        s.choices = choices;
        return s;
    }
    // Papers composed by hand: numerals for twenty sections, "答：", a deleted question's
    // number kept, and the scores their bank gives the questions.
    static PaperStyle manual(const PaperChoices& choices = {})
    {
        PaperStyle s;
        s.answerMarker = QStringLiteral("答：");
        s.maxSections = selection::kMaxManualSections;
        s.missingKeepsNumber = true;
        s.scoresFromBank = true;
        s.choices = choices;
        return s;
    }
};

// What a paper is made of.
struct PaperJob {
    QList<PaperSection> sections;
    // The header: the header document as the teacher built (and perhaps edited) it, or,
    // without one, the header made from `settings` for the bank `bankFileName`. Without
    // either the paper has no header. Its scoring table is fitted to the sections.
    const QTextDocument* header = nullptr;
    std::optional<HeaderSettings> settings;
    QString bankFileName;
    // The template "qm.qm" with the scoring tables and the grader box.
    QString templatePath;
    PaperStyle style;
};

// A drawn question that is no longer in its bank (deleted since the draw or the pick).
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
    // The questions passed over, in paper order.
    QList<MissingQuestion> missing;
};

// Makes both documents. Nothing, with `error`, when a bank or the template cannot be read
// or the paper has more sections than the style has numerals; no half-made paper is
// returned.
std::optional<AssembledPaper> makePaper(const PaperJob& job, QString* error = nullptr);

// The sections of a drawn paper: a section starts at each row whose type differs from the
// row before it. Every question is read from `bankPath`.
QList<PaperSection> sectionsOfDraw(const QString& bankPath, const QList<selection::ComposedRow>& rows);
// The sections of a paper composed by hand, as arranged from its picks.
QList<PaperSection> sectionsOfPicks(const QList<selection::ArrangedQuestion>& questions);

// The header of a paper with `sections` sections: `header` when its scoring table already
// has that many columns, else a copy with the template's table for that many. A paper
// without sections keeps the table it has.
std::unique_ptr<QTextDocument> fittedHeader(const QTextDocument& header, int sections, const QString& templatePath);

// Appends a picked question at the end of both documents: its label ("一、1.") and the
// question on one line; in the answer sheet then "答：" and the answer on a line of their own.
void appendPick(QTextDocument& paper, QTextDocument& answers, const QString& label, const QTextDocument& question,
                const QTextDocument& answer);

// One message naming the passed-over questions by section and number, "" when none.
QString missingQuestionsMessage(const QList<MissingQuestion>& missing);

}  // namespace qm::paper
