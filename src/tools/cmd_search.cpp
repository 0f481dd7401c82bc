// qmtool search BANK WORD…: the questions holding every word: 编号, 题型, 章节 and a line
// of context, tab-separated.
// qmtool duplicates BANK [--similarity S]: pairs of questions that are the same (1) or at
// least S alike (0.9 unless given): 编号, 编号, similarity, tab-separated.
// qmtool merge BANK SOURCE [--skip-duplicates]: appends the questions of another bank.

#include "bankstore/bank_file.h"
#include "tools/command.h"

#include <QSet>
#include <limits>

namespace qm::tool {

namespace {

const QString kSearchUsage =
    QStringLiteral("BANK WORD...  (questions holding every word: 编号, 题型, 章节, context, tab-separated)");
const QString kDuplicatesUsage =
    QStringLiteral("BANK [--similarity S]  (pairs of the same or nearly the same questions: 编号, 编号, similarity)");
const QString kMergeUsage = QStringLiteral("BANK SOURCE [--skip-duplicates]  (appends the questions of another bank)");

int search(const QStringList& args)
{
    if (args.size() < 2)
        return usageError(QStringLiteral("search"), kSearchUsage, QStringLiteral("a bank and a word are needed"));
    QString error;
    const auto result =
        BankSearcher().find(args[0], args.mid(1).join(QLatin1Char(' ')), std::numeric_limits<int>::max(), &error);
    if (!result)
        return failure(error);
    QString text;
    for (const FoundQuestion& q : result->rows)
        text += QStringLiteral("%1\t%2\t%3\t%4\n")
                    .arg(q.id)
                    .arg(oneField(q.type), oneField(q.chapter), oneField(q.line.text));
    out(text);
    return 0;
}

int duplicates(const QStringList& args)
{
    const QString name = QStringLiteral("duplicates");
    if (args.isEmpty() || args[0].startsWith(QStringLiteral("--")))
        return usageError(name, kDuplicatesUsage, QStringLiteral("a bank is needed"));
    double similarity = 0.9;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] != QLatin1String("--similarity") || i + 1 >= args.size())
            return usageError(name, kDuplicatesUsage, QStringLiteral("unknown argument: ") + args[i]);
        bool ok = false;
        similarity = args[++i].toDouble(&ok);
        if (!ok || similarity < 0.5 || similarity > 1)
            return usageError(name, kDuplicatesUsage, QStringLiteral("--similarity is a number from 0.5 to 1"));
    }
    QString error;
    const auto pairs = BankFile(args[0]).duplicates(similarity, &error);
    if (!pairs)
        return failure(error);
    QString text;
    for (const DuplicatePair& p : *pairs)
        text += QStringLiteral("%1\t%2\t%3\n")
                    .arg(p.first)
                    .arg(p.second)
                    .arg(p.similarity >= 1 ? QStringLiteral("1") : QString::number(p.similarity, 'f', 3));
    out(text);
    return 0;
}

int merge(const QStringList& args)
{
    const QString name = QStringLiteral("merge");
    QString unknown;
    const auto call = filesAndFlag(args, QStringLiteral("--skip-duplicates"), &unknown);
    if (!call)
        return usageError(name, kMergeUsage, QStringLiteral("unknown option: ") + unknown);
    const QStringList& files = call->files;
    const bool skipDuplicates = call->flag;
    if (files.size() != 2)
        return usageError(name, kMergeUsage, QStringLiteral("a bank and a source bank are needed"));
    QString error;
    QList<qint64> same;
    if (skipDuplicates) {
        const auto found = mergeDuplicates(files[0], files[1], &error);
        if (!found)
            return failure(error);
        same = *found;
    }
    const auto added = BankFile(files[0]).mergeFrom(files[1], &error, QSet<qint64>(same.begin(), same.end()));
    if (!added)
        return failure(error);
    QString text = QStringLiteral("已合并%1道题。\n").arg(*added);
    if (skipDuplicates)
        text += QStringLiteral("跳过重复的题%1道。\n").arg(same.size());
    out(text);
    return 0;
}

}  // namespace

void addSearchCommands(QList<Command>& list, Workspace& /*workspace*/)
{
    list.append({QStringLiteral("search"), kSearchUsage, search});
    list.append({QStringLiteral("duplicates"), kDuplicatesUsage, duplicates});
    list.append({QStringLiteral("merge"), kMergeUsage, merge});
}

}  // namespace qm::tool
