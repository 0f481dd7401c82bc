// A second program working on a shared bank, for the test of two processes on one file:
// bank_worker BANK TAG COUNT DELETIONS adds COUNT questions tagged TAG, reads the last and
// a random question after each, and deletes the first question of the bank DELETIONS times.
// Every question's text begins with its remark, so a torn read shows. Exit code 0 = all
// operations succeeded.
//
// The random question is picked by its 编号, as a window does: a position picked from a
// count read earlier may lie past the end by the time it is read, because the other
// program deletes in between.
//
// bank_worker BANK --die-upgrading begins a write on a bank of an older format, so that its
// upgrade is under way, and ends the process there (exit code 3) without finishing it.

#include "bankstore/bank_file.h"
#include "bankstore/sqlite_file.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <cstdio>
#include <cstdlib>

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

// Reads a question picked at random by its 编号. The other program may delete it between
// the listing and the read; a 编号 is never used again, so a question whose 编号 is
// still listed after a failed read was there all along, and the failure is real.
bool readAnyQuestion(const qm::BankFile& bank, QString* error)
{
    for (;;) {
        const auto ids = bank.idsMatching({}, error);
        if (!ids)
            return false;
        if (ids->isEmpty()) {
            *error = QStringLiteral("no question to read");
            return false;
        }
        const qint64 id = ids->at(qsizetype(QRandomGenerator::global()->bounded(quint32(ids->size()))));
        if (const auto q = bank.readById(id, error)) {
            if (!consistent(*q))
                *error = QStringLiteral("question %1 read torn").arg(id);
            return consistent(*q);
        }
        const auto now = bank.idsMatching({}, error);
        if (!now || now->contains(id))
            return false;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[2] == QLatin1String("--die-upgrading")) {
        SQLite::Database db(args[1].toStdString(), SQLite::OPEN_READWRITE);
        const qm::WriteTransaction tx(db);
        db.exec("UPDATE 参数 SET mc = mc");
        std::fflush(nullptr);
        std::_Exit(3);
    }
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
        if (!readAnyQuestion(bank, &error))
            return failure(QStringLiteral("read"), error);
        if (i < deletions && !bank.remove(0, &error))
            return failure(QStringLiteral("remove"), error);
        if (!bank.countMatching({.type = tag}, &error))
            return failure(QStringLiteral("count"), error);
    }
    return 0;
}
