// Making a paper from a bank of 50 000 questions: the draw of 100 questions over four
// sections, the header and both documents (paper and answer sheet) assembled, as the
// composition window does when the teacher asks for the paper; then both written as PDF.
// Then a paper of 100 questions each with a formula (a WMF of its own) written as PDF,
// the formulas converted by the converter program: its processor time is counted too.

#include "bankstore/bank_file.h"
#include "bench_formula.h"
#include "bench_text.h"
#include "paper/fragments.h"
#include "paper/header.h"
#include "paper/paper_job.h"
#include "paper/pdf.h"
#include "selection/count_grid.h"
#include "selection/draw.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

using qm::bench::chineseText;
using qm::bench::gbkRtf;

constexpr int kQuestions = 50000;
constexpr int kTypes = 8;

struct Setup {
    Setup()
    {
        qm::BankFile::createEmpty(bankPath);
        const auto writer = qm::BankAppender::open(bankPath);
        QRandomGenerator rng(7);
        for (int i = 0; i < kQuestions; ++i) {
            qm::Question q;
            q.text = gbkRtf(chineseText(rng, 100 + int(rng.bounded(100))));
            q.answer = gbkRtf(chineseText(rng, 10 + int(rng.bounded(40))));
            q.type = QStringLiteral("题型%1").arg(int(rng.bounded(kTypes)) + 1);
            q.chapter = QStringLiteral("第%1章").arg(int(rng.bounded(15)) + 1);
            q.difficulty = QStringLiteral("中等");
            q.score = int(rng.bounded(5)) + 1;
            writer->add(q);
        }
        writer->commit();

        // The template: its scoring tables and grader box.
        qm::BankFile::createEmpty(templatePath);
        qm::BankFile templ(templatePath);
        for (int k = 1; k <= 8; ++k)
            templ.appendScoringTable(qm::paper::scoringTableRtf(k));
        templ.setGraderBox(qm::paper::graderBoxRtf());

        // Four types of the eight, 25 questions each, by type only.
        qm::selection::GridOptions options{true, true, true, true};
        grid = {qm::selection::gridHeader(options)};
        for (int t = 1; t <= 4; ++t)
            grid << QStringList{QStringLiteral("题型%1").arg(t), QString::number(kQuestions / kTypes),
                                QStringLiteral("25"), QStringLiteral("25"), QStringLiteral("1")};

        settings.firstYear = QStringLiteral("2023");
        settings.secondYear = QStringLiteral("2024");
        settings.term = QStringLiteral("1");
        settings.className = QStringLiteral("高一(3)班");
        settings.minutes = QStringLiteral("90");
    }

    // The draw, the header and both documents.
    std::optional<qm::paper::AssembledPaper> makePaper(qm::selection::RandomSource& random) const
    {
        const auto drawn = qm::selection::drawPaper(bankPath, grid, random);
        if (!drawn)
            return std::nullopt;
        qm::paper::PaperJob job;
        job.sections = qm::paper::sectionsOfDraw(bankPath, drawn->rows);
        job.settings = settings;
        job.bankFileName = QStringLiteral("题库.tik");
        job.templatePath = templatePath;
        return qm::paper::makePaper(job);
    }

    QTemporaryDir dir;
    QString bankPath = dir.filePath(QStringLiteral("题库.tik"));
    QString templatePath = dir.filePath(QStringLiteral("qm.qm"));
    qm::selection::Grid grid;
    qm::paper::HeaderSettings settings;
};

Setup& setup()
{
    static Setup s;
    return s;
}

