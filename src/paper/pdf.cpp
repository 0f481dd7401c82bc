#include "paper/pdf.h"

#include "core/output_file.h"
#include "rtf/rich_text.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

namespace qm::paper {

namespace {

// A4 with the margins of a printed examination paper, in millimetres.
const QMarginsF kMargins(25, 20, 25, 20);
constexpr int kDotsPerInch = 300;

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

}  // namespace

std::optional<QByteArray> pdfBytes(const QTextDocument& doc, const QString& title, QString* error)
{
    // Made in memory: QPdfWriter reports no write errors, so on a full disk it would leave a
    // cut-off file that looks written. The file on disk is written from these bytes, checked.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        std::unique_ptr<QTextDocument> copy(doc.clone());
        restoreImageResources(copy.get(), 0, copy->characterCount(), &doc);
        showBlankLinesAroundTables(*copy);
        addFallbackFonts(*copy);

        QPdfWriter writer(&buffer);
        writer.setResolution(kDotsPerInch);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, kMargins, QPageLayout::Millimeter));
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Quellmark"));
        copy->print(&writer);
    }
    // A finished PDF ends with its end-of-file mark.
    if (!buffer.data().trimmed().endsWith("%%EOF")) {
        if (error)
            *error = QStringLiteral("无法生成PDF文件“%1”！").arg(title);
        return std::nullopt;
    }
    return buffer.data();
}

bool writePdf(const QTextDocument& doc, const QString& path, QString* error)
{
    const QString what = QStringLiteral("PDF文件");
    const std::optional<QByteArray> bytes = pdfBytes(doc, QFileInfo(path).completeBaseName(), error);
    if (!bytes)
        return false;
    OutputFiles out;
    return out.write(path, *bytes, error, what) && out.commit(error);
}

}  // namespace qm::paper
