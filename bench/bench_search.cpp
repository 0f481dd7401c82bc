// Speed of finding questions in a bank of 50 000 questions of about 150 characters (GBK
// RTF as the bank window stores them): a search for a two-character word and for a phrase
// of six, finding every pair of the same or nearly the same questions (with the memory it
// takes), and what keeping the searchable texts costs an import of 10 000 questions.

#include "bankstore/bank_file.h"
#include "bankstore/search_text.h"
#include "bench_text.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kQuestions = 50000;

// The peak memory of the process so far (VmHWM), in MB.
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

// The bank: random common hanzi, one question in a hundred a near copy of an earlier one
// (a character changed), with short answers.
class SearchBank {
public:
    SearchBank()
    {
        QRandomGenerator rng(2024);
        qm::BankFile::createEmpty(path);
        const auto writer = qm::BankAppender::open(path);
        QStringList texts;
        for (int i = 0; i < kQuestions; ++i) {
            QString text;
            if (i % 100 == 99) {
                text = texts[int(rng.bounded(int(texts.size())))];
                text[int(rng.bounded(int(text.size())))] = QChar(u'光');
            } else {
                text = qm::bench::chineseText(rng, 140 + int(rng.bounded(20)));
            }
            texts.append(text);
            qm::Question q;
            q.text = qm::bench::gbkRtf(text);
            q.answer = qm::bench::gbkRtf(qm::bench::chineseText(rng, 10));
            q.type = QStringLiteral("单选题");
            q.chapter = QStringLiteral("第%1章").arg(i % 12 + 1);
            writer->add(q);
            if (i % 5000 == 4999)
                writer->commit();
        }
        writer->commit();
        phrase = texts[kQuestions / 2].mid(40, 6);
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("检索.tik"));
    QString phrase;
};

SearchBank& searchBank()
{
    static SearchBank bank;
    return bank;
}

// A search box's searches: the first reads the bank's texts, the later ones find them in
// memory while the bank is unchanged.
void search(benchmark::State& state, const QString& word)
{
    qm::BankSearcher searcher;
    const QString path = searchBank().path;  // made before the timing starts
    qsizetype found = 0;
    for (auto _ : state) {
        const auto hits = searcher.search(path, {word});
        if (!hits)
            state.SkipWithError("the search failed");
        found = hits ? hits->size() : 0;
    }
    state.counters["found"] = double(found);
}

void BM_SearchTwoCharacters(benchmark::State& state)
{
    search(state, QStringLiteral("中国"));
}
BENCHMARK(BM_SearchTwoCharacters)->Unit(benchmark::kMillisecond);

void BM_SearchSixCharacterPhrase(benchmark::State& state)
{
    search(state, searchBank().phrase);
}
BENCHMARK(BM_SearchSixCharacterPhrase)->Unit(benchmark::kMillisecond);

// A first search, which reads every text of the bank (qmtool search, a new window).
void BM_SearchFirstTwoCharacters(benchmark::State& state)
{
    const qm::BankFile bank(searchBank().path);
    for (auto _ : state)
        if (!bank.search({QStringLiteral("中国")}))
            state.SkipWithError("the search failed");
}
BENCHMARK(BM_SearchFirstTwoCharacters)->Unit(benchmark::kMillisecond);

// What the search box does: the search and the first 500 rows with their line of context.
void BM_SearchBoxTwoCharacters(benchmark::State& state)
{
    qm::BankSearcher searcher;
    for (auto _ : state)
        if (!searcher.find(searchBank().path, QStringLiteral("中国"), 500))
            state.SkipWithError("the search failed");
}
BENCHMARK(BM_SearchBoxTwoCharacters)->Unit(benchmark::kMillisecond);

void BM_FindDuplicates(benchmark::State& state)
{
    const qm::BankFile bank(searchBank().path);
    const double before = peakMegabytes();
    qsizetype pairs = 0;
    for (auto _ : state) {
        const auto found = bank.duplicates(0.9);
        if (!found)
            state.SkipWithError("finding duplicates failed");
        pairs = found ? found->size() : 0;
    }
    state.counters["pairs"] = double(pairs);
    state.counters["peak_MB_before"] = before;
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_FindDuplicates)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// The cost of the searchable texts in an import of 10 000 questions: making the text of
// each stored question and writing it. Compare with BM_ImportNewFormat10000 (bench_import),
// which includes it.
void BM_SearchTextsOf10000(benchmark::State& state)
{
    QRandomGenerator rng(7);
    QList<std::pair<QByteArray, QByteArray>> documents;
    for (int i = 0; i < 10000; ++i)
        documents.append(
            {qm::bench::gbkRtf(qm::bench::chineseText(rng, 150)), qm::bench::gbkRtf(qm::bench::chineseText(rng, 10))});
    for (auto _ : state) {
        qsizetype bytes = 0;
        for (const auto& [question, answer] : documents)
            bytes += qm::searchTextOf(question, answer).size();
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_SearchTextsOf10000)->Unit(benchmark::kMillisecond);

}  // namespace
