#include "rtf/rtf_writer.h"

#include "core/gbk.h"
#include "rtf/rich_text.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <cmath>
#include <vector>

namespace qm {

namespace {

constexpr char kHex[] = "0123456789abcdef";
// Width of a table whose columns have no fixed widths: about the text width of A4 paper.
constexpr int kTableTwips = 9000;

int twips(double pixels)
{
    return int(std::lround(pixels * kTwipsPerPixel));
}

// What a run starts with: its character format as control words, and whether its font
// takes text as GBK bytes.
struct RunCode {
    QByteArray words;
    bool gbk = true;
};

class Writer {
public:
    Writer(const QTextDocument& doc, const PageSetup* page) : doc_(doc), page_(page), formats_(doc.allFormats())
    {
        const QFont f = doc.defaultFont();
        defaultFamily_ = f.family().isEmpty() ? QStringLiteral("宋体") : f.family();
        defaultSize_ = f.pointSizeF() > 0 ? f.pointSizeF() : 10.5;
        fontIndex(defaultFamily_);
    }

    QByteArray write();

private:
    int fontIndex(const QString& family);
    int colorIndex(const QColor& color);
    const RunCode& runCode(int formatIndex);
    void writeFrame(const QTextFrame* frame);
    void writeTable(const QTextTable* table);
    void writeBlock(const QTextBlock& block, bool inTable, const char* end);
    void writeText(QStringView text, bool gbk);
    void writeBytes(const QByteArray& bytes);
    void writeImage(const QTextImageFormat& fmt);
    void writeNumber(const char* word, long long n);

    void writePageSetup();
    void writeStrip(const PageSetup::Strip& strip);

