// The whole-bank document of "WORD浏览所有题目" for a bank of 2 000 questions: every question
// and answer read from the bank and appended under its headings, then written as the RTF
// file the word processor opens.

#include "bankstore/bank_file.h"
#include "bench_text.h"
#include "editor/bank_document.h"
#include "rtf/rtf_writer.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

using qm::bench::chineseText;

constexpr int kQuestions = 2000;

// A question as the rich-text box writes it: 宋体 text with a bold term and an underlined
// blank, sometimes a second paragraph.
QByteArray questionRtf(QRandomGenerator& rng, int length)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat body;
    body.setFontFamilies({QStringLiteral("宋体")});
    body.setFontPointSize(10.5);
    QTextCharFormat bold = body;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat blank = body;
    blank.setFontUnderline(true);
    c.insertText(chineseText(rng, length / 2), body);
    c.insertText(chineseText(rng, 4), bold);
    c.insertText(chineseText(rng, length / 2), body);
    c.insertText(QString(4, QChar(0x3000)), blank);
    if (rng.bounded(3) == 0) {
        c.insertBlock();
        c.insertText(QStringLiteral("A．") + chineseText(rng, 10) + QStringLiteral("　B．") + chineseText(rng, 10),
                     body);
    }
    return qm::RtfWriter::write(doc);
}

class Bank {
public:
    Bank()
    {
        qm::BankFile::createEmpty(path);
        const auto writer = qm::BankAppender::open(path);
        QRandomGenerator rng(7);
        for (int i = 0; i < kQuestions; ++i) {
            qm::Question q;
            q.text = questionRtf(rng, 60 + int(rng.bounded(120)));
            q.answer = questionRtf(rng, 10 + int(rng.bounded(40)));
            q.type = QStringLiteral("填空题");
            q.chapter = QStringLiteral("第%1章").arg(i % 12 + 1);
            q.unit = QStringLiteral("第一单元");
            q.difficulty = QStringLiteral("中等");
            q.score = 2;
            writer->add(q);
        }
        writer->commit();
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("题库.tik"));
};

Bank& bank()
{
    static Bank b;
    return b;
}

// Reading and appending only.
void BM_BuildDocument(benchmark::State& state)
{
    const QString path = bank().path;
    for (auto _ : state) {
        QTextDocument doc;
        const auto n = qm::appendBankToDocument(path, &doc, [](int, int) { return true; });
        if (n != kQuestions)
            state.SkipWithError("not every question was appended");
    }
}
BENCHMARK(BM_BuildDocument)->Unit(benchmark::kMillisecond)->MinTime(3);

// The whole step: the document built and written as the RTF the word processor opens.
void BM_BuildAndWriteDocument(benchmark::State& state)
{
    const QString path = bank().path;
    qsizetype bytes = 0;
    for (auto _ : state) {
        QTextDocument doc;
        qm::appendBankToDocument(path, &doc, [](int, int) { return true; });
        bytes = qm::RtfWriter::write(doc).size();
    }
    state.counters["rtf_bytes"] = double(bytes);
}
BENCHMARK(BM_BuildAndWriteDocument)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace
