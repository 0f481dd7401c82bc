#include "bankstore/filing.h"

#include "bankstore/bank_file.h"
#include "bankstore/sqlite_file.h"

#include <QMap>

namespace qm {

std::optional<FilingResult> fileInLibrary(const QString& libraryPath, const QList<PaperToFile>& papers,
                                          const QDate& today, QString* error)
{
    QList<Paper> filed;
    for (const PaperToFile& p : papers)
        filed << p.paper;
    const std::optional<int> first = PaperLibrary(libraryPath).appendAll(filed, error);
    if (!first)
        return std::nullopt;
    FilingResult result;
    result.firstPosition = *first;
    // The library and the banks are separate files: the papers stand once filed, and a bank
    // that cannot be written now is named so that the teacher knows its uses are missing.
    const QString library = libraryName(libraryPath);
    for (const PaperToFile& p : papers) {
        QMap<QString, QList<qint64>> byBank;
        for (const QuestionRef& q : p.questions)
            byBank[q.bankPath] << q.id;
        const UsageRecord use{usageDate(p.paper.particulars.date, today), library, p.paper.particulars.name};
        for (auto it = byBank.cbegin(); it != byBank.cend(); ++it) {
            QString why;
            if (const std::optional<int> recorded = BankFile(it.key()).recordUsage(it.value(), use, &why))
                result.recorded += *recorded;
            else
                result.usageProblems << why;
        }
    }
    return result;
}

QString usageProblemsMessage(const FilingResult& result)
{
    if (result.usageProblems.isEmpty())
        return {};
    return QStringLiteral("试卷已存入试卷库，但下列题库没有记下题目的使用：\n")
           + result.usageProblems.join(QLatin1Char('\n'));
}

}  // namespace qm