void BM_DrawAndAssemble(benchmark::State& state)
{
    setup();  // the bank is made before the timing starts
    qm::selection::SeededRandom random(1);
    int blocks = 0;
    for (auto _ : state) {
        const auto paper = setup().makePaper(random);
        if (!paper)
            state.SkipWithError("no paper was made");
        else
            blocks = paper->answers->blockCount();
    }
    state.counters["answer_blocks"] = blocks;
}
BENCHMARK(BM_DrawAndAssemble)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_WriteBothPdfs(benchmark::State& state)
{
    qm::selection::SeededRandom random(1);
    const auto paper = setup().makePaper(random);
    if (!paper) {
        state.SkipWithError("no paper was made");
        return;
    }
    const QString paperPdf = setup().dir.filePath(QStringLiteral("试卷.pdf"));
    const QString answersPdf = setup().dir.filePath(QStringLiteral("答案.pdf"));
    for (auto _ : state)
        if (!qm::paper::writePdf(*paper->paper, paperPdf) || !qm::paper::writePdf(*paper->answers, answersPdf))
            state.SkipWithError("a PDF was not written");
    state.counters["paper_kb"] = double(QFileInfo(paperPdf).size()) / 1024;
    state.counters["answers_kb"] = double(QFileInfo(answersPdf).size()) / 1024;
}
BENCHMARK(BM_WriteBothPdfs)->Unit(benchmark::kMillisecond)->MinTime(2);

// Processor time of the converter runs that have ended, in seconds.
double childCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// A bank of 100 questions of one type, each with a formula, drawn whole.
struct FormulaSetup {
    FormulaSetup()
    {
        qm::BankFile::createEmpty(bankPath);
        const auto writer = qm::BankAppender::open(bankPath);
        QRandomGenerator rng(11);
        for (int i = 0; i < 100; ++i) {
            qm::Question q;
            q.text = qm::bench::gbkRtfWithFormula(chineseText(rng, 40), i);
            q.answer = gbkRtf(chineseText(rng, 20));
            q.type = QStringLiteral("计算题");
            q.chapter = QStringLiteral("第1章");
            q.difficulty = QStringLiteral("中等");
            q.score = 1;
            writer->add(q);
        }
        writer->commit();
        qm::selection::GridOptions options{true, true, true, true};
        grid = {qm::selection::gridHeader(options),
                {QStringLiteral("计算题"), QStringLiteral("100"), QStringLiteral("100"), QStringLiteral("100"),
                 QStringLiteral("1")}};
    }
    QTemporaryDir dir;
    QString bankPath = dir.filePath(QStringLiteral("物理.tik"));
    qm::selection::Grid grid;
};

// Both PDFs of the paper with 100 formulas, the paper never shown before (every formula
// converted while printing). Time is the process's, the converter's processor time a
// counter ("converter_cpu_s", per iteration).
void BM_WriteBothPdfsWithFormulas(benchmark::State& state)
{
    static FormulaSetup formulas;
    qm::selection::SeededRandom random(1);
    const auto drawn = qm::selection::drawPaper(formulas.bankPath, formulas.grid, random);
    if (!drawn) {
        state.SkipWithError("no draw");
        return;
    }
    qm::paper::PaperJob job;
    job.sections = qm::paper::sectionsOfDraw(formulas.bankPath, drawn->rows);
    job.settings = setup().settings;
    job.bankFileName = QStringLiteral("物理.tik");
    job.templatePath = setup().templatePath;
    const QString paperPdf = formulas.dir.filePath(QStringLiteral("试卷.pdf"));
    const QString answersPdf = formulas.dir.filePath(QStringLiteral("答案.pdf"));
    double child = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const auto paper = qm::paper::makePaper(job);
        state.ResumeTiming();
        const double before = childCpuSeconds();
        if (!paper || !qm::paper::writePdf(*paper->paper, paperPdf)
            || !qm::paper::writePdf(*paper->answers, answersPdf))
            state.SkipWithError("a PDF was not written");
        child += childCpuSeconds() - before;
    }
    state.counters["converter_cpu_s"] = benchmark::Counter(child, benchmark::Counter::kAvgIterations);
    state.counters["paper_kb"] = double(QFileInfo(paperPdf).size()) / 1024;
}
BENCHMARK(BM_WriteBothPdfsWithFormulas)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->MinTime(3);

}  // namespace
