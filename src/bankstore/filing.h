#pragma once
// Filing composed papers in a paper library and recording the uses of their questions in
// the banks they come from (bankstore/usage.h).

#include "bankstore/paper_library.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace qm {

// A question of a composed paper: the bank it was drawn or picked from and its 编号 there.
struct QuestionRef {
    QString bankPath;
    qint64 id = 0;
    bool operator==(const QuestionRef&) const = default;
};

// A composed paper handed to a paper library: its two documents (RTF), the name its header
// gives it and its questions. A paper imported from files has no questions.
struct ComposedPaper {
    QByteArray paper;
    QByteArray answers;
    QString name;
    QList<QuestionRef> questions;
    bool operator==(const ComposedPaper&) const = default;
};

// A paper to be filed with the questions whose uses it records.
struct PaperToFile {
    Paper paper;
    QList<QuestionRef> questions;
};

struct FilingResult {
    int firstPosition = 0;  // the position (from 0) of the first paper filed
    int recorded = 0;       // questions whose use was recorded
    // What kept a bank from recording its uses, one line each; the papers are filed all
    // the same.
    QStringList usageProblems;
};

// Files `papers` after the last paper of the library, all of them or none, then records in
// each bank a use of every question a paper holds from it, under the library's name, the
// paper's 卷名 and the date its 时间 gives (usageDate, with `today`). Nothing, with `error`,
// when the papers could not be filed.
std::optional<FilingResult> fileInLibrary(const QString& libraryPath, const QList<PaperToFile>& papers,
                                          const QDate& today, QString* error = nullptr);

// One message for the uses that could not be recorded, "" when every one was.
QString usageProblemsMessage(const FilingResult& result);

}  // namespace qm
