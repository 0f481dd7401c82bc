#include "paper/pdf.h"

#include "core/output_file.h"
#include "paper/pdf_text.h"
#include "rtf/fonts.h"
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
#include <QTextLayout>
#include <QTextTable>

namespace qm::paper {

namespace {

constexpr int kDotsPerInch = 300;
constexpr double kTwipsPerMillimetre = 1440 / 25.4;
// The page number stands in this much of the bottom margin, under the text.
constexpr double kFooterMillimetres = 10;
constexpr double kFooterPointSize = 9;

// The Chinese fonts the documents name (宋体, 黑体, 楷体 …) are often not installed where the
// PDF is made. Each run names the installed families that stand in for its font
// (rtf/fonts.h), so the text is set in a Chinese font and embedded rather than left to
// whatever font the system picks.
QStringList withFallback(const QString& family)
{
    return familyWithSubstitutes(family);
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

QPageLayout pageLayoutOf(const PageSetup& page)
{
    const auto mm = [](int twips) { return twips / kTwipsPerMillimetre; };
    const QPageSize size(QSizeF(mm(page.width), mm(page.height)), QPageSize::Millimeter);
    return QPageLayout(size, page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(mm(page.marginLeft), mm(page.marginTop), mm(page.marginRight), mm(page.marginBottom)),
                       QPageLayout::Millimeter);
}

QFont footerFont()
{
    QFont font;
    font.setFamilies(familyWithSubstitutes(QStringLiteral("宋体")));
    font.setPointSizeF(kFooterPointSize);
    return font;
}

// Lays `doc` out on the writer's pages, the text filling the page within its margins, and
// prints every page with its number under the text ("第 1 页 共 4 页"). With `layer`, a first
// page holds every glyph of the document once, for the text layer (see TextLayer).
void printPages(QTextDocument& doc, QPdfWriter& writer, bool pageNumbers, TextLayer* layer)
{
    const QRectF body = writer.pageLayout().paintRectPixels(writer.resolution());
    const double footer = pageNumbers ? kFooterMillimetres / 25.4 * writer.resolution() : 0;
    // The bottom margin holds the page number, so the text keeps the whole height.
    const QSizeF page(body.width(), body.height());
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setDocumentMargin(0);
    doc.setPageSize(page);
    const int pages = doc.pageCount();
    const QFont numberFont(footerFont(), &writer);
    QPainter painter(&writer);
    if (layer) {
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            layer->addBlock(b, &writer);
        for (int i = 0; pageNumbers && i < pages; ++i) {
            QTextLayout number(pageNumberText(i + 1, pages), numberFont, &writer);
            number.beginLayout();
            number.createLine();
            number.endLayout();
            layer->addLayout(number);
        }
        layer->drawGlyphs(painter);
        writer.newPage();
    }
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        painter.save();
        const QRectF area(0, i * page.height(), page.width(), page.height());
        painter.translate(0, -area.top());
        painter.setClipRect(area);
        // The layout starts a page's first line right at the page's top edge, which also
        // is the bottom edge of the page before: the line belongs to the page it starts on.
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = area.adjusted(0, 0, 0, -1);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();
        if (pageNumbers) {
            painter.setFont(numberFont);
            painter.drawText(QRectF(0, page.height(), page.width(), footer), Qt::AlignCenter,
                             pageNumberText(i + 1, pages));
        }
    }
}

// The whole PDF of `doc` on `page`, with its text layer when `withTextLayer`.
QByteArray pdfOf(const QTextDocument& doc, const QString& title, const PageSetup& page, bool withTextLayer)
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
        writer.setPageLayout(pageLayoutOf(page));
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Quellmark"));
        printPages(*copy, writer, page.pageNumbers, withTextLayer ? &layer : nullptr);
    }
    if (!withTextLayer)
        return pdf;
    if (std::optional<QByteArray> mended = layer.finish(pdf))
        return *mended;
    // Without the text layer the pages are still right: only copying reads them wrong.
    return pdfOf(doc, title, page, false);
}

}  // namespace

const PageSetup& paperPage()
{
    static const PageSetup page = [] {
        PageSetup p;
        p.pageNumbers = true;
        return p;
    }();
    return page;
}

std::optional<QByteArray> pdfBytes(const QTextDocument& doc, const QString& title, QString* error,
                                   const PageSetup& page)
{
    // Made in memory: QPdfWriter reports no write errors, so on a full disk it would leave a
    // cut-off file that looks written. The file on disk is written from these bytes, checked.
    const QByteArray pdf = pdfOf(doc, title, page, true);
    // A finished PDF ends with its end-of-file mark.
    if (!pdf.trimmed().endsWith("%%EOF")) {
        if (error)
            *error = QStringLiteral("无法生成PDF文件“%1”！").arg(title);
        return std::nullopt;
    }
    return pdf;
}

bool writePdf(const QTextDocument& doc, const QString& path, QString* error, const PageSetup& page)
{
    const QString what = QStringLiteral("PDF文件");
    const std::optional<QByteArray> bytes = pdfBytes(doc, QFileInfo(path).completeBaseName(), error, page);
    if (!bytes)
        return false;
    OutputFiles out;
    return out.write(path, *bytes, error, what) && out.commit(error);
}

}  // namespace qm::paper
