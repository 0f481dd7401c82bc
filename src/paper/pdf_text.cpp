#include "paper/pdf_text.h"

#include <QGlyphRun>
#include <QMap>
#include <QPainter>
#include <QSet>
#include <QString>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtEndian>
#include <exception>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <string>

namespace qm::paper {

namespace {

// The UTF-16BE hex of a character as a character map writes it.
std::string hexOf(char32_t c)
{
    const QString s = QString::fromUcs4(&c, 1);
    std::string hex;
    for (const QChar u : s)
        hex += QStringLiteral("%1").arg(u.unicode(), 4, 16, QLatin1Char('0')).toUpper().toStdString();
    return hex;
}

std::string cidHex(qint64 cid)
{
    return QStringLiteral("%1").arg(cid, 4, 16, QLatin1Char('0')).toUpper().toStdString();
}

// The entries of a character map as Qt writes it: bfchar pairs and bfrange lines, with an
// array of targets or a first target that counts up. CID to target hex.
QMap<qint64, std::string> entriesOf(const std::string& cmap)
{
    QMap<qint64, std::string> entries;
    std::vector<std::string> tokens;  // hex strings and brackets of one section
    enum class Section { None, Chars, Ranges } section = Section::None;
    const auto flush = [&] {
        if (section == Section::Chars) {
            for (size_t i = 0; i + 1 < tokens.size(); i += 2)
                entries.insert(QString::fromStdString(tokens[i]).toLongLong(nullptr, 16), tokens[i + 1]);
        } else if (section == Section::Ranges) {
            size_t i = 0;
            while (i + 2 < tokens.size()) {
                const qint64 lo = QString::fromStdString(tokens[i]).toLongLong(nullptr, 16);
                const qint64 hi = QString::fromStdString(tokens[i + 1]).toLongLong(nullptr, 16);
                i += 2;
                if (tokens[i] == "[") {
                    ++i;
                    for (qint64 cid = lo; i < tokens.size() && tokens[i] != "]"; ++i, ++cid)
                        entries.insert(cid, tokens[i]);
                    ++i;
                } else {
                    const quint32 first = QString::fromStdString(tokens[i]).toUInt(nullptr, 16);
                    if (tokens[i].size() == 4)
                        for (qint64 cid = lo; cid <= hi && cid - lo < 0x10000; ++cid)
                            entries.insert(cid, cidHex(first + (cid - lo)));
                    ++i;
                }
            }
        }
        tokens.clear();
    };
    size_t i = 0;
    while (i < cmap.size()) {
        if (cmap.compare(i, 2, "<<") == 0 || cmap.compare(i, 2, ">>") == 0) {
            i += 2;
        } else if (cmap[i] == '<') {
            const size_t end = cmap.find('>', i);
            if (end == std::string::npos)
                break;
            tokens.push_back(cmap.substr(i + 1, end - i - 1));
            i = end + 1;
        } else if (cmap[i] == '[' || cmap[i] == ']') {
            tokens.emplace_back(1, cmap[i]);
            ++i;
        } else if (cmap.compare(i, 11, "beginbfchar") == 0) {
            tokens.clear();
            section = Section::Chars;
            i += 11;
        } else if (cmap.compare(i, 12, "beginbfrange") == 0) {
            tokens.clear();
            section = Section::Ranges;
            i += 12;
        } else if (cmap.compare(i, 9, "endbfchar") == 0 || cmap.compare(i, 10, "endbfrange") == 0) {
            flush();
            i += section == Section::Chars ? 9 : 10;
            section = Section::None;
        } else {
            if (section == Section::None && cmap[i] != ' ' && cmap[i] != '\n' && cmap[i] != '\r')
                tokens.clear();
            ++i;
        }
    }
    return entries;
}

// A whole character map of these entries.
std::string characterMap(const QMap<qint64, std::string>& entries)
{
    std::string out = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    auto it = entries.cbegin();
    while (it != entries.cend()) {
        // At most a hundred entries to a section.
        std::string section;
        int n = 0;
        for (; it != entries.cend() && n < 100; ++it, ++n)
            section += "<" + cidHex(it.key()) + "> <" + it.value() + ">\n";
        out += std::to_string(n) + " beginbfchar\n" + section + "endbfchar\n";
    }
    out += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return out;
}

// A font name as the PDF gives it, without the subset's tag ("QABAAA+").
QString withoutSubsetTag(const std::string& name)
{
    QString s = QString::fromStdString(name);
    if (s.startsWith(QLatin1Char('/')))
        s.remove(0, 1);
    const qsizetype plus = s.indexOf(QLatin1Char('+'));
    return plus == 6 ? s.mid(7) : s;
}

}  // namespace

QString postScriptName(const QRawFont& font)
{
    // The name table: format, count, string offset, then records of six 16-bit fields.
    const QByteArray table = font.fontTable("name");
    const auto u16 = [&](qsizetype at) {
        return at + 2 <= table.size() ? qFromBigEndian<quint16>(table.constData() + at) : quint16(0);
    };
    const int count = u16(2);
    const int strings = u16(4);
    for (int r = 0; r < count; ++r) {
        const qsizetype record = 6 + qsizetype(r) * 12;
        const quint16 platform = u16(record);
        const quint16 nameId = u16(record + 6);
        const quint16 length = u16(record + 8);
        const qsizetype offset = qsizetype(strings) + u16(record + 10);
        if (nameId != 6 || offset + length > table.size())
            continue;
        const QByteArray bytes = table.mid(offset, length);
        if (platform == 1)
            return QString::fromLatin1(bytes);
        if (platform == 0 || platform == 3) {
            QString name;
            for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
                name += QChar(qFromBigEndian<quint16>(bytes.constData() + i));
            return name;
        }
    }
    return {};
}

void TextLayer::addBlock(const QTextBlock& block, QPaintDevice* device)
{
    // The document's own layout of a block does not tell its glyphs; the same text in the
    // same formats, shaped on the same device, gives the same ones.
    QList<QTextLayout::FormatRange> formats;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        formats.append({f.position() - block.position(), f.length(), f.charFormat()});
    }
    QTextLayout layout(block.text(), block.document()->defaultFont(), device);
    layout.setFormats(formats);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    addLayout(layout);
}

