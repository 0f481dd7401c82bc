// Reading and writing a 5 MB RTF paper: hundreds of questions of Chinese text with mixed
// formatting, some tables and pictures, as the paper assembly writes them. And the cost of
// pictures Qt cannot draw that claim to be huge: the memory their placeholders take.

#include "bench_text.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"
#include "rtf/rtf_writer.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>
#include <benchmark/benchmark.h>

#include <set>

#include <sys/resource.h>

namespace {

using qm::bench::chineseText;

QByteArray picture()
{
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    for (int i = 0; i < 40; ++i)
        p.drawLine(i * 4, 0, 160 - i * 4, 120);
    p.end();
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    image.save(&buf, "PNG");
    return png;
}

// Builds the paper until its RTF reaches `bytes`.
void buildPaper(QTextDocument& doc, qsizetype bytes)
{
    QRandomGenerator rng(20240601);
    QTextCursor c(&doc);
    QTextCharFormat body;
    body.setFontFamilies({QStringLiteral("宋体")});
    body.setFontPointSize(10.5);
    QTextCharFormat heading = body;
    heading.setFontFamilies({QStringLiteral("黑体")});
    heading.setFontWeight(QFont::Bold);
    QTextCharFormat underline = body;
    underline.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    QTextCharFormat sub = body;
    sub.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    const QByteArray png = picture();
    const QString numerals = QStringLiteral("一二三四五六七八九");
    int question = 0;
    for (int section = 0; qm::RtfWriter::write(doc).size() < bytes; ++section) {
        c.insertText(numerals[section % 9] + QStringLiteral("、选择题（每题3分）"), heading);
        for (int q = 0; q < 100; ++q, ++question) {
            c.insertBlock(QTextBlockFormat(), body);
            c.insertText(QString::number(question + 1) + QStringLiteral("．") + chineseText(rng, 60), body);
            c.insertText(QStringLiteral("H"), body);
            c.insertText(QStringLiteral("2"), sub);
            c.insertText(QStringLiteral("O") + chineseText(rng, 40) + QStringLiteral("（　　）"), body);
            c.insertText(QStringLiteral("　　　　"), underline);
            for (const char* choice : {"A", "B", "C", "D"}) {
                c.insertBlock(QTextBlockFormat(), body);
                c.insertText(QStringLiteral("%1．").arg(QLatin1String(choice)) + chineseText(rng, 25), body);
            }
            if (question % 60 == 59)
                qm::addPicture(c, png, "pngblip", 160, 120);
            if (question % 40 == 39) {
                QTextTableFormat tf;
                tf.setBorder(1);
                QTextTable* t = c.insertTable(4, 5, tf);
                for (int r = 0; r < 4; ++r)
                    for (int col = 0; col < 5; ++col)
                        t->cellAt(r, col).firstCursorPosition().insertText(chineseText(rng, 6), body);
                c.movePosition(QTextCursor::End);
            }
        }
        c.insertBlock(QTextBlockFormat(), body);
    }
}

const QTextDocument& paper()
{
    static QTextDocument* doc = [] {
        auto* d = new QTextDocument;
        buildPaper(*d, 5 * 1024 * 1024);
        return d;
    }();
    return *doc;
}

void BM_ReadPaper(benchmark::State& state)
{
    const QByteArray rtf = qm::RtfWriter::write(paper());
    for (auto _ : state) {
        QTextDocument doc;
        qm::RtfReader::read(rtf, &doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
    state.counters["rtf_bytes"] = double(rtf.size());
}
BENCHMARK(BM_ReadPaper)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_WritePaper(benchmark::State& state)
{
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray rtf = qm::RtfWriter::write(paper());
        size = rtf.size();
        benchmark::DoNotOptimize(rtf.data());
    }
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_WritePaper)->Unit(benchmark::kMillisecond)->MinTime(3);

// An 11 KB document of 200 metafiles, each claiming 75000 twips (four feet) square.
QByteArray hugePictures()
{
    QByteArray rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < 200; ++i)
        rtf +=
            "{\\pict\\wmetafile8\\picwgoal75000\\pichgoal75000 0100090000" + QByteArray::number(0x1000 + i, 16) + "}";
    return rtf + "}";
}

// Counters: the bytes of the distinct placeholder images the document holds, and the
// peak resident memory of the process so far (run this benchmark alone to read it).
void BM_ReadUndrawablePictures(benchmark::State& state)
{
    const QByteArray rtf = hugePictures();
    qsizetype imageBytes = 0;
    for (auto _ : state) {
        QTextDocument doc;
        qm::RtfReader::read(rtf, &doc);
        std::set<qint64> seen;
        imageBytes = 0;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat f = it.fragment().charFormat();
                if (!f.isImageFormat())
                    continue;
                const QImage img =
                    doc.resource(QTextDocument::ImageResource, QUrl(f.toImageFormat().name())).value<QImage>();
                if (seen.insert(img.cacheKey()).second)
                    imageBytes += img.sizeInBytes();
            }
        benchmark::DoNotOptimize(doc.characterCount());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["rtf_bytes"] = double(rtf.size());
    state.counters["placeholder_bytes"] = double(imageBytes);
    state.counters["peak_rss_mb"] = double(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_ReadUndrawablePictures)->Unit(benchmark::kMillisecond);

}  // namespace
