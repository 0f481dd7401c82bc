// Opening a question with 20 formulas (each a WMF of its own) in a rich-text box the size
// of the bank window's entry pane, until it is painted: the formulas are converted by the
// converter program when the box first draws them. Then the same question opened again
// (the drawings kept), as when the teacher goes back to it.

#include "bench_formula.h"
#include "bench_text.h"
#include "widgets/richtextbox.h"
#include "window_main.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<qm::RichTextBox> box;

// Text with 20 formulas, each after a few words and in a paragraph of its own.
QByteArray questionWith20Formulas(int first)
{
    QRandomGenerator rng(uint(first) + 1);
    QByteArray rtf = qm::bench::gbkRtf(qm::bench::chineseText(rng, 30));
    rtf.chop(1);  // "}"
    for (int i = 0; i < 20; ++i) {
        QByteArray words = qm::bench::gbkRtf(qm::bench::chineseText(rng, 10));
        words = words.mid(words.indexOf("\\fs21 ") + 6);
        words.chop(5);  // "\par}"
        rtf += words + qm::bench::formulaObjectRtf(first + i) + "\\par ";
    }
    return rtf + "}";
}

void paint()
{
    if (!box) {
        box = std::make_unique<qm::RichTextBox>();
        box->resize(760, 320);
        box->show();
    }
    QImage image(box->viewport()->size(), QImage::Format_RGB32);
    box->viewport()->render(&image);
}

void BM_OpenQuestionWith20Formulas(benchmark::State& state)
{
    int first = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QByteArray rtf = questionWith20Formulas(first);
        first = (first + 20) % 600;
        box.reset();  // a box that has converted none of them yet
        paint();
        state.ResumeTiming();
        box->setTextRTF(rtf);
        paint();
    }
}
BENCHMARK(BM_OpenQuestionWith20Formulas)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_ReopenQuestionWith20Formulas(benchmark::State& state)
{
    const QByteArray rtf = questionWith20Formulas(620);
    paint();
    box->setTextRTF(rtf);
    paint();
    for (auto _ : state) {
        box->setTextRTF(rtf);
        paint();
    }
}
BENCHMARK(BM_ReopenQuestionWith20Formulas)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

}  // namespace

int main(int argc, char** argv)
{
    return qm::bench::runWindowBenchmarks(argc, argv, [] { box.reset(); });
}
