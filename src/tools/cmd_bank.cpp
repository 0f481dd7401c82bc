// qmtool bank-dump BANK: prints a bank's particulars, lists and every question (position,
// 编号, attributes, plain text of question and answer) as UTF-8.
// qmtool usage BANK: the used questions of a bank, one line each: 编号, the number of uses,
// the latest date and the paper of that use, tab-separated.

#include "bankstore/bank_file.h"
#include "core/numbers.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"
#include "tools/command.h"

#include <QTextDocument>

namespace qm::tool {

namespace {

const QString kDumpUsage = QStringLiteral("BANK  (particulars, lists and questions as text)");
const QString kUsageUsage =
    QStringLiteral("BANK  (the used questions: 编号, uses, latest date and paper, tab-separated)");

// The lines of a stored document, each indented under its label. `doc` is scratch space,
// used again for every document: making a new one each time costs as much as the reading.
QString indented(const QString& label, const QByteArray& rtf, QTextDocument& doc)
{
    RtfReader::read(rtf, &doc);
    QString text = documentText(doc);
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return QStringLiteral("  %1：%2\n").arg(label, text.replace(QLatin1Char('\n'), QStringLiteral("\n        ")));
}

// The text of the question at 0-based `position`.
QString questionText(int position, const Question& q, QTextDocument& doc)
{
    return QStringLiteral("\n第%1道  编号 %2  %3 | %4 | %5 | %6 | %7分\n")
               .arg(position + 1)
               .arg(q.id)
               .arg(q.type, q.chapter, q.unit, q.difficulty, numText(q.score))
           + indented(QStringLiteral("题目"), q.text, doc) + indented(QStringLiteral("答案"), q.answer, doc);
}

int bankDump(const QStringList& args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("bank-dump"), kDumpUsage, QStringLiteral("one bank is needed"));
    // One pass over the bank, all read at one moment.
    QString error;
    const std::unique_ptr<BankReader> bank = BankReader::open(args[0], &error);
    if (!bank)
        return failure(error);
    const Particulars& particulars = bank->particulars();
    QString text;
    const std::pair<const char*, const QString*> fields[] = {
        {"题库名称", &particulars.name},   {"适用专业", &particulars.speciality}, {"适用大纲", &particulars.syllabus},
        {"建库人员", &particulars.author}, {"审定人员", &particulars.reviewer},   {"启用时间", &particulars.firstUse}};
    for (const auto& [label, value] : fields)
        text += QString::fromUtf8(label) + QStringLiteral("：") + *value + QLatin1Char('\n');
    const std::pair<const char*, AttributeList> lists[] = {{"题型", AttributeList::Types},
                                                           {"章节", AttributeList::Chapters},
                                                           {"难度", AttributeList::Difficulties},
                                                           {"单元", AttributeList::Units}};
    for (const auto& [label, which] : lists)
        text += QString::fromUtf8(label) + QStringLiteral("表：") + bank->list(which).join(QStringLiteral("，"))
                + QLatin1Char('\n');
    text += QStringLiteral("共有题目%1道\n").arg(bank->count());
    out(text);
    QTextDocument doc;
    for (int position = 0; const std::optional<Question> q = bank->next(); ++position)
        out(questionText(position, *q, doc));
    if (!bank->error().isEmpty())
        return failure(bank->error());
    return 0;
}

int usage(const QStringList& args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("usage"), kUsageUsage, QStringLiteral("one bank is needed"));
    QString error;
    const std::optional<QMap<qint64, UsageSummary>> used = BankFile(args[0]).usage(true, &error);
    if (!used)
        return failure(error);
    QString text;
    for (auto it = used->cbegin(); it != used->cend(); ++it)
        text += QStringLiteral("%1\t%2\t%3\t%4\n")
                    .arg(it.key())
                    .arg(it->count)
                    .arg(it->last.date.toString(Qt::ISODate), oneField(it->last.paper));
    out(text);
    return 0;
}

}  // namespace

void addBankCommands(QList<Command>& list, Workspace& /*workspace*/)
{
    list.append({QStringLiteral("bank-dump"), kDumpUsage, bankDump});
    list.append({QStringLiteral("usage"), kUsageUsage, usage});
}

}  // namespace qm::tool
