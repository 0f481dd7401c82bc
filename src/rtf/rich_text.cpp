#include "rtf/rich_text.h"

#include "rtf/metafile_scan.h"
#include "rtf/picture_drawing.h"
#include "rtf/rtf_reader.h"
#include "rtf/rtf_writer.h"

#include <QCryptographicHash>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextImageFormat>
#include <QTextOption>
#include <QTextTable>
#include <QUrl>

namespace qm {

namespace {

bool isShownKind(const QByteArray& kind)
{
    return kind == "pngblip" || kind == "jpegblip";
}

// A grey frame with a cross standing in for a picture kind that cannot be shown
// (device-dependent bitmaps, metafiles that cannot be converted: a metafile is drawn
// over it, see picture_drawing.h); the original bytes stay with the picture. One
// small image serves every such picture of a document and is scaled to each picture's
// size when drawn, so a picture that claims to be huge costs no more than a small one.
QImage placeholderImage(QTextDocument* doc)
{
    const QUrl url(QStringLiteral("qm-placeholder:picture"));
    const QVariant known = doc->resource(QTextDocument::ImageResource, url);
    if (known.userType() == QMetaType::QImage)
        return known.value<QImage>();
    const int w = 96;
    const int h = 72;
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(235, 235, 235));
    QPainter p(&img);
    p.setPen(QColor(150, 150, 150));
    p.drawRect(0, 0, w - 1, h - 1);
    p.drawLine(0, 0, w - 1, h - 1);
    p.drawLine(0, h - 1, w - 1, 0);
    p.end();
    doc->addResource(QTextDocument::ImageResource, url, img);
    return img;
}

void addResourceFor(QTextDocument* doc, const QTextImageFormat& fmt)
{
    const QByteArray kind = fmt.property(PictureKind).toByteArray();
    const QUrl url(fmt.name());
    if (isShownKind(kind)) {
        doc->addResource(QTextDocument::ImageResource, url, fmt.property(PictureBytes).toByteArray());
        return;
    }
    doc->addResource(QTextDocument::ImageResource, url, placeholderImage(doc));  // shared, not copied
    if (isMetafileKind(kind))
        drawMetafilesAsVectors(doc);
}

// The size a metafile gives itself, in pixels, for a picture whose RTF gives none.
QSizeF metafileSize(const QByteArray& bytes, const QByteArray& kind)
{
    metafile::Format format;
    if (!metafile::formatOfKind(kind.constData(), size_t(kind.size()), &format))
        return {};
    const metafile::Scan scan =
        metafile::scan(format, reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    if (!scan.ok || scan.widthHimetric <= 0 || scan.heightHimetric <= 0)
        return {};
    return {std::min(scan.widthHimetric * 96 / 2540, 5000.0), std::min(scan.heightHimetric * 96 / 2540, 5000.0)};
}

}  // namespace

void addPicture(QTextCursor& cursor, const QByteArray& bytes, const QByteArray& kind, double width, double height,
                int picw, int pich, const QByteArray& object)
{
    // Named after the content: the same picture has the same name in every document, and
    // two different pictures never share one.
    const QByteArray hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
    QTextImageFormat fmt;
    fmt.setName(QStringLiteral("qm-picture:") + QString::fromLatin1(hash) + QLatin1Char('.')
                + QString::fromLatin1(kind));
    if (width <= 0 || height <= 0) {
        // A metafile whose RTF names no size shows at the size it gives itself.
        const QSizeF own = metafileSize(bytes, kind);
        if (!own.isEmpty()) {
            if (width <= 0 && height <= 0) {
                width = own.width();
                height = own.height();
            } else if (width <= 0) {
                width = height * own.width() / own.height();
            } else {
                height = width * own.height() / own.width();
            }
        }
    }
    if (width > 0)
        fmt.setWidth(width);
    if (height > 0)
        fmt.setHeight(height);
    fmt.setProperty(PictureBytes, bytes);
    fmt.setProperty(PictureKind, kind);
    if (picw > 0)
        fmt.setProperty(PictureExtentW, picw);
    if (pich > 0)
        fmt.setProperty(PictureExtentH, pich);
    if (!object.isEmpty())
        fmt.setProperty(PictureObject, object);
    addResourceFor(cursor.document(), fmt);
    cursor.insertImage(fmt);
}

void restoreImageResources(QTextDocument* doc, int from, int to, const QTextDocument* src)
{
    for (QTextBlock b = doc->findBlock(from); b.isValid() && b.position() < to; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.position() + f.length() <= from || f.position() >= to)
                continue;
            const QTextCharFormat cf = f.charFormat();
            if (!cf.isImageFormat())
                continue;
            const QTextImageFormat img = cf.toImageFormat();
            if (img.hasProperty(PictureBytes)) {
                addResourceFor(doc, img);
                if (src)
                    copyMetafileDrawing(doc, *src, img.name());
            } else if (src) {
                const QUrl url(img.name());
                const QVariant res = src->resource(QTextDocument::ImageResource, url);
                if (res.isValid())
                    doc->addResource(QTextDocument::ImageResource, url, res);
            }
        }
    }
}

