// A second program working on a shared bank, for the test of two processes on one file:
// bank_worker BANK TAG COUNT DELETIONS adds COUNT questions tagged TAG, reads the last and
// a random question after each, and deletes the first question of the bank DELETIONS times.
// Every question's text begins with its remark, so a torn read shows. Exit code 0 = all
// operations succeeded.

#include "bankstore/bank_file.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <cstdio>

namespace {

int failure(const QString& what, const QString& error)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(what), qPrintable(error));
    return 1;
}

bool consistent(const qm::Question& q)
{
    return q.text.startsWith(q.remark.toUtf8()) && q.answer == q.remark.toUtf8();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    qm::BankFile bank(args[1]);
    const QString tag = args[2];
    const int count = args[3].toInt();
    const int deletions = args[4].toInt();
    QString error;
    for (int i = 0; i < count; ++i) {
        qm::Question q;
        q.remark = tag + QLatin1Char('-') + QString::number(i);
        q.text = q.remark.toUtf8() + QByteArray(30000 + i * 97, 'x');
        q.answer = q.remark.toUtf8();
        q.type = tag;
        if (!bank.add(q, &error))
            return failure(QStringLiteral("add"), error);
        const auto last = bank.read(-1, &error);
        if (!last || !consistent(last->question))
            return failure(QStringLiteral("read last"), error);
        const auto any = bank.read(int(QRandomGenerator::global()->bounded(last->count)), &error);
        if (!any || !consistent(any->question))
            return failure(QStringLiteral("read"), error);
        if (i < deletions && !bank.remove(0, &error))
            return failure(QStringLiteral("remove"), error);
        if (!bank.countMatching({.type = tag}, &error))
            return failure(QStringLiteral("count"), error);
    }
    return 0;
}
