// The manual composition window on a bank of 50 000 questions (8 types × 15 chapters ×
// 4 units × 3 difficulties × 5 scores), through the window's own controls: "预览题目" (the
// five filters' query and the first match shown) and "整理试卷" of a paper of 100 picks.

#include "bankstore/bank_file.h"
#include "bench_text.h"
#include "composer/browse_panel.h"
#include "composer/form5.h"
#include "composer/manual_bank_panel.h"
#include "core/workspace.h"
#include "quiet_prompt.h"
#include "widgets/richtextbox.h"
#include "window_main.h"

#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using qm::bench::chineseText;
using qm::bench::gbkRtf;

constexpr int kQuestions = 50000;
constexpr int kPicks = 100;

class Window {
public:
    Window()
    {
        QDir().mkpath(dir.filePath(QStringLiteral("tiku/数学")));
        const QString path = dir.filePath(QStringLiteral("tiku/数学/题库.tik"));
        qm::BankFile::createEmpty(path);
        const auto writer = qm::BankAppender::open(path);
        QRandomGenerator rng(3);
        for (int i = 0; i < kQuestions; ++i) {
            qm::Question q;
            q.text = gbkRtf(chineseText(rng, 100 + int(rng.bounded(100))));
            q.answer = gbkRtf(chineseText(rng, 10 + int(rng.bounded(40))));
            q.type = QStringLiteral("题型%1").arg(int(rng.bounded(8)) + 1);
            q.chapter = QStringLiteral("第%1章").arg(int(rng.bounded(15)) + 1);
            q.unit = QStringLiteral("第%1节").arg(int(rng.bounded(4)) + 1);
            q.difficulty =
                QStringList{QStringLiteral("易"), QStringLiteral("中"), QStringLiteral("难")}[int(rng.bounded(3))];
            q.score = int(rng.bounded(5)) + 1;
            writer->add(q);
        }
        writer->commit();
        workspace.setProgramDir(dir.path());
        workspace.setBankRoot(dir.filePath(QStringLiteral("tiku")));
        form = std::make_unique<qm::Form5>(workspace, prompt);
        form->open({QStringLiteral("数学")});
    }

    // Chooses entry `index` of a filter as a click does.
    static void choose(QComboBox* combo, int index)
    {
        combo->setCurrentIndex(index % combo->count());
        Q_EMIT combo->activated(combo->currentIndex());
    }

    QTemporaryDir dir;
    qm::Workspace workspace;
    qm::bench::QuietPrompt prompt;
    std::unique_ptr<qm::Form5> form;
};

Window& window()
{
    static Window w;
    return w;
}

// "预览题目" with another filter combination each time.
void BM_PreviewQuestion(benchmark::State& state)
{
    qm::Form5& form = *window().form;
    qm::ManualBankPanel& bank = *form.Bank;
    int k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bank.Combo3->setCurrentIndex(k % bank.Combo3->count());
        bank.Combo4->setCurrentIndex(k / 8 % bank.Combo4->count());
        ++k;
        state.ResumeTiming();
        form.Browse->Command1_Click();
        if (form.Browse->count() > 0 && form.Browse->RichTextBox5->document()->isEmpty())
            state.SkipWithError("the first match is not shown");
    }
}
BENCHMARK(BM_PreviewQuestion)->Unit(benchmark::kMillisecond)->MinTime(2);

// "整理试卷" of 100 picks over all eight types.
void BM_RebuildPaper(benchmark::State& state)
{
    qm::Form5& form = *window().form;
    qm::ManualBankPanel& bank = *form.Bank;
    for (int k = 0; form.List1->count() < kPicks && k < 8 * 15; ++k) {
        Window::choose(bank.Combo3, k % 8);
        Window::choose(bank.Combo4, k / 8);
        for (int i = 0; i < 2 && i < form.Browse->count(); ++i) {
            form.Browse->Command5_Click();
            form.Browse->Command3_Click();
        }
    }
    if (form.List1->count() != kPicks)
        state.SkipWithError("not enough picks");
    for (auto _ : state) {
        form.Command15_Click();
        if (form.RichTextBox3->document()->isEmpty())
            state.SkipWithError("no paper");
    }
}
BENCHMARK(BM_RebuildPaper)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace

int main(int argc, char** argv)
{
    return qm::bench::runWindowBenchmarks(argc, argv, [] { window().form.reset(); });
}
