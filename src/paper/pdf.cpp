#include "paper/pdf.h"

#include "rtf/rich_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <filesystem>

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

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

}  // namespace

bool writePdf(const QTextDocument& doc, const QString& path, QString* error)
{
    const QString shown = QDir::toNativeSeparators(path);
    // Written beside the target and renamed when complete, so a failure leaves the old file.
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    {
        std::unique_ptr<QTextDocument> copy(doc.clone());
        restoreImageResources(copy.get(), 0, copy->characterCount(), &doc);
        showBlankLinesAroundTables(*copy);
        addFallbackFonts(*copy);

        QPdfWriter writer(part);
        writer.setResolution(kDotsPerInch);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, kMargins, QPageLayout::Millimeter));
        writer.setTitle(QFileInfo(path).completeBaseName());
        writer.setCreator(QStringLiteral("Quellmark"));
        copy->print(&writer);
    }
    // QPdfWriter reports no errors; a file that is missing or empty is the sign of one.
    if (QFileInfo(part).size() <= 0) {
        QFile::remove(part);
        return fail(error, QStringLiteral("无法写入PDF文件“%1”！").arg(shown));
    }
    // A rename over the old file replaces it in one step.
    std::error_code renamed;
    std::filesystem::rename(QFile::encodeName(part).toStdString(), QFile::encodeName(path).toStdString(), renamed);
    if (renamed) {
        QFile::remove(part);
        return fail(error, QStringLiteral("无法写入PDF文件“%1”！").arg(shown));
    }
    return true;
}

}  // namespace qm::paper