    const QTextDocument& doc_;
    const PageSetup* page_;
    const QList<QTextFormat> formats_;
    QString defaultFamily_;
    double defaultSize_;
    QStringList fonts_;
    QHash<QString, int> fontIndex_;
    QList<QColor> colors_;
    QHash<QRgb, int> colorIndex_;
    QHash<int, RunCode> runCodes_;
    QByteArray out_;
};

int Writer::fontIndex(const QString& family)
{
    const auto it = fontIndex_.constFind(family);
    if (it != fontIndex_.cend())
        return it.value();
    fonts_.append(family);
    fontIndex_.insert(family, int(fonts_.size() - 1));
    return int(fonts_.size() - 1);
}

int Writer::colorIndex(const QColor& color)
{
    const QRgb rgb = color.rgb();
    const auto it = colorIndex_.constFind(rgb);
    if (it != colorIndex_.cend())
        return it.value();
    colors_.append(color);
    colorIndex_.insert(rgb, int(colors_.size()));  // index 0 is the automatic colour
    return int(colors_.size());
}

void Writer::writeNumber(const char* word, long long n)
{
    out_ += word;
    out_ += QByteArray::number(n);
}

const RunCode& Writer::runCode(int formatIndex)
{
    auto it = runCodes_.find(formatIndex);
    if (it != runCodes_.end())
        return it.value();
    const QTextCharFormat f =
        formatIndex >= 0 && formatIndex < formats_.size() ? formats_[formatIndex].toCharFormat() : QTextCharFormat();
    RunCode code;
    QByteArray& w = code.words;
    w = "\\plain";
    const QString family = fontFamilyOf(f, defaultFamily_);
    const int font = fontIndex(family);
    code.gbk = isCjkFontName(family);
    if (font != 0)
        w += "\\f" + QByteArray::number(font);
    // Word processors take the font of Chinese characters from the associated font of
    // double-byte text; without it they show such text in a default font of their own.
    if (code.gbk)
        w += "\\dbch\\af" + QByteArray::number(font);
    const double size = f.fontPointSize() > 0 ? f.fontPointSize() : defaultSize_;
    const int fs = std::clamp(int(std::lround(size * 2)), 2, 3276);
    if (fs != 24)
        w += "\\fs" + QByteArray::number(fs);
    if (f.fontWeight() > QFont::Medium)
        w += "\\b";
    if (f.fontItalic())
        w += "\\i";
    switch (f.underlineStyle()) {
    case QTextCharFormat::NoUnderline: break;
    case QTextCharFormat::DashUnderline: w += "\\uldash"; break;
    case QTextCharFormat::DotLine: w += "\\uld"; break;
    case QTextCharFormat::DashDotLine: w += "\\uldashd"; break;
    case QTextCharFormat::DashDotDotLine: w += "\\uldashdd"; break;
    case QTextCharFormat::WaveUnderline: w += "\\ulwave"; break;
    default: w += "\\ul"; break;
    }
    if (f.fontStrikeOut())
        w += "\\strike";
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        w += "\\super";
    else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        w += "\\sub";
    const QBrush fg = f.foreground();
    if (f.hasProperty(QTextFormat::ForegroundBrush) && fg.style() != Qt::NoBrush)
        w += "\\cf" + QByteArray::number(colorIndex(fg.color()));
    const QBrush bg = f.background();
    if (f.hasProperty(QTextFormat::BackgroundBrush) && bg.style() != Qt::NoBrush)
        w += "\\highlight" + QByteArray::number(colorIndex(bg.color()));
    w += ' ';
    return runCodes_.insert(formatIndex, code).value();
}

QByteArray Writer::write()
{
    // The body first: writing it fills the font and colour tables that precede it.
    QByteArray body;
    std::swap(out_, body);
    out_.reserve(doc_.characterCount() * 6 + 4096);
    if (page_)
        writePageSetup();
    writeFrame(doc_.rootFrame());
    std::swap(out_, body);

    out_.reserve(body.size() + 4096);
    out_ += "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052\r\n{\\fonttbl";
    for (qsizetype i = 0; i < fonts_.size(); ++i) {
        const bool cjk = isCjkFontName(fonts_[i]);
        writeNumber("{\\f", i);
        out_ += cjk ? "\\fnil\\fcharset134 " : "\\fnil\\fcharset0 ";
        writeText(fonts_[i], true);
        out_ += ";}";
    }
    out_ += "}\r\n{\\colortbl ;";
    for (const QColor& c : colors_) {
        writeNumber("\\red", c.red());
        writeNumber("\\green", c.green());
        writeNumber("\\blue", c.blue());
        out_ += ';';
    }
    out_ += "}\r\n\\viewkind4\\uc1\r\n";
    out_ += body;
    out_ += "}\r\n";
    return out_;
}

void Writer::writePageSetup()
{
    if (!page_->name.isEmpty()) {
        out_ += "{\\*\\qmlayout ";
        writeText(page_->name, false);
        out_ += "}";
    }
    writeNumber("\\paperw", page_->landscape ? page_->height : page_->width);
    writeNumber("\\paperh", page_->landscape ? page_->width : page_->height);
    writeNumber("\\margl", page_->marginLeft);
    writeNumber("\\margr", page_->marginRight);
    writeNumber("\\margt", page_->marginTop);
    writeNumber("\\margb", page_->marginBottom);
    if (page_->landscape)
        out_ += "\\landscape";
    // The strip stands on the odd pages only: left and right pages have headers of their own.
    if (page_->strip)
        out_ += "\\facingp";
    out_ += "\\sectd";
    if (page_->landscape)
        out_ += "\\lndscpsxn";
    if (page_->columns > 1) {
        writeNumber("\\cols", page_->columns);
        writeNumber("\\colsx", page_->columnGap);
    }
    out_ += "\r\n";
    if (page_->strip)
        writeStrip(*page_->strip);
    if (!page_->pageNumbers)
        return;
    // Fields, so that the numbers stay right when the document is edited.
    const QStringList parts = pageNumberText(1, 1).split(QLatin1Char('1'));
    QByteArray footer = "\\pard\\plain\\qc";
    std::swap(out_, footer);
    writeNumber("\\f", fontIndex(QStringLiteral("宋体")));
    out_ += "\\fs18 ";
    writeText(parts.value(0), true);
    out_ += "{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}";
    writeText(parts.value(1), true);
    out_ += "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}";
    writeText(parts.value(2), true);
    out_ += "\\par}\r\n";
    std::swap(out_, footer);
    // Facing pages have a footer for each side.
    const QList<const char*> footers =
        page_->strip ? QList<const char*>{"\\footerl", "\\footerr"} : QList<const char*>{"\\footer"};
    for (const char* which : footers) {
        out_ += "{";
        out_ += which;
        out_ += footer;
    }
}

void Writer::writeStrip(const PageSetup::Strip& strip)
{
    // A text box whose text runs up the page (its text flow turned), without a border.
    const auto textBox = [this](const QRect& box, const QString& text, int z) {
        writeNumber("{\\shp{\\*\\shpinst\\shpleft", box.left());
        writeNumber("\\shptop", box.top());
        writeNumber("\\shpright", box.right() + 1);
        writeNumber("\\shpbottom", box.bottom() + 1);
        writeNumber("\\shpfhdr1\\shpbxpage\\shpbxignore\\shpbypage\\shpbyignore\\shpwr3\\shpwrk0\\shpfblwtxt0\\shpz",
                    z);
        out_ += "{\\sp{\\sn shapeType}{\\sv 202}}{\\sp{\\sn txflTextFlow}{\\sv 2}}{\\sp{\\sn fLine}{\\sv 0}}"
                "{\\sp{\\sn fFilled}{\\sv 0}}{\\shptxt \\pard\\plain\\qc";
        writeNumber("\\f", fontIndex(QStringLiteral("宋体")));
        out_ += "\\fs21 ";
        writeText(text, true);
        out_ += "\\par}}}";
    };
    out_ += "{\\headerl\\pard\\plain\\par}\r\n{\\headerr\\pard\\plain ";
    textBox(strip.fields, strip.fieldsText, 1);
    // The dashed line the paper is sealed along.
    writeNumber("{\\shp{\\*\\shpinst\\shpleft", strip.line);
    writeNumber("\\shptop", strip.fields.top());
    writeNumber("\\shpright", strip.line);
    writeNumber("\\shpbottom", strip.fields.bottom() + 1);
    out_ += "\\shpfhdr1\\shpbxpage\\shpbxignore\\shpbypage\\shpbyignore\\shpwr3\\shpwrk0\\shpfblwtxt0\\shpz2"
            "{\\sp{\\sn shapeType}{\\sv 20}}{\\sp{\\sn lineDashing}{\\sv 2}}{\\sp{\\sn lineWidth}{\\sv 9525}}}}";
    textBox(strip.notice, strip.noticeText, 3);
    out_ += "\\par}\r\n";
}

void Writer::writeFrame(const QTextFrame* frame)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame* child = it.currentFrame()) {
            if (const auto* table = qobject_cast<const QTextTable*>(child))
                writeTable(table);
            else
                writeFrame(child);
        } else {
            writeBlock(it.currentBlock(), false, "\\par");
        }
    }
}

