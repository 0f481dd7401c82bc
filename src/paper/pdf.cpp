#include "paper/pdf.h"

#include "core/output_file.h"
#include "paper/pdf_text.h"
#include "rtf/rich_text.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextLayout>
#include <QTextTable>

namespace qm::paper {

namespace {

constexpr int kDotsPerInch = 300;
constexpr double kFooterPointSize = 9;

// The Chinese fonts the documents name (宋体, 黑体, 楷体 …) are often not installed where the
// PDF is made. Each gets a font of the same kind that is, named after it, so the text is
// set in a Chinese font and embedded rather than left to whatever font the system picks.
const QString kSerifFallback = QStringLiteral("Noto Serif CJK SC");
const QString kSansFallback = QStringLiteral("Noto Sans CJK SC");

QStringList withFallback(const QString& family)
{
    static const QStringList kSansMarks{QStringLiteral("黑"),   QStringLiteral("hei"), QStringLiteral("gothic"),
                                        QStringLiteral("sans"), QStringLiteral("圆"),  QStringLiteral("yuan")};
    bool sans = false;
    for (const QString& mark : kSansMarks)
        sans = sans || family.contains(mark, Qt::CaseInsensitive);
    return {family, sans ? kSansFallback : kSerifFallback};
}

// Gives every run (and the document's default font) its fallback family.
void addFallbackFonts(QTextDocument& doc)
{
    QFont base = doc.defaultFont();
    const QString baseFamily = base.families().value(0, base.family());
    base.setFamilies(withFallback(baseFamily));
    doc.setDefaultFont(base);
    QTextCursor cursor(&doc);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            QTextCharFormat format;
            format.setFontFamilies(withFallback(fontFamilyOf(f.charFormat(), baseFamily)));
            cursor.setPosition(f.position());
            cursor.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(format);
        }
    }
}

// Qt's layout hides an empty paragraph right before or after a table, but a word processor
// shows the same paragraphs of the RTF as blank lines (between the name line and the
// scoring table, after each grader box). On paper they should look alike, so in the copy
// that is printed such a paragraph gets a blank and is laid out as the blank line it is.
void showBlankLinesAroundTables(QTextDocument& doc)
{
    const auto tableOf = [](const QTextBlock& b) { return b.isValid() ? QTextCursor(b).currentTable() : nullptr; };
    QList<int> positions;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.length() != 1)
            continue;
        QTextTable* here = tableOf(b);
        const bool beforeTable = b.next().isValid() && tableOf(b.next()) != here && tableOf(b.next());
        const bool afterTable = b.previous().isValid() && tableOf(b.previous()) != here && tableOf(b.previous());
        if (beforeTable || afterTable)
            positions << b.position();
    }
    QTextCursor cursor(&doc);
    for (qsizetype i = positions.size() - 1; i >= 0; --i) {
        cursor.setPosition(positions[i]);
        QTextCharFormat blank = cursor.block().charFormat();
        blank.setFontUnderline(false);
        blank.setFontStrikeOut(false);
        cursor.insertText(QStringLiteral(" "), blank);
    }
}

QFont footerFont()
{
    QFont font(kSerifFallback);
    font.setPointSizeF(kFooterPointSize);
    return font;
}

QFont stripFont()
{
    QFont font(kSerifFallback);
    font.setPointSizeF(10.5);
    return font;
}

// Pictures and tables wider than the text are narrowed to it, never cut off.
// `width` is in the document's own pixels (96 to the inch).
void fitToWidth(QTextDocument& doc, double width)
{
    QTextCursor cursor(&doc);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.charFormat().isImageFormat())
                continue;
            QTextImageFormat image = f.charFormat().toImageFormat();
            if (image.width() <= width)
                continue;
            const double scale = width / image.width();
            image.setWidth(width);
            if (image.height() > 0)
                image.setHeight(image.height() * scale);
            cursor.setPosition(f.position());
            cursor.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
    }
    for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        QTextTableFormat format = table->format();
        QList<QTextLength> widths = format.columnWidthConstraints();
        double total = 0;
        for (const QTextLength& w : widths)
            total += w.type() == QTextLength::FixedLength ? w.rawValue() : 0;
        if (total <= width)
            continue;
        for (QTextLength& w : widths)
            if (w.type() == QTextLength::FixedLength)
                w = QTextLength(QTextLength::FixedLength, w.rawValue() * width / total);
        format.setColumnWidthConstraints(widths);
        table->setFormat(format);
    }
}

// Text set along a strip of the sheet, turned to run up the page.
void drawUpwards(QPainter& painter, const QRectF& box, const QString& text)
{
    painter.save();
    painter.translate(box.center());
    painter.rotate(-90);
    painter.drawText(QRectF(-box.height() / 2, -box.width() / 2, box.height(), box.width()), Qt::AlignCenter, text);
    painter.restore();
}

