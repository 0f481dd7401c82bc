// Metafile pictures (WMF, EMF): the walk that refuses damaged files, the converter run
// with its limits, and documents that draw formulas as vectors and write back the
// objects they came in. The real files are in tests/fixtures/metafiles (see its README).

#include "rtf/metafile.h"
#include "rtf/metafile_scan.h"
#include "rtf/picture_drawing.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"
#include "rtf/rtf_writer.h"
#include "support/qstring_print.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <gtest/gtest.h>

using namespace qm;
using metafile::Format;

namespace {

QByteArray fixture(const char* name)
{
    QFile f(QStringLiteral(QM_RTF_FIXTURES "/../metafiles/") + QLatin1String(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

metafile::Scan scanOf(Format format, const QByteArray& b, const metafile::Limits& limits = {})
{
    return metafile::scan(format, reinterpret_cast<const uint8_t*>(b.constData()), size_t(b.size()), limits);
}

void le16(QByteArray& out, int v)
{
    out.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF));
}
void le32(QByteArray& out, qint64 v)
{
    le16(out, int(v & 0xFFFF));
    le16(out, int(v >> 16 & 0xFFFF));
}

// A WMF record: its size in words, the function, the parameters (16-bit values).
QByteArray wmfRecord(int function, const QList<int>& params = {}, int sizeWords = -1)
{
    QByteArray r;
    le32(r, sizeWords >= 0 ? sizeWords : 3 + params.size());
    le16(r, function);
    for (const int p : params)
        le16(r, p);
    return r;
}

// A WMF as RTF stores it (no placeable header), ending with the end record.
QByteArray wmfFile(const QList<QByteArray>& records, bool endRecord = true)
{
    QByteArray body;
    for (const QByteArray& r : records)
        body += r;
    if (endRecord)
        body += wmfRecord(0);
    QByteArray out;
    le16(out, 1);
    le16(out, 9);
    le16(out, 0x300);
    le32(out, (18 + body.size()) / 2);
    le16(out, 1);
    le32(out, 64);
    le16(out, 0);
    return out + body;
}

// A small drawing: window 0,0 - 2000 x 1000, scaled mapping, a rectangle.
QList<QByteArray> boxRecords()
{
    return {wmfRecord(0x103, {8}), wmfRecord(0x20B, {0, 0}), wmfRecord(0x20C, {1000, 2000}),
            wmfRecord(0x41B, {900, 1900, 100, 100})};
}

// An EMF header record with the given frame (hundredths of a millimetre) and an end record.
QByteArray emfFile(qint64 frameRight, qint64 frameBottom, const QList<QByteArray>& records = {})
{
    QByteArray body;
    for (const QByteArray& r : records)
        body += r;
    QByteArray eof;
    for (const qint64 v : {14, 20, 0, 16, 20})
        le32(eof, v);
    QByteArray h;
    le32(h, 1);
    le32(h, 108);
    for (const qint64 v : {0, 0, 100, 100})  // bounds
        le32(h, v);
    for (const qint64 v : {qint64(0), qint64(0), frameRight, frameBottom})  // frame
        le32(h, v);
    le32(h, 0x464D4520);
    le32(h, 0x10000);
    le32(h, 108 + body.size() + eof.size());
    le32(h, 2 + records.size());
    le16(h, 1);
    le16(h, 0);
    for (const qint64 v : {0, 0, 0, 1024, 768, 320, 240, 0, 0, 0})
        le32(h, v);
    h.resize(108, '\0');
    return h + body + eof;
}

QList<QTextImageFormat> pictures(const QTextDocument& doc)
{
    QList<QTextImageFormat> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                out << it.fragment().charFormat().toImageFormat();
    return out;
}

QByteArray hexLines(const QByteArray& bytes)
{
    QByteArray hex = bytes.toHex();
    for (qsizetype i = 128; i < hex.size(); i += 130)
        hex.insert(i, "\r\n");
    return hex;
}

// A question as a word processor writes it: a formula object whose shown result is the
// WMF, and a drawing as an EMF picture.
QByteArray wordQuestion(const QByteArray& objectHead, const QByteArray& wmf, const QByteArray& emf)
{
    return "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\\f0 "
           "\\'b7\\'bd\\'b3\\'cc\\'b5\\'c4\\'b8\\'f9 {\\object"
           + objectHead + "{\\result {\\pict\\wmetafile8\\picw3534\\pich1142\\picwgoal2004\\pichgoal647\r\n"
           + hexLines(wmf) + "}}}\\par {\\pict\\emfblip\\picw19000\\pich27700\\picwgoal2835\\pichgoal4134\r\n"
           + hexLines(emf) + "}\\par}";
}

const QByteArray kObjectHead = "\\objemb{\\*\\objclass Equation.3}\\objw2004\\objh647{\\*\\objdata "
                               "01050000020000000b0000004571756174696f6e2e3300000000000000000000000000}";

// Renders an SVG drawing into 200 x 100 pixels: the rectangle its ink covers.
QRect inkOf(const QByteArray& svg)
{
    QSvgRenderer r(finishMetafileSvg(svg));
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    r.render(&p, QRectF(0, 0, 200, 100));
    p.end();
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

}  // namespace

TEST(Metafile, TheWalkFindsTheFrameAndSizeOfRealFiles)
{
    // LibreOffice's formula as RTF stores it: no placeable header, window 3534 x 1142 in
    // the default mapping (device units = logical units).
    const metafile::Scan formula = scanOf(Format::Wmf, fixture("formula_libreoffice.wmf"));
    ASSERT_TRUE(formula.ok) << formula.problem;
    EXPECT_TRUE(formula.hasFrame);
    EXPECT_DOUBLE_EQ(formula.frame.width(), 3534);
    EXPECT_DOUBLE_EQ(formula.frame.height(), 1142);
    EXPECT_EQ(formula.widthHimetric, 0);  // its size comes from \picw and \pich

    // A placeable WMF: the header's box in inches (2540 units each) gives the size.
    const metafile::Scan drawing = scanOf(Format::Wmf, fixture("circuit_libreoffice_placeable.wmf"));
    ASSERT_TRUE(drawing.ok) << drawing.problem;
    EXPECT_NEAR(drawing.widthHimetric, 19000, 1);
    EXPECT_NEAR(drawing.heightHimetric, 27700, 1);
    EXPECT_NEAR(drawing.frame.width(), 19000 * 72.0 / 2540, 0.01);

    const metafile::Scan emf = scanOf(Format::Emf, fixture("circuit_libreoffice.emf"));
    ASSERT_TRUE(emf.ok) << emf.problem;
    EXPECT_NEAR(emf.widthHimetric, 19000, 1);

    // The scaled mapping maps the window onto the converter's 1024-unit viewport.
    const metafile::Scan box = scanOf(Format::Wmf, wmfFile(boxRecords()));
    ASSERT_TRUE(box.ok) << box.problem;
    EXPECT_DOUBLE_EQ(box.frame.right, 1024);
    EXPECT_DOUBLE_EQ(box.frame.bottom, 1024);
    // Twips: 1440 to the inch.
    const metafile::Scan twips = scanOf(Format::Wmf, wmfFile({wmfRecord(0x103, {6}), wmfRecord(0x20C, {720, 1440})}));
    ASSERT_TRUE(twips.ok);
    EXPECT_NEAR(twips.widthHimetric, 2540, 0.01);
    EXPECT_NEAR(twips.heightHimetric, 1270, 0.01);
}

TEST(Metafile, TheWalkRefusesDamagedAndHostileFiles)
{
    const QByteArray good = wmfFile(boxRecords());
    struct Case {
        const char* what;
        Format format;
        QByteArray bytes;
        metafile::Limits limits;
    };
    metafile::Limits fewRecords;
    fewRecords.maxRecords = 4;
    metafile::Limits small;
    small.maxBytes = 64;
    QByteArray placeableWithoutSize;
    le32(placeableWithoutSize, 0x9AC6CDD7);
    placeableWithoutSize.append(QByteArray(18, '\0'));
    QByteArray placeableHuge;
    le32(placeableHuge, 0x9AC6CDD7);
    for (const int v : {0, 0, 0, 30000, 100, 1, 0, 0, 0})  // box 30000 x 100 at 1 unit an inch
        le16(placeableHuge, v);
    const QList<Case> cases = {
        {"empty", Format::Wmf, QByteArray(), {}},
        {"cut in a record", Format::Wmf, good.left(good.size() - 10), {}},
        {"no end record", Format::Wmf, wmfFile(boxRecords(), false), {}},
        // A record of no size would be read again and again by a careless reader.
        {"record of size 0", Format::Wmf, wmfFile({wmfRecord(0x20B, {0, 0}, 0)}), {}},
        {"record larger than the file", Format::Wmf, wmfFile({wmfRecord(0x20B, {0, 0}, 0x7FFFFFFF)}), {}},
        {"more records than allowed", Format::Wmf, good, fewRecords},
        {"larger than allowed", Format::Wmf, good, small},
        {"scaled mapping without a window", Format::Wmf, wmfFile({wmfRecord(0x103, {8})}), {}},
        {"unknown mapping mode", Format::Wmf, wmfFile({wmfRecord(0x103, {99})}), {}},
        {"placeable header without a size", Format::Wmf, placeableWithoutSize + good, {}},
        {"a placeable box 760 m wide", Format::Wmf, placeableHuge + good, {}},
        {"EMF of 2 km", Format::Emf, emfFile(200000000, 1000), {}},
        {"EMF without a frame", Format::Emf, emfFile(0, 0), {}},
        {"EMF cut short", Format::Emf, emfFile(1000, 1000).left(120), {}},
        {"EMF record of size 0", Format::Emf, emfFile(1000, 1000, {QByteArray::fromHex("0200000000000000")}), {}},
        {"not a metafile", Format::Emf, QByteArray(200, 'x'), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(scanOf(c.format, c.bytes, c.limits).ok);
    }
    EXPECT_TRUE(scanOf(Format::Wmf, good).ok);
    EXPECT_TRUE(scanOf(Format::Emf, emfFile(1000, 1000)).ok);
}

TEST(Metafile, TheConverterDrawsRealFilesWithTheirText)
{
    ASSERT_FALSE(metafileConverterPath().isEmpty());
    const QList<MetafileSvg> svgs = convertMetafiles({{Format::Wmf, fixture("formula_libreoffice.wmf")},
                                                      {Format::Emf, fixture("circuit_libreoffice.emf")},
                                                      {Format::Wmf, fixture("circuit_libreoffice_placeable.wmf")},
                                                      {Format::Wmf, wmfFile(boxRecords())}});
    ASSERT_EQ(svgs.size(), 4);
    for (const MetafileSvg& s : svgs)
        ASSERT_EQ(s.status, MetafileSvg::Done);
    // The WMF's text is decoded from its font's character set: GBK Chinese (charset 134)
    // and Greek (161) in the placeable drawing, the formula's letters in the plain one.
    const QString formula = QString::fromUtf8(finishMetafileSvg(svgs[0].svg));
    // (Text with spacing comes a character at a time.)
    for (const char* letter : {">x<", ">b<", ">2<", ">a<", ">c<"})
        EXPECT_TRUE(formula.contains(QLatin1String(letter))) << letter;
    EXPECT_TRUE(formula.contains(QLatin1String("font-family=\"DejaVu Serif\"")));
    const QString drawing = QString::fromUtf8(finishMetafileSvg(svgs[2].svg));
    for (const char* c : {">电<", ">阻<", ">Ω<", ">α<"})
        EXPECT_TRUE(drawing.contains(QString::fromUtf8(c))) << c;
    EXPECT_TRUE(QString::fromUtf8(svgs[1].svg).contains(QStringLiteral("电阻")));
    // The rectangle's outline lies a twentieth of the window inside it: the window, not
    // what is drawn, is the picture.
    const QRect box = inkOf(svgs[3].svg);
    EXPECT_NEAR(box.left(), 10, 1);
    EXPECT_NEAR(box.right(), 190, 1);
    EXPECT_NEAR(box.top(), 10, 1);
    EXPECT_NEAR(box.bottom(), 90, 1);
    EXPECT_FALSE(inkOf(svgs[0].svg).isEmpty());
}

TEST(Metafile, WmfTextKeepsItsAlignmentAcrossSavedContexts)
{
    // Formula editors set the baseline alignment, then save the context around each piece;
    // the text's baseline must stay where the record puts it (y = 500 of 1000: the
    // middle), not drop by a line.
    QByteArray font;
    for (const int v : {-200, 0, 0, 0, 400, 0, 0, 0, 0})
        le16(font, v);
    font += QByteArray("Times New Roman") + '\0';
    QByteArray fontParams = font;
    if (fontParams.size() % 2)
        fontParams.append('\0');
    QByteArray fontRecord;
    le32(fontRecord, 3 + fontParams.size() / 2);
    le16(fontRecord, 0x2FB);
    fontRecord += fontParams;
    const QByteArray wmf = wmfFile({wmfRecord(0x103, {8}), wmfRecord(0x20B, {0, 0}), wmfRecord(0x20C, {1000, 2000}),
                                    wmfRecord(0x12E, {24}), wmfRecord(0x1E), fontRecord, wmfRecord(0x12D, {0}),
                                    wmfRecord(0x521, {1, 'x', 500, 100})});
    const QList<MetafileSvg> svgs = convertMetafiles({{Format::Wmf, wmf}});
    ASSERT_EQ(svgs[0].status, MetafileSvg::Done);
    const QString svg = QString::fromUtf8(finishMetafileSvg(svgs[0].svg));
    // The SVG has the window's proportions, 2000 x 1000 units: the baseline at y = 500.
    EXPECT_TRUE(svg.contains(QLatin1String(" 100.0000 500.0000)"))) << svg.toStdString();
    EXPECT_TRUE(svg.contains(QLatin1String("font-family=\"Times New Roman\"")));
    EXPECT_TRUE(svg.contains(QLatin1String("font-size=\"200.0000\"")));
}

TEST(Metafile, ConversionEndsInBoundedTimeWhateverTheConverterDoes)
{
    // Pictures the converter cannot draw in its limits: a bitmap record claiming
    // 60000 x 60000 pixels (libwmf would allocate gigabytes), and an EMF whose bitmap
    // header claims the same. They end without a drawing, and the good picture after
    // them is still drawn.
    QList<int> dib = {0x20, 0xCC, 0,     30000, 30000, 0, 0, 100, 100, 0, 0,  // rop, usage, sizes, places
                      40,   0,    30000, 0,     30000, 0, 1, 24,  0,   0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const QByteArray hugeBitmap = wmfFile({wmfRecord(0x103, {8}), wmfRecord(0x20C, {100, 100}), wmfRecord(0xF43, dib)});
    QByteArray stretch;
    le32(stretch, 81);  // EMR_STRETCHDIBITS
    le32(stretch, 80 + 40);
    for (int i = 0; i < 4; ++i)
        le32(stretch, 0);
    for (const qint64 v : {0, 0, 0, 0, 60000, 60000, 80, 40, 120, 0, 0, 0xCC0020, 60000, 60000})
        le32(stretch, v);
    for (const qint64 v : {40, 60000, 60000})
        le32(stretch, v);
    le16(stretch, 1);
    le16(stretch, 32);
    for (int i = 0; i < 6; ++i)
        le32(stretch, 0);
    const QByteArray hostileEmf = emfFile(1000, 1000, {stretch});
    const QList<MetafileSvg> svgs = convertMetafiles({{Format::Wmf, hugeBitmap},
                                                      {Format::Emf, hostileEmf},
                                                      {Format::Wmf, QByteArray("damaged")},
                                                      {Format::Wmf, wmfFile(boxRecords())}});
    ASSERT_EQ(svgs.size(), 4);
    EXPECT_EQ(svgs[2].status, MetafileSvg::Refused);
    EXPECT_EQ(svgs[3].status, MetafileSvg::Done);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        // Drawn without the impossible bitmap, or not at all.
        if (svgs[i].status == MetafileSvg::Done) {
            EXPECT_LT(svgs[i].svg.size(), 1 << 20);
        }
    }

    // A converter that hangs is stopped, one that dies loses its picture only: stand-ins.
    QTemporaryDir dir;
    const QString hang = dir.filePath("hang.sh");
    const QString die = dir.filePath("die.sh");
    for (const auto& [path, body] : {std::pair{hang, QByteArray("#!/bin/sh\nexec sleep 30\n")},
                                     std::pair{die, QByteArray("#!/bin/sh\nkill -SEGV $$\n")}}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(body);
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QList<MetafileFile> three(3, {Format::Wmf, wmfFile(boxRecords())});
    const QList<MetafileSvg> hung = convertMetafiles(three, hang);
    EXPECT_EQ(hung[0].status, MetafileSvg::TimedOut);
    EXPECT_EQ(hung[1].status, MetafileSvg::TimedOut);
    EXPECT_EQ(hung[2].status, MetafileSvg::Failed);  // a batch stops after its second stopped run
    const QList<MetafileSvg> died = convertMetafiles(three, die);
    for (const MetafileSvg& s : died)
        EXPECT_EQ(s.status, MetafileSvg::Crashed);
    EXPECT_EQ(convertMetafiles(three, dir.filePath("missing"))[0].status, MetafileSvg::NoConverter);
}

TEST(Metafile, AFormulaFromAWordProcessorIsDrawnAsVectorsAndWrittenBackAsItsObject)
{
    const QByteArray wmf = fixture("formula_libreoffice.wmf");
    const QByteArray emf = fixture("circuit_libreoffice.emf");
    QTextDocument doc;
    RtfReader::read(wordQuestion(kObjectHead, wmf, emf), &doc);
    EXPECT_EQ(documentText(doc), "方程的根 \n");
    const QList<QTextImageFormat> pics = pictures(doc);
    ASSERT_EQ(pics.size(), 2);
    EXPECT_EQ(pics[0].property(PictureBytes).toByteArray(), wmf);
    EXPECT_EQ(pics[0].property(PictureObject).toByteArray(), kObjectHead);
    EXPECT_FALSE(pics[1].hasProperty(PictureObject));
    EXPECT_DOUBLE_EQ(pics[0].width(), 2004 / 15.0);
    EXPECT_EQ(pictureLook(&doc, pics[0]), PictureLook::Vector);
    EXPECT_EQ(pictureLook(&doc, pics[1]), PictureLook::Vector);

    // Written back: the object around its picture, the bytes as they came; read again,
    // the same.
    const QByteArray back = RtfWriter::write(doc);
    EXPECT_TRUE(back.contains("{\\object" + kObjectHead + "{\\result {\\pict\\wmetafile8"))
        << back.left(600).constData();
    QTextDocument again;
    RtfReader::read(back, &again);
    const QList<QTextImageFormat> pics2 = pictures(again);
    ASSERT_EQ(pics2.size(), 2);
    EXPECT_EQ(pics2[0].property(PictureBytes).toByteArray(), wmf);
    EXPECT_EQ(pics2[0].property(PictureObject).toByteArray(), kObjectHead);
    EXPECT_EQ(pics2[1].property(PictureBytes).toByteArray(), emf);

    // An object whose result is text, and a \result outside any object, keep nothing.
    QTextDocument plain;
    RtfReader::read("{\\rtf1 {\\object\\objemb{\\*\\objdata 01}{\\result text}}{\\result more}"
                    "{\\pict\\wmetafile8 0102}}",
                    &plain);
    EXPECT_EQ(documentText(plain), "textmore");
    ASSERT_EQ(pictures(plain).size(), 1);
    EXPECT_FALSE(pictures(plain)[0].hasProperty(PictureObject));
}

TEST(Metafile, PicturesThatCannotBeConvertedKeepThePlaceholder)
{
    const QByteArray damaged = wmfFile(boxRecords()).left(40);
    QTextDocument doc;
    RtfReader::read("{\\rtf1 a{\\pict\\wmetafile8\\picwgoal1500\\pichgoal750 " + damaged.toHex()
                        + "}b{\\pict\\dibitmap0 0102}c{\\pict\\wmetafile8 " + wmfFile(boxRecords()).toHex() + "}}",
                    &doc);
    const QList<QTextImageFormat> pics = pictures(doc);
    ASSERT_EQ(pics.size(), 3);
    EXPECT_EQ(pictureLook(&doc, pics[0]), PictureLook::Placeholder);
    EXPECT_EQ(pictureLook(&doc, pics[1]), PictureLook::Placeholder);
    EXPECT_EQ(pictureLook(&doc, pics[2]), PictureLook::Vector);
    EXPECT_DOUBLE_EQ(pics[0].width(), 100);
    // A metafile whose RTF gives no size and whose mapping gives none keeps the
    // placeholder's size; one in twips shows at its own size.
    EXPECT_FALSE(pics[2].hasProperty(QTextFormat::ImageWidth));
    QTextDocument twips;
    RtfReader::read("{\\rtf1 {\\pict\\wmetafile8 "
                        + wmfFile({wmfRecord(0x103, {6}), wmfRecord(0x20C, {720, 1440})}).toHex() + "}}",
                    &twips);
    ASSERT_EQ(pictures(twips).size(), 1);
    EXPECT_DOUBLE_EQ(pictures(twips)[0].width(), 96);
    EXPECT_DOUBLE_EQ(pictures(twips)[0].height(), 48);
}

TEST(Metafile, ABoxShowingOneQuestionAfterAnotherConvertsEachPictureOnce)
{
    // The drawing outlives the document's content: reading the first question again finds
    // it without the converter (then a program that is not there).
    const QByteArray first = "{\\rtf1 {\\pict\\wmetafile8 " + wmfFile(boxRecords()).toHex() + "}}";
    QTextDocument doc;
    RtfReader::read(first, &doc);
    ASSERT_EQ(pictureLook(&doc, pictures(doc)[0]), PictureLook::Vector);
    RtfReader::read("{\\rtf1 other}", &doc);
    qputenv("QUELLMARK_METAFILE_CONVERTER", "/nonexistent/quellmark-metafile");
    RtfReader::read(first, &doc);
    EXPECT_EQ(pictureLook(&doc, pictures(doc)[0]), PictureLook::Vector);
    // Another document converts for itself.
    QTextDocument other;
    RtfReader::read(first, &other);
    EXPECT_EQ(pictureLook(&other, pictures(other)[0]), PictureLook::Placeholder);
    qunsetenv("QUELLMARK_METAFILE_CONVERTER");

    // A copy of the content takes the drawings along.
    QTextDocument copy;
    QTextCursor c(&copy);
    insertDocument(c, doc);
    EXPECT_EQ(pictureLook(&copy, pictures(copy)[0]), PictureLook::Vector);
}