void Writer::writeTable(const QTextTable* table)
{
    const QTextTableFormat tf = table->format();
    const int rows = table->rows();
    const int columns = table->columns();
    // Right edges of the columns in twips.
    const QList<QTextLength> constraints = tf.columnWidthConstraints();
    std::vector<int> widths(size_t(columns), 0);
    int fixed = 0;
    int variable = 0;
    for (int c = 0; c < columns; ++c) {
        const QTextLength len = c < constraints.size() ? constraints[c] : QTextLength();
        if (len.type() == QTextLength::FixedLength)
            widths[size_t(c)] = std::max(1, twips(len.rawValue()));
        else if (len.type() == QTextLength::PercentageLength)
            widths[size_t(c)] = std::max(1, int(len.rawValue() * kTableTwips / 100));
        else
            ++variable;
        fixed += widths[size_t(c)];
    }
    for (int c = 0; c < columns; ++c)
        if (!widths[size_t(c)])
            widths[size_t(c)] = std::max(300, (kTableTwips - fixed) / std::max(variable, 1));
    const bool border = tf.border() > 0;
    const QByteArray borderWords = "\\brdrs\\brdrw" + QByteArray::number(std::clamp(twips(tf.border()), 1, 75));
    const int gap = std::clamp(twips(tf.cellPadding()), 0, 1440);
    const Qt::Alignment align = tf.alignment() & Qt::AlignHorizontal_Mask;

    for (int r = 0; r < rows; ++r) {
        writeNumber("\\trowd\\trgaph", gap);
        out_ += "\\trleft0";
        if (align & Qt::AlignHCenter)
            out_ += "\\trqc";
        else if (align & (Qt::AlignRight | Qt::AlignTrailing))
            out_ += "\\trqr";
        int right = 0;
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() != r)
                out_ += "\\clvmrg";
            else if (cell.rowSpan() > 1)
                out_ += "\\clvmgf";
            if (cell.column() != c)
                out_ += "\\clmrg";
            else if (cell.columnSpan() > 1)
                out_ += "\\clmgf";
            if (border) {
                for (const char* side : {"\\clbrdrt", "\\clbrdrl", "\\clbrdrb", "\\clbrdrr"}) {
                    out_ += side;
                    out_ += borderWords;
                }
            }
            right += widths[size_t(c)];
            writeNumber("\\cellx", right);
        }
        out_ += "\r\n";
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() != r || cell.column() != c) {
                out_ += "\\pard\\intbl\\cell\r\n";
                continue;
            }
            // Every block of the cell, those of tables inside it included, one after another.
            std::vector<QTextBlock> blocks;
            for (QTextBlock b = doc_.findBlock(cell.firstPosition());
                 b.isValid() && b.position() <= cell.lastPosition(); b = b.next())
                blocks.push_back(b);
            if (blocks.empty()) {
                out_ += "\\pard\\intbl\\cell\r\n";
                continue;
            }
            for (size_t i = 0; i < blocks.size(); ++i)
                writeBlock(blocks[i], true, i + 1 == blocks.size() ? "\\cell" : "\\par");
        }
        out_ += "\\row\r\n";
    }
}