void insertDocument(QTextCursor& cursor, const QTextDocument& src)
{
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const int from = cursor.position();
    const bool atBlockStart = cursor.atBlockStart();
    cursor.insertFragment(QTextDocumentFragment(&src));
    restoreImageResources(cursor.document(), from, cursor.position(), &src);
    // The first paragraph of the fragment joins the paragraph at the cursor and would take
    // its alignment and indents; inserted at a paragraph's start, it keeps its own (a
    // table brings its own paragraphs).
    if (atBlockStart && !src.isEmpty() && !QTextCursor(src.firstBlock()).currentTable()) {
        QTextCursor first(cursor.document());
        first.setPosition(from);
        first.setBlockFormat(src.firstBlock().blockFormat());
    }
    cursor.endEditBlock();
}

void layOutTrailingSpaces(QTextDocument& doc)
{
    QTextOption option = doc.defaultTextOption();
    option.setFlags(option.flags() | QTextOption::IncludeTrailingSpaces);
    doc.setDefaultTextOption(option);
}

QString documentText(const QTextDocument& doc)
{
    QString text = doc.toPlainText();
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

QString rtfPlainText(QByteArrayView rtf)
{
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    return documentText(doc);
}

QByteArray rtfFromPlainText(const QString& text, const QString& fontName, double pointSize)
{
    QTextDocument doc;
    QTextCharFormat fmt;
    fmt.setFontFamilies({fontName});
    if (pointSize > 0)
        fmt.setFontPointSize(pointSize);
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QTextCursor cursor(&doc);
    cursor.setBlockCharFormat(fmt);
    cursor.insertText(lines, fmt);
    return RtfWriter::write(doc);
}

QString fontFamilyOf(const QTextCharFormat& format, const QString& fallback)
{
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    const QString old = format.stringProperty(QTextFormat::OldFontFamily);
    return old.isEmpty() ? fallback : old;
}

bool isCjkFontName(const QString& family)
{
    for (const QChar c : family)
        if (c.unicode() >= 0x2E80)
            return true;
    static const char* const latinNames[] = {
        "simsun",    "simhei",     "simkai", "simfang",    "nsimsun", "fangsong", "kaiti",      "yahei",
        "dengxian",  "youyuan",    "lisu",   "stsong",     "stheiti", "stkaiti",  "stfangsong", "stxihei",
        "cjk",       "wenquanyi",  "wqy",    "source han", "ar pl",   "mingliu",  "pmingliu",   "mincho",
        "ms gothic", "ms pgothic", "meiryo", "batang",     "gulim",   "dotum",    "malgun",     "gungsuh"};
    const QString lower = family.toLower();
    for (const char* n : latinNames)
        if (lower.contains(QLatin1String(n)))
            return true;
    return false;
}

}  // namespace qm
