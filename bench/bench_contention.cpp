// Other writers while a long batch import runs on the same bank, as when several computers
// share a work path: `qmtool import` of 600 000 questions runs in the background while this
// program adds single questions, or imports 50 questions, and times each. The writes start
// at random moments (up to 1.5 s apart, not timed), so that they meet the import at every
// point of its cycle of transactions. A writer that cannot get the bank within its busy
// timeout fails the benchmark with the message.

#include "bankstore/bank_file.h"
#include "core/gbk.h"
#include "import/batch_parser.h"
#include "import/import_run.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>

namespace {

constexpr int kLongImport = 600000;

// A new-format batch file of `count` questions with every name declared.
QByteArray batchFile(int count)
{
    QString text = QStringLiteral("新题库\r\n");
    for (int i = 1; i <= 20; ++i)
        text += QStringLiteral("&CP%1第%2章&\r\n").arg(i, 2, 10, QLatin1Char('0')).arg(i);
    text += QStringLiteral("&DY01第一节&\r\n&SZ1单选题&\r\n&SZ2问答题&\r\n&LV1容易&\r\n&PT01 1 &\r\n");
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("$CP%1DY01SZ%2LV1PT01 第%3题：细胞膜的主要成分是什么？{脂质和蛋白质}$\r\n")
                    .arg(i % 20 + 1, 2, 10, QLatin1Char('0'))
                    .arg(i % 2 + 1)
                    .arg(i + 1);
    return *qm::gbkEncode(text);
}

// A fresh bank with the long import running on it, under way (questions committed) when
// the constructor returns; ended when it goes away.
class LongImport {
public:
    LongImport()
    {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(batchFile(kLongImport));
        f.close();
        qm::BankFile::createEmpty(bank);
        process.start(QStringLiteral(QM_QMTOOL), {QStringLiteral("import"), bank, file});
        while (qm::BankFile(bank).count().value_or(0) == 0 && process.state() != QProcess::NotRunning)
            QThread::msleep(10);
    }
    ~LongImport()
    {
        process.kill();
        process.waitForFinished();
    }
    bool running() { return !process.waitForFinished(0); }

    QTemporaryDir dir;
    QString bank = dir.filePath(QStringLiteral("共享.tik"));
    QString file = dir.filePath(QStringLiteral("长.txt"));
    QProcess process;
};

// Waits a random time, untimed, before the next write.
void randomGap(benchmark::State& state)
{
    state.PauseTiming();
    QThread::msleep(QRandomGenerator::global()->bounded(1500));
    state.ResumeTiming();
}

void reportWaits(benchmark::State& state, const QList<qint64>& waits, bool stillRunning)
{
    qint64 longest = 0;
    for (qint64 w : waits)
        longest = std::max(longest, w);
    state.counters["longest_ms"] = double(longest);
    state.counters["import_still_running"] = stillRunning ? 1 : 0;
}

void BM_AddWhileImporting(benchmark::State& state)
{
    LongImport import;
    qm::BankFile bank(import.bank);
    QList<qint64> waits;
    for (auto _ : state) {
        randomGap(state);
        QElapsedTimer t;
        t.start();
        qm::Question q;
        q.text = "{\\rtf1 added meanwhile}";
        QString error;
        if (!bank.add(q, &error)) {
            state.SkipWithError(qPrintable(QStringLiteral("after %1 ms: %2").arg(t.elapsed()).arg(error)));
            break;
        }
        waits << t.elapsed();
    }
    reportWaits(state, waits, import.running());
}
BENCHMARK(BM_AddWhileImporting)->Iterations(10)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImportWhileImporting(benchmark::State& state)
{
    LongImport import;
    const qm::import::BatchFile file = qm::import::batchFileFromBytes(batchFile(50));
    QList<qint64> waits;
    for (auto _ : state) {
        randomGap(state);
        QElapsedTimer t;
        t.start();
        qm::import::BatchImport batch(file.text, *file.format);
        qm::import::ImportRun run(import.bank, batch);
        if (run.run({}) != qm::import::ImportOutcome::Finished) {
            state.SkipWithError(qPrintable(QStringLiteral("after %1 ms: %2").arg(t.elapsed()).arg(run.error())));
            break;
        }
        waits << t.elapsed();
    }
    reportWaits(state, waits, import.running());
}
BENCHMARK(BM_ImportWhileImporting)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