void Writer::writeBlock(const QTextBlock& block, bool inTable, const char* end)
{
    const QTextBlockFormat bf = block.blockFormat();
    out_ += "\\pard";
    if (inTable)
        out_ += "\\intbl";
    const Qt::Alignment align = bf.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter)
        out_ += "\\qc";
    else if (align & Qt::AlignJustify)
        out_ += "\\qj";
    else if (align & (Qt::AlignRight | Qt::AlignTrailing))
        out_ += "\\qr";
    const double left = bf.leftMargin() + bf.indent() * doc_.indentWidth();
    if (const int li = twips(left))
        writeNumber("\\li", li);
    if (const int ri = twips(bf.rightMargin()))
        writeNumber("\\ri", ri);
    if (const int fi = twips(bf.textIndent()))
        writeNumber("\\fi", fi);
    if (const int sb = twips(bf.topMargin()))
        writeNumber("\\sb", sb);
    if (const int sa = twips(bf.bottomMargin()))
        writeNumber("\\sa", sa);
    switch (bf.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (std::lround(bf.lineHeight()) != 100) {
            writeNumber("\\sl", std::lround(bf.lineHeight() * 240 / 100));
            out_ += "\\slmult1";
        }
        break;
    case QTextBlockFormat::MinimumHeight:
        writeNumber("\\sl", twips(bf.lineHeight()));
        out_ += "\\slmult0";
        break;
    case QTextBlockFormat::FixedHeight:
        writeNumber("\\sl", -twips(bf.lineHeight()));
        out_ += "\\slmult0";
        break;
    default: break;
    }
    if (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        out_ += "\\pagebb";

    // Each run is a group of its own (some readers misplace a superscript otherwise).
    int last = -2;
    bool gbk = true;
    if (block.length() == 1) {
        // An empty paragraph keeps the font of its mark, which sets its height.
        out_ += runCode(block.charFormatIndex()).words;
    } else if (QTextList* list = block.textList()) {
        // List numbers are written as the text they show.
        const RunCode& code = runCode(block.begin().fragment().charFormatIndex());
        out_ += '{';
        out_ += code.words;
        writeText(list->itemText(block), code.gbk);
        out_ += "\\tab }";
    }
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        const int index = frag.charFormatIndex();
        if (index != last) {
            const RunCode& code = runCode(index);
            if (last != -2)
                out_ += '}';
            out_ += '{';
            out_ += code.words;
            gbk = code.gbk;
            last = index;
        }
        const QTextCharFormat cf = frag.charFormat();
        if (cf.isImageFormat()) {
            const QTextImageFormat img = cf.toImageFormat();
            for (int i = 0; i < frag.length(); ++i)
                writeImage(img);
            continue;
        }
        writeText(frag.text(), gbk);
    }
    if (last != -2)
        out_ += '}';
    out_ += end;
    out_ += "\r\n";
}

void Writer::writeBytes(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const uint8_t b = p[i];
        if (b < 0x80) {
            if (b == '\\' || b == '{' || b == '}')
                out_ += '\\';
            out_ += char(b);
            continue;
        }
        const bool pair = b >= 0x81 && b <= 0xFE && i + 1 < n;
        const char hex[8] = {'\\',
                             '\'',
                             kHex[b >> 4],
                             kHex[b & 15],
                             '\\',
                             '\'',
                             kHex[pair ? p[i + 1] >> 4 : 0],
                             kHex[pair ? p[i + 1] & 15 : 0]};
        out_.append(hex, pair ? 8 : 4);
        if (pair)
            ++i;
    }
}