// Lays `doc` out at the width of the sheet's columns and prints page after page into the
// columns of the sheets, each with its number under it ("第 1 页 共 4 页"), and the sealing
// strip on the sheets that have it. With `layer`, a first page holds every glyph once, for
// the text layer (see TextLayer).
void printPages(QTextDocument& doc, QPdfWriter& writer, const SheetGeometry& sheet, TextLayer* layer)
{
    const double dotsPerMm = writer.resolution() / 25.4;
    const auto onDevice = [&](const QRectF& mm) {
        return QRectF(mm.left() * dotsPerMm, mm.top() * dotsPerMm, mm.width() * dotsPerMm, mm.height() * dotsPerMm);
    };
    const QRectF first = onDevice(sheet.column(0));
    const QSizeF page(first.width(), first.height());
    fitToWidth(doc, sheet.columnWidth() / 25.4 * 96);
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setDocumentMargin(0);
    doc.setPageSize(page);
    const int pages = doc.pageCount();
    const QFont numberFont(footerFont(), &writer);
    const QFont alongStrip(stripFont(), &writer);
    QPainter painter(&writer);
    if (layer) {
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            layer->addBlock(b, &writer);
        QStringList others;
        for (int i = 0; i < pages; ++i)
            others << pageNumberText(i + 1, pages);
        for (const QString& text : std::as_const(others)) {
            QTextLayout line(text, numberFont, &writer);
            line.beginLayout();
            line.createLine();
            line.endLayout();
            layer->addLayout(line);
        }
        for (const QString& text : {kSealFields, kSealNotice}) {
            QTextLayout line(text, alongStrip, &writer);
            line.beginLayout();
            line.createLine();
            line.endLayout();
            layer->addLayout(line);
        }
        layer->drawGlyphs(painter);
        writer.newPage();
    }
    for (int s = 0; s < sheet.sheetsFor(pages); ++s) {
        if (s > 0)
            writer.newPage();
        if (sheet.hasStrip(s)) {
            painter.setFont(alongStrip);
            drawUpwards(painter, onDevice(sheet.stripFields()), kSealFields);
            drawUpwards(painter, onDevice(sheet.stripNotice()), kSealNotice);
            painter.save();
            painter.setPen(QPen(Qt::black, 0.3 * dotsPerMm, Qt::DashLine));
            const QRectF fields = onDevice(sheet.stripFields());
            const double x = sheet.stripLine() * dotsPerMm;
            painter.drawLine(QPointF(x, fields.top()), QPointF(x, fields.bottom()));
            painter.restore();
        }
        for (int c = 0; c < sheet.columns(); ++c) {
            const int p = s * sheet.columns() + c;
            if (p >= pages)
                break;
            const QRectF column = onDevice(sheet.column(c));
            painter.save();
            const QRectF area(0, p * page.height(), page.width(), page.height());
            painter.translate(column.topLeft() - area.topLeft());
            painter.setClipRect(area);
            // The layout starts a page's first line right at the page's top edge, which also
            // is the bottom edge of the page before: the line belongs to the page it starts on.
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = area.adjusted(0, 0, 0, -1);
            doc.documentLayout()->draw(&painter, context);
            painter.restore();
            painter.setFont(numberFont);
            painter.drawText(onDevice(sheet.pageNumber(c)), Qt::AlignCenter, pageNumberText(p + 1, pages));
        }
    }
}

// The whole PDF of `doc` on `sheet`, with its text layer when `withTextLayer`.
QByteArray pdfOf(const QTextDocument& doc, const QString& title, const SheetGeometry& sheet, bool withTextLayer)
{
    std::unique_ptr<QTextDocument> copy(doc.clone());
    restoreImageResources(copy.get(), 0, copy->characterCount(), &doc);
    showBlankLinesAroundTables(*copy);
    addFallbackFonts(*copy);
    // A fill-in blank at the end of a line is printed whole.
    layOutTrailingSpaces(*copy);
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    TextLayer layer;
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kDotsPerInch);
        const bool wide = sheet.columns() > 1;
        writer.setPageLayout(QPageLayout(QPageSize(wide ? QPageSize::A3 : QPageSize::A4),
                                         wide ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Quellmark"));
        printPages(*copy, writer, sheet, withTextLayer ? &layer : nullptr);
    }
    if (!withTextLayer)
        return pdf;
    if (std::optional<QByteArray> mended = layer.finish(pdf))
        return *mended;
    // Without the text layer the pages are still right: only copying reads them wrong.
    return pdfOf(doc, title, sheet, false);
}

}  // namespace

const PageSetup& paperPage()
{
    static const PageSetup page = SheetGeometry(PaperLayout::A4).pageSetup();
    return page;
}

std::optional<QByteArray> pdfBytes(const QTextDocument& doc, const QString& title, QString* error,
                                   const SheetGeometry& sheet)
{
    // Made in memory: QPdfWriter reports no write errors, so on a full disk it would leave a
    // cut-off file that looks written. The file on disk is written from these bytes, checked.
    const QByteArray pdf = pdfOf(doc, title, sheet, true);
    // A finished PDF ends with its end-of-file mark.
    if (!pdf.trimmed().endsWith("%%EOF")) {
        if (error)
            *error = QStringLiteral("无法生成PDF文件“%1”！").arg(title);
        return std::nullopt;
    }
    return pdf;
}

bool writePdf(const QTextDocument& doc, const QString& path, QString* error, const SheetGeometry& sheet)
{
    const QString what = QStringLiteral("PDF文件");
    const std::optional<QByteArray> bytes = pdfBytes(doc, QFileInfo(path).completeBaseName(), error, sheet);
    if (!bytes)
        return false;
    OutputFiles out;
    return out.write(path, *bytes, error, what) && out.commit(error);
}

}  // namespace qm::paper
