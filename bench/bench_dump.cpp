// Speed of qmtool bank-dump, which prints every question of a bank as text: generated banks
// of 5 000, 20 000 and 200 000 questions, each dumped by the built qmtool with its output
// thrown away.

#include "bankstore/bank_file.h"
#include "bench_text.h"
#include "rtf/rtf_writer.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <sys/resource.h>

namespace {

using qm::bench::chineseText;

// A question as the rich-text box writes it: 宋体 text with a bold term, sometimes a second
// paragraph of choices.
QByteArray questionRtf(QRandomGenerator& rng, int length)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat body;
    body.setFontFamilies({QStringLiteral("宋体")});
    body.setFontPointSize(10.5);
    QTextCharFormat bold = body;
    bold.setFontWeight(QFont::Bold);
    c.insertText(chineseText(rng, length / 2), body);
    c.insertText(chineseText(rng, 4), bold);
    c.insertText(chineseText(rng, length / 2), body);
    if (rng.bounded(3) == 0) {
        c.insertBlock();
        c.insertText(QStringLiteral("A．") + chineseText(rng, 10) + QStringLiteral("　B．") + chineseText(rng, 10),
                     body);
    }
    return qm::RtfWriter::write(doc);
}

// A bank of `count` questions; their documents are drawn from a few hundred made once, so
// that a large bank is quick to make.
class GeneratedBank {
public:
    explicit GeneratedBank(int count)
    {
        QRandomGenerator rng(11);
        QList<QByteArray> texts, answers;
        for (int i = 0; i < 300; ++i) {
            texts << questionRtf(rng, 40 + int(rng.bounded(80)));
            answers << questionRtf(rng, 4 + int(rng.bounded(20)));
        }
        qm::BankFile::createEmpty(path);
        const auto writer = qm::BankAppender::open(path);
        for (int i = 0; i < count; ++i) {
            qm::Question q;
            q.text = texts[i % texts.size()];
            q.answer = answers[(i * 7) % answers.size()];
            q.type = QStringLiteral("单选题");
            q.chapter = QStringLiteral("第%1章").arg(i % 12 + 1);
            q.unit = QStringLiteral("第%1节").arg(i % 5 + 1);
            q.difficulty = QStringLiteral("中等");
            q.score = i % 5 + 1;
            writer->add(q);
        }
        writer->commit();
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("大题库.tik"));
};

const QString& bankOf(int count)
{
    static std::map<int, std::unique_ptr<GeneratedBank>> banks;
    auto& bank = banks[count];
    if (!bank)
        bank = std::make_unique<GeneratedBank>(count);
    return bank->path;
}

// CPU seconds used by the child processes that have ended so far.
double childCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Real time, and the CPU time qmtool used (which a busy machine does not inflate).
void BM_BankDump(benchmark::State& state)
{
    const int count = int(state.range(0));
    const QString path = bankOf(count);
    const double cpuBefore = childCpuSeconds();
    for (auto _ : state) {
        QProcess dump;
        dump.setStandardOutputFile(QProcess::nullDevice());
        dump.start(QStringLiteral(QM_QMTOOL), {QStringLiteral("bank-dump"), path});
        if (!dump.waitForFinished(-1) || dump.exitCode() != 0)
            state.SkipWithError("bank-dump failed");
    }
    state.counters["questions"] = count;
    state.counters["qmtool_cpu_s"] = (childCpuSeconds() - cpuBefore) / double(state.iterations());
}
BENCHMARK(BM_BankDump)->Arg(5000)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