// Text in a run: in fonts of the GBK character set as GBK bytes, otherwise ASCII as
// itself; every other character as \uN followed by '?' for readers without Unicode.
void Writer::writeText(QStringView text, bool gbk)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        qsizetype j = i;
        while (j < n) {
            const char16_t c = text[j].unicode();
            if (c >= 0x20 && c < 0x80) {
                ++j;
                continue;
            }
            if (gbk && c > 0xA0 && c != 0xFFFC && c != 0x2028 && c != 0x2029 && !QChar::isSurrogate(c)
                && gbkCanEncode(c)) {
                ++j;
                continue;
            }
            break;
        }
        if (j > i) {
            if (const auto bytes = gbkEncode(text.mid(i, j - i)))
                writeBytes(*bytes);
        }
        if (j >= n)
            break;
        const char16_t c = text[j].unicode();
        switch (c) {
        case u'\t': out_ += "\\tab "; break;
        case 0x2028: out_ += "\\line "; break;
        case 0x2029:
        case u'\n': out_ += "\\par "; break;
        case 0x00A0: out_ += "\\~"; break;
        case 0xFFFC: break;
        default:
            if (c >= 0x20) {
                writeNumber("\\u", c > 0x7FFF ? int(c) - 0x10000 : int(c));
                out_ += '?';
            }
            break;
        }
        i = j + 1;
    }
}

void Writer::writeImage(const QTextImageFormat& fmt)
{
    QByteArray bytes = fmt.property(PictureBytes).toByteArray();
    QByteArray kind = fmt.property(PictureKind).toByteArray();
    if (bytes.isEmpty()) {
        // A picture put in by other means: take it from the document's resources.
        const QVariant res = doc_.resource(QTextDocument::ImageResource, QUrl(fmt.name()));
        QImage image;
        if (res.userType() == QMetaType::QByteArray) {
            bytes = res.toByteArray();
            if (bytes.startsWith("\x89PNG"))
                kind = "pngblip";
            else if (bytes.startsWith("\xFF\xD8"))
                kind = "jpegblip";
            else
                image = QImage::fromData(bytes);
        } else if (res.userType() == QMetaType::QImage) {
            image = res.value<QImage>();
        } else if (res.userType() == QMetaType::QPixmap) {
            image = res.value<QPixmap>().toImage();
        }
        if (kind.isEmpty()) {
            if (image.isNull())
                return;
            bytes.clear();
            QBuffer buf(&bytes);
            buf.open(QIODevice::WriteOnly);
            image.save(&buf, "PNG");
            kind = "pngblip";
        }
    }
    int picw = fmt.intProperty(PictureExtentW);
    int pich = fmt.intProperty(PictureExtentH);
    double width = fmt.width();
    double height = fmt.height();
    if ((kind == "pngblip" || kind == "jpegblip") && (!picw || !pich || width <= 0 || height <= 0)) {
        QBuffer buf(&bytes);
        buf.open(QIODevice::ReadOnly);
        const QSize size = QImageReader(&buf).size();
        if (!picw || !pich) {
            picw = size.width();
            pich = size.height();
        }
        if (width <= 0 && height <= 0) {
            width = size.width();
            height = size.height();
        } else if (width <= 0 && size.height() > 0) {
            width = height * size.width() / size.height();
        } else if (height <= 0 && size.width() > 0) {
            height = width * size.height() / size.width();
        }
    }
    const QByteArray object = fmt.property(PictureObject).toByteArray();
    if (!object.isEmpty()) {
        // The embedded object as it came, with the picture as its result.
        out_ += "{\\object";
        out_ += object;
        out_ += "{\\result ";
    }
    out_ += "{\\pict\\";
    out_ += kind;
    if (picw > 0)
        writeNumber("\\picw", picw);
    if (pich > 0)
        writeNumber("\\pich", pich);
    if (width > 0)
        writeNumber("\\picwgoal", twips(width));
    if (height > 0)
        writeNumber("\\pichgoal", twips(height));
    out_ += "\r\n";
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
    const qsizetype start = out_.size();
    const qsizetype n = bytes.size();
    out_.resize(start + n * 2 + n / 64 * 2);
    char* o = out_.data() + start;
    for (qsizetype i = 0; i < n; ++i) {
        *o++ = kHex[p[i] >> 4];
        *o++ = kHex[p[i] & 15];
        if (i % 64 == 63) {
            *o++ = '\r';
            *o++ = '\n';
        }
    }
    out_ += "}";
    if (!object.isEmpty())
        out_ += "}}";
}

}  // namespace

QString pageNumberText(int page, int pages)
{
    return QStringLiteral("第 %1 页 共 %2 页").arg(page).arg(pages);
}

QByteArray RtfWriter::write(const QTextDocument& doc, const PageSetup* page)
{
    return Writer(doc, page).write();
}

}  // namespace qm