TextLayer::Face& TextLayer::faceOf(const QRawFont& font)
{
    const QString key = font.familyName() + QLatin1Char('|') + font.styleName();
    auto face = m_faceByName.constFind(key);
    if (face == m_faceByName.cend()) {
        // Faces are told apart by the name the PDF will give them.
        const QString name = postScriptName(font);
        qsizetype at = -1;
        for (qsizetype f = 0; f < m_faces.size() && at < 0; ++f)
            if (postScriptName(m_faces[f].font) == name)
                at = f;
        if (at < 0) {
            m_faces.append({font, {}, {}, {}});
            at = m_faces.size() - 1;
        }
        face = m_faceByName.insert(key, at);
    }
    return m_faces[face.value()];
}

void TextLayer::Face::add(quint32 glyph, char32_t c)
{
    if (glyph == 0 || index.contains(glyph))
        return;
    index.insert(glyph, glyphs.size());
    glyphs << glyph;
    characters << c;
}

void TextLayer::addLayout(const QTextLayout& layout)
{
    const QString text = layout.text();
    const QList<uint> characters = text.toUcs4();
    // Most glyphs are the ones the font gives their characters: those are known at once.
    // Only where shaping put in other glyphs is each character shaped on its own.
    bool substituted = false;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont font = run.rawFont();
        Face& face = faceOf(font);
        QSet<quint32> unknown(run.glyphIndexes().cbegin(), run.glyphIndexes().cend());
        unknown.remove(0);
        for (const uint c : characters) {
            if (unknown.isEmpty())
                break;
            const char32_t ch = c;
            const QList<quint32> own = font.glyphIndexesForString(QString::fromUcs4(&ch, 1));
            if (own.size() == 1 && unknown.remove(own.first()))
                face.add(own.first(), ch);
        }
        for (const quint32 glyph : std::as_const(unknown))
            substituted = substituted || !face.index.contains(glyph);
    }
    if (!substituted)
        return;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const char32_t c = pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
        const int length = pair ? 2 : 1;
        if (!QChar::isSpace(c) && c != QChar::ObjectReplacementCharacter)
            for (const QGlyphRun& run : layout.glyphRuns(int(i), length)) {
                Face& face = faceOf(run.rawFont());
                for (const quint32 glyph : run.glyphIndexes())
                    face.add(glyph, c);
            }
        i += length - 1;
    }
}

void TextLayer::drawGlyphs(QPainter& painter) const
{
    for (const Face& face : m_faces) {
        QGlyphRun run;
        run.setRawFont(face.font);
        run.setGlyphIndexes(face.glyphs);
        QList<QPointF> positions;
        positions.reserve(face.glyphs.size());
        for (qsizetype i = 0; i < face.glyphs.size(); ++i)
            positions << QPointF(double(i % 40) * 10, 50 + double(i / 40) * 10);
        run.setPositions(positions);
        painter.drawGlyphRun(QPointF(), run);
    }
}

std::optional<QByteArray> TextLayer::finish(const QByteArray& pdf) const
{
    QHash<QString, const Face*> byName;
    for (const Face& face : m_faces)
        byName.insert(postScriptName(face.font), &face);
    try {
        QPDF doc;
        doc.setSuppressWarnings(true);
        doc.processMemoryFile("paper", pdf.constData(), size_t(pdf.size()));
        QPDFPageDocumentHelper pages(doc);
        const std::vector<QPDFPageObjectHelper> all = pages.getAllPages();
        if (all.size() < 2)
            return std::nullopt;
        pages.removePage(all.front());
        // The fonts the pages use; every page uses them all.
        std::vector<QPDFObjectHandle> fonts;
        QPDFObjectHandle resources = pages.getAllPages().front().getAttribute("/Resources", false);
        if (resources.isDictionary() && resources.hasKey("/Font"))
            for (const auto& [name, font] : resources.getKey("/Font").ditems())
                fonts.push_back(font);
        for (QPDFObjectHandle& object : fonts) {
            if (!object.isDictionary() || !object.hasKey("/ToUnicode") || !object.hasKey("/BaseFont"))
                continue;
            const auto face = byName.constFind(withoutSubsetTag(object.getKey("/BaseFont").unparse()));
            QPDFObjectHandle map = object.getKey("/ToUnicode");
            if (face == byName.cend() || !map.isStream())
                continue;
            const std::shared_ptr<Buffer> data = map.getStreamData(qpdf_dl_generalized);
            QMap<qint64, std::string> entries =
                entriesOf(std::string(reinterpret_cast<const char*>(data->getBuffer()), data->getSize()));
            // The glyphs drawn first have the first numbers, from 1, in the order drawn.
            const Face& f = **face;
            for (qsizetype i = 0; i < f.characters.size(); ++i)
                entries.insert(i + 1, hexOf(f.characters[i]));
            map.replaceStreamData(characterMap(entries), QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
        }
        QPDFWriter writer(doc);
        writer.setOutputMemory();
        // The other streams are copied as they are, not decoded and compressed again.
        writer.setDecodeLevel(qpdf_dl_none);
        writer.write();
        const std::shared_ptr<Buffer> out = writer.getBufferSharedPointer();
        return QByteArray(reinterpret_cast<const char*>(out->getBuffer()), qsizetype(out->getSize()));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace qm::paper
