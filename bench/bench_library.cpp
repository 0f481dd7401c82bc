// The paper-library window on a library of 500 papers, each a paper of about 40 questions
// with its answer sheet: opening the library (the last paper shown) and paging to a paper
// anywhere in it ("跳到"), both through the window's own controls.

#include "bankstore/paper_library.h"
#include "bench_text.h"
#include "core/workspace.h"
#include "library/form7.h"
#include "library/paper_view.h"
#include "quiet_prompt.h"
#include "rtf/rtf_writer.h"
#include "widgets/filelists.h"
#include "window_main.h"

#include <QDir>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

using qm::bench::chineseText;

constexpr int kPapers = 500;
constexpr int kQuestions = 40;

// A paper as the composition window writes it: a bold heading per section, numbered
// questions of 宋体 text with an underlined blank.
QByteArray paperRtf(QRandomGenerator& rng, bool answers)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat body;
    body.setFontFamilies({QStringLiteral("宋体")});
    body.setFontPointSize(10.5);
    QTextCharFormat heading = body;
    heading.setFontWeight(QFont::Bold);
    QTextCharFormat blank = body;
    blank.setFontUnderline(true);
    for (int q = 1; q <= kQuestions; ++q) {
        if (q % 10 == 1) {
            c.insertText(QStringLiteral("第%1部分 ").arg(q / 10 + 1) + chineseText(rng, 6), heading);
            c.insertBlock();
        }
        c.insertText(QStringLiteral("%1．").arg(q) + chineseText(rng, answers ? 15 : 50 + int(rng.bounded(60))), body);
        if (!answers)
            c.insertText(QString(4, QChar(0x3000)), blank);
        c.insertBlock();
    }
    return qm::RtfWriter::write(doc);
}

class Library {
public:
    Library()
    {
        QDir().mkpath(dir.filePath(QStringLiteral("tiku/数学")));
        const QString path = dir.filePath(QStringLiteral("tiku/数学/期末.Juk"));
        qm::PaperLibrary::createEmpty(path);
        qm::PaperLibrary library(path);
        QRandomGenerator rng(11);
        for (int i = 1; i <= kPapers; ++i)
            library.append({paperRtf(rng, false),
                            paperRtf(rng, true),
                            {QStringLiteral("第%1套").arg(i), QStringLiteral("张老师"), QStringLiteral("数学组"),
                             QStringLiteral("教务处"), QStringLiteral("2024-6-1")},
                            {}});
        workspace.setProgramDir(dir.path());
        form = std::make_unique<qm::Form7>(workspace, prompt);
        form->setSubjects({QStringLiteral("数学")});
        form->open();
    }

    QTemporaryDir dir;
    qm::Workspace workspace;
    qm::bench::QuietPrompt prompt;
    std::unique_ptr<qm::Form7> form;
};

Library& library()
{
    static Library l;
    return l;
}

// A click on the library: it is opened and its last paper shown.
void BM_OpenLibrary(benchmark::State& state)
{
    qm::Form7& form = *library().form;
    for (auto _ : state) {
        form.File1->clickItem(0);
        if (form.cursor.position() != kPapers)
            state.SkipWithError("the last paper is not shown");
    }
}
BENCHMARK(BM_OpenLibrary)->Unit(benchmark::kMillisecond)->MinTime(2);

// "跳到" a paper anywhere in the library.
void BM_JumpToPaper(benchmark::State& state)
{
    qm::Form7& form = *library().form;
    form.File1->clickItem(0);
    QRandomGenerator rng(5);
    for (auto _ : state) {
        const int target = 1 + int(rng.bounded(kPapers));
        form.Paper->Text4->setText(QString::number(target));
        form.Paper->Command19_Click();
        if (form.cursor.position() != target)
            state.SkipWithError("the paper is not shown");
    }
}
BENCHMARK(BM_JumpToPaper)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace

int main(int argc, char** argv)
{
    return qm::bench::runWindowBenchmarks(argc, argv, [] { library().form.reset(); });
}
