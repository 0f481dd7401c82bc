#pragma once
// 导入题库: stores the questions of a batch file in a bank.
//
// Each question becomes a new row of 题库 at the end of the bank: question and answer as
// RTF documents made from their plain text, the names of its chapter, type, difficulty and
// unit, and the number its score name starts with. A name that the bank's list of types,
// chapters, difficulties or units lacks when the question is written is appended to that
// list (an empty name is not).
//
// The bank is written as the run goes: the questions of at most one second are collected
// in a transaction, and it is committed before every name question, so a power cut loses
// at most the last second of work and the bank is free for other computers while the user
// thinks. Questions stored stay stored when the run is cancelled or fails later on.
//
// The bank window's 导入题库 button drives the dialogue around the run:
//  1. prompt kImportConfirm (title kTitleWarning, question icon, Yes/No, No the default);
//     stop on No; then the file-open dialog; stop when it is cancelled;
//  2. readBatchFile; when it gives no format, show its error (title kTitleError, warning
//     icon) and stop;
//  3. BatchImport + ImportRun::run(askThrough(prompt)), with a progress dialog fed by the
//     progress callback if wanted;
//  4. on Finished, BatchImport::endMessage() (title kTitleInfo, warning icon); on Failed,
//     error() (title kTitleError); on Cancelled the questions stored so far stay.

#include "import/batch_parser.h"

#include <QString>
#include <functional>

namespace qm {
class Prompt;
}

namespace qm::import {

struct ImportProgress {
    qsizetype position = 0;  // characters of the file read so far
    qsizetype size = 0;      // characters in the file
    int stored = 0;          // questions stored so far
};
// Called after each question stored; returning false cancels the run.
using ImportProgressFn = std::function<bool(const ImportProgress&)>;
// Asked once, at the first question of the file that is the same as one the bank has (or
// as one before it in the file: bankstore/duplicates.h): true skips it and every such
// question after it, false stores them all.
using DuplicateChoice = std::function<bool()>;

enum class ImportOutcome { Finished, Cancelled, Failed };

// Asks for names in input boxes titled "导入题库" with an empty default; a cancelled box
// gives an empty name.
NameAsker askThrough(Prompt& prompt);

class ImportRun {
public:
    ImportRun(QString bankPath, BatchImport& batch);

    // The unit of questions in the old format, which names none: the entry pane passes
    // the text of its unit box. Empty unless set.
    void setOldFormatUnit(const QString& unit) { m_oldFormatUnit = unit; }
    void setProgress(ImportProgressFn progress) { m_progress = std::move(progress); }
    // Looks for questions the bank has already and asks `choice` what to do with them;
    // without it every question is stored.
    void setDuplicateChoice(DuplicateChoice choice) { m_duplicateChoice = std::move(choice); }

    // Imports every question of the batch, asking `ask` for the names it lacks.
    ImportOutcome run(const NameAsker& ask);

    // Questions committed to the bank.
    int stored() const { return m_stored; }
    // Questions left out as the same as one before them.
    int skipped() const { return m_skipped; }
    // Why the run failed: a message naming the bank.
    const QString& error() const { return m_error; }

private:
    QString m_path;
    BatchImport& m_batch;
    QString m_oldFormatUnit;
    ImportProgressFn m_progress;
    DuplicateChoice m_duplicateChoice;
    int m_stored = 0;
    int m_skipped = 0;
    QString m_error;
};

}  // namespace qm::import
