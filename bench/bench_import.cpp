// Speed of the batch import: a new-format file of 10 000 questions whose names are all
// declared, decoded, parsed and stored in an empty bank (committing as it goes), and an
// old-format file whose every record asks for names.

#include "bankstore/bank_file.h"
#include "core/gbk.h"
#include "import/batch_parser.h"
#include "import/import_run.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kQuestions = 10000;

// The file's bytes: name entries for every code used, then the questions.
QByteArray batchFile()
{
    QString text = QStringLiteral("新题库\r\n");
    for (int i = 1; i <= 20; ++i)
        text += QStringLiteral("&CP%1第%2章 细胞的结构与功能&\r\n").arg(i, 2, 10, QLatin1Char('0')).arg(i);
    for (int i = 1; i <= 10; ++i)
        text += QStringLiteral("&DY%1第%2节&\r\n").arg(i, 2, 10, QLatin1Char('0')).arg(i);
    const char16_t* types[] = {u"单选题", u"多选题", u"填空题", u"判断题", u"问答题"};
    for (int i = 0; i < 5; ++i)
        text += QStringLiteral("&SZ%1%2&\r\n").arg(i + 1).arg(QString::fromUtf16(types[i]));
    for (int i = 1; i <= 3; ++i)
        text += QStringLiteral("&LV%1难度%2&\r\n").arg(i).arg(i);
    for (int i = 1; i <= 10; ++i)
        text += QStringLiteral("&PT%1 %2 &\r\n").arg(i, 2, 10, QLatin1Char('0')).arg(i);
    text += QStringLiteral(".......\r\n");
    for (int i = 0; i < kQuestions; ++i)
        text += QStringLiteral(
                    "$CP%1DY%2SZ%3LV%4PT%5 第%6题：下列关于细胞膜结构和功能的叙述，正确的是（　　）\r\n"
                    "A．细胞膜主要由脂质和蛋白质组成　B．细胞膜上的蛋白质都能运动\r\n"
                    "C．细胞膜的功能特性是具有一定的流动性　D．以上都不对 {A，细胞膜主要由脂质和蛋白质组成。}$\r\n")
                    .arg(i % 20 + 1, 2, 10, QLatin1Char('0'))
                    .arg(i % 10 + 1, 2, 10, QLatin1Char('0'))
                    .arg(i % 5 + 1)
                    .arg(i % 3 + 1)
                    .arg(i % 10 + 1, 2, 10, QLatin1Char('0'))
                    .arg(i + 1);
    return *qm::gbkEncode(text);
}

void BM_ImportNewFormat10000(benchmark::State& state)
{
    const QByteArray bytes = batchFile();
    QTemporaryDir dir;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = dir.filePath(QStringLiteral("导入%1.tik").arg(++round));
        qm::BankFile::createEmpty(path);
        state.ResumeTiming();

        const qm::import::BatchFile file = qm::import::batchFileFromBytes(bytes);
        qm::import::BatchImport batch(file.text, *file.format);
        qm::import::ImportRun run(path, batch);
        const auto outcome = run.run([&](const qm::import::NameRequest&) {
            state.SkipWithError("a declared name was asked for");
            return std::optional<QString>();
        });
        if (outcome != qm::import::ImportOutcome::Finished || run.stored() != kQuestions)
            state.SkipWithError("the import did not store every question");
    }
    state.counters["questions"] = kQuestions;
}
BENCHMARK(BM_ImportNewFormat10000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// An old-format file of 1 000 questions imported without names, as qmtool does it: every
// record asks for its names, and the bank is committed before each question to the user.
void BM_ImportAskingEveryRecord1000(benchmark::State& state)
{
    QString text = QStringLiteral("题库\r\n");
    for (int i = 0; i < 1000; ++i)
        text += QStringLiteral("$CP%1SZ%2LV%3 第%4题：细胞膜的主要成分是什么？$\r\n")
                    .arg(i % 20 + 1, 2, 10, QLatin1Char('0'))
                    .arg(i % 5 + 1)
                    .arg(i % 3 + 1)
                    .arg(i + 1);
    QTemporaryDir dir;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = dir.filePath(QStringLiteral("旧格式%1.tik").arg(++round));
        qm::BankFile::createEmpty(path);
        state.ResumeTiming();

        qm::import::BatchImport batch(text, qm::import::BatchFormat::Old);
        qm::import::ImportRun run(path, batch);
        const auto outcome = run.run([](const qm::import::NameRequest&) { return std::optional<QString>(QString()); });
        if (outcome != qm::import::ImportOutcome::Finished || run.stored() != 1000)
            state.SkipWithError("the import did not store every question");
    }
}
BENCHMARK(BM_ImportAskingEveryRecord1000)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// The parse alone, without the bank.
void BM_ParseNewFormat10000(benchmark::State& state)
{
    const QByteArray bytes = batchFile();
    for (auto _ : state) {
        const qm::import::BatchFile file = qm::import::batchFileFromBytes(bytes);
        qm::import::BatchImport batch(file.text, *file.format);
        int n = 0;
        while (batch.next({}))
            ++n;
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_ParseNewFormat10000)->Unit(benchmark::kMillisecond);

}  // namespace
