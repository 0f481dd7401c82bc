#pragma once
// What a bank remembers of its questions' uses: each time a paper holding a question is
// filed in a paper library, the question gets a usage record with the filing date, the
// library's name and the paper's 卷名, and its field 使用 counts them. Drafts that are never
// filed leave no trace; deleting a paper from its library leaves the records, which say
// which paper it was.

#include <QDate>
#include <QString>

namespace qm {

// One use of a question.
struct UsageRecord {
    QDate date;       // 日期: the day the paper was filed
    QString library;  // 试卷库: the library's name (its file name without the extension)
    QString paper;    // 卷名: the paper's name as filed

    bool operator==(const UsageRecord&) const = default;
};

// What is known of one question's uses.
struct UsageSummary {
    int count = 0;     // 使用: how many records there are
    UsageRecord last;  // the latest record (by date, then by filing); empty when unused

    bool operator==(const UsageSummary&) const = default;
};

// The line the windows show for a question: "未用过", or
// "已用 3 次，最近 2026-01-10《高一(3)班《数学》期末试卷》".
QString usageText(const UsageSummary& usage);

// The date a filed paper's uses are recorded under: its 时间 when that is a date
// ("2026-01-10", "2026/1/10", "2026.1.10", "2026年1月10日"), else `today`.
QDate usageDate(const QString& paperDate, const QDate& today);

// A library's name in the records: its file name without the extension.
QString libraryName(const QString& libraryPath);

}  // namespace qm
