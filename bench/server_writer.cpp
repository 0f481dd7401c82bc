// One of the writers of bench_server's contention run: adds N questions one at a time to a
// server bank, as a teacher's window adds them, and prints how many failed and the longest
// single add in milliseconds ("failed<TAB>longest").

#include "bankstore/bank_file.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    qm::BankFile bank(args[1]);
    const int count = args[2].toInt();
    int failed = 0;
    qint64 longest = 0;
    for (int i = 0; i < count; ++i) {
        qm::Question q;
        q.text = "{\\rtf1 " + args[3].toUtf8() + "-" + QByteArray::number(i) + "}";
        q.answer = "{\\rtf1 answer}";
        q.type = QStringLiteral("单选题");
        q.chapter = QStringLiteral("第一章");
        q.score = 2;
        QElapsedTimer t;
        t.start();
        if (!bank.add(q))
            ++failed;
        longest = std::max(longest, t.elapsed());
    }
    std::printf("%d\t%lld\n", failed, static_cast<long long>(longest));
    return 0;
}
