// Speed of the record operations on a large bank: reading the question at a position,
// adding one and deleting one, each opening and closing the file as the editor does.

#include "bankstore/bank_file.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kQuestions = 50000;

qm::Question sampleQuestion(int i)
{
    qm::Question q;
    // About the size of a short question and answer written by the rich-text box.
    q.text = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fcharset134 SimSun;}}\\f0\\fs24 " + QByteArray(1800, 'q')
             + QByteArray::number(i) + "\\par}";
    q.answer = "{\\rtf1\\ansi\\ansicpg936 " + QByteArray(400, 'a') + "\\par}";
    q.type = i % 4 ? QStringLiteral("单选题") : QStringLiteral("填空题");
    q.chapter = QStringLiteral("第%1章").arg(i % 12 + 1);
    q.unit = QStringLiteral("第%1节").arg(i % 5 + 1);
    q.difficulty = i % 3 ? QStringLiteral("中等") : QStringLiteral("容易");
    q.score = i % 5 + 1;
    return q;
}

// A bank of kQuestions questions, filled in one transaction.
class LargeBank {
public:
    LargeBank()
    {
        qm::BankFile::createEmpty(path);
        const auto writer = qm::BankAppender::open(path);
        for (int i = 0; i < kQuestions; ++i)
            writer->add(sampleQuestion(i));
        writer->commit();
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("大题库.tik"));
    qm::BankFile bank{path};
};

LargeBank& largeBank()
{
    static LargeBank bank;
    return bank;
}

void BM_ReadAtPosition(benchmark::State& state)
{
    qm::BankFile& bank = largeBank().bank;
    const int fixed = int(state.range(0));
    for (auto _ : state) {
        const int position = fixed == -2 ? int(QRandomGenerator::global()->bounded(kQuestions)) : fixed;
        auto at = bank.read(position);
        if (!at || at->question.text.isEmpty())
            state.SkipWithError("read failed");
    }
}
// -2 = a random position each time; -1 = the last question.
BENCHMARK(BM_ReadAtPosition)
    ->Arg(0)
    ->Arg(kQuestions / 2)
    ->Arg(kQuestions - 1)
    ->Arg(-1)
    ->Arg(-2)
    ->Unit(benchmark::kMillisecond);

void BM_AddOne(benchmark::State& state)
{
    qm::BankFile& bank = largeBank().bank;
    int i = 0;
    for (auto _ : state) {
        if (!bank.add(sampleQuestion(i++)))
            state.SkipWithError("add failed");
    }
    // Leave the bank at its size for the next benchmark (after the timed loop).
    while (i-- > 0)
        bank.remove(kQuestions);
}
BENCHMARK(BM_AddOne)->Unit(benchmark::kMillisecond);

void BM_DeleteOne(benchmark::State& state)
{
    qm::BankFile& bank = largeBank().bank;
    int i = 0;
    for (auto _ : state) {
        const int position = int(QRandomGenerator::global()->bounded(kQuestions - 1));
        if (!bank.remove(position))
            state.SkipWithError("delete failed");
        state.PauseTiming();
        bank.add(sampleQuestion(i++));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteOne)->Unit(benchmark::kMillisecond);

}  // namespace
