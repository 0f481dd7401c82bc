#include "describe.h"

#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"
#include "rtf/rtf_writer.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextTable>
#include <gtest/gtest.h>

namespace {

QTextCharFormat charFormat(const QString& family, double size)
{
    QTextCharFormat f;
    f.setFontFamilies({family});
    f.setFontPointSize(size);
    return f;
}

QByteArray pngBytes()
{
    QImage image(5, 4, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    image.save(&buf, "PNG");
    return png;
}

// A document with every kind of content the writer knows.
void buildSample(QTextDocument& doc)
{
    QTextCursor c(&doc);
    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    c.setBlockFormat(centre);
    QTextCharFormat title = charFormat(QStringLiteral("黑体"), 14);
    title.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("二〇二四学年第一学期《生物》"), title);
    QTextBlockFormat indented;
    indented.setLeftMargin(48);
    indented.setRightMargin(16);
    indented.setTextIndent(-24);
    indented.setTopMargin(8);
    indented.setBottomMargin(4);
    indented.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
    c.insertBlock(indented);
    QTextCharFormat body = charFormat(QStringLiteral("宋体"), 10.5);
    c.insertText(QStringLiteral("1．下列{说法}\\正确的是"), body);
    QTextCharFormat f = body;
    f.setFontItalic(true);
    f.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    c.insertText(QStringLiteral("（　　）"), f);
    f = charFormat(QStringLiteral("Times New Roman"), 12);
    f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    c.insertText(QStringLiteral("H"), charFormat(QStringLiteral("Times New Roman"), 12));
    c.insertText(QStringLiteral("2"), f);
    f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    f.setFontStrikeOut(true);
    f.setForeground(QColor(200, 0, 0));
    f.setBackground(QColor(255, 255, 0));
    c.insertText(QString::fromUtf16(u"é×α\U0001F600\t"), f);
    f = body;
    f.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    c.insertText(QString::fromUtf16(u"鿰\u00A0x\u2028y"), f);  // a character GBK lacks, a line break
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    c.insertBlock(right, body);  // an empty paragraph
    c.insertBlock(QTextBlockFormat(), body);
    qm::addPicture(c, pngBytes(), "pngblip", 50, 40);
    c.insertText(QStringLiteral("图"), body);
    qm::addPicture(c, QByteArray("\x01\x02\x03"), "emfblip", 30, 20, 1000, 800);
    QTextTableFormat tf;
    tf.setBorder(1);
    tf.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 100), QTextLength(QTextLength::FixedLength, 60),
                                  QTextLength(QTextLength::FixedLength, 80)});
    QTextTable* t = c.insertTable(3, 3, tf);
    t->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("题号"), body);
    t->cellAt(0, 1).firstCursorPosition().insertText(QStringLiteral("一"), body);
    t->mergeCells(0, 1, 1, 2);
    QTextCursor cell = t->cellAt(1, 0).firstCursorPosition();
    cell.insertText(QStringLiteral("得分"), body);
    cell.insertBlock(centre, body);
    cell.insertText(QStringLiteral("第二段"), body);
    t->cellAt(1, 2).firstCursorPosition().insertText(QStringLiteral("竖"), body);
    t->mergeCells(1, 2, 2, 1);
    c.movePosition(QTextCursor::End);
    c.insertText(QStringLiteral("完"), body);
}

}  // namespace

TEST(RtfWriter, HeaderTextAndEscapes)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QString::fromUtf16(u"中{a}\\b鿰"), charFormat(QStringLiteral("宋体"), 10.5));
    c.insertText(QString::fromUtf16(u"中é"), charFormat(QStringLiteral("Arial"), 10.5));
    const QByteArray rtf = qm::RtfWriter::write(doc);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936\\deff0"));
    EXPECT_TRUE(rtf.contains("\\fcharset134 " + gbkHex(QStringLiteral("宋体")) + ";"));
    EXPECT_TRUE(rtf.contains("\\fcharset0 Arial;"));
    // GBK text as byte pairs in the Chinese font, \u with a fallback elsewhere.
    EXPECT_TRUE(rtf.contains(gbkHex(QStringLiteral("中")) + "\\{a\\}\\\\b\\u-24592?"));
    EXPECT_TRUE(rtf.contains("\\u20013?\\u233?"));
    EXPECT_TRUE(rtf.trimmed().endsWith('}'));
}

TEST(RtfWriter, RoundTripKeepsTextAndFormatting)
{
    QTextDocument doc;
    buildSample(doc);
    const QByteArray first = qm::RtfWriter::write(doc);
    QTextDocument back;
    qm::RtfReader::read(first, &back);
    EXPECT_EQ(back.toPlainText(), doc.toPlainText());
    EXPECT_EQ(describe(back).toStdString(), describe(doc).toStdString());
    // Pictures keep their bytes and their kind.
    QTextCursor c(&back);
    c.setPosition(back.toPlainText().indexOf(QStringLiteral("图")));
    EXPECT_EQ(c.charFormat().property(qm::PictureBytes).toByteArray(), pngBytes());
    c.setPosition(c.position() + 2);
    EXPECT_EQ(c.charFormat().property(qm::PictureKind).toByteArray(), "emfblip");
    EXPECT_EQ(c.charFormat().property(qm::PictureExtentW).toInt(), 1000);
    // Read, written and read again: the same bytes.
    EXPECT_EQ(qm::RtfWriter::write(back), first);
}

TEST(RtfWriter, EmptyAndTableFirstDocuments)
{
    QTextDocument empty;
    QTextDocument back;
    qm::RtfReader::read(qm::RtfWriter::write(empty), &back);
    EXPECT_EQ(back.blockCount(), 1);
    EXPECT_EQ(back.toPlainText(), "");

    QTextDocument tableFirst;
    QTextCursor(&tableFirst)
        .insertTable(1, 2)
        ->cellAt(0, 1)
        .firstCursorPosition()
        .insertText("b", charFormat("Arial", 9));
    qm::RtfReader::read(qm::RtfWriter::write(tableFirst), &back);
    EXPECT_EQ(describe(back).toStdString(), describe(tableFirst).toStdString());
    EXPECT_EQ(back.blockCount(), tableFirst.blockCount());

    QTextDocument blanks;
    blanks.setPlainText("\n\na\n\n");
    qm::RtfReader::read(qm::RtfWriter::write(blanks), &back);
    EXPECT_EQ(back.toPlainText(), "\n\na\n\n");
}

TEST(RtfWriter, PageBreaksReadFromRtfAreWrittenBack)
{
    // As a word processor writes them: within a paragraph, twice in a row (an empty page),
    // before a table and at the very end.
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 " + gbkHex(QStringLiteral("宋体"))
                           + ";}}\\f0 " + gbkHex(QStringLiteral("第一页")) + "\\page "
                           + gbkHex(QStringLiteral("第二页")) + "\\par " + gbkHex(QStringLiteral("仍是第二页"))
                           + "\\page\\page " + gbkHex(QStringLiteral("第四页"))
                           + "\\par\\page\\pard\\trowd\\cellx2000\\intbl " + gbkHex(QStringLiteral("表"))
                           + "\\cell\\row\\pard " + gbkHex(QStringLiteral("表后")) + "\\page}";
    // Each paragraph's text, marked "/" where a new page begins before it.
    const auto pages = [](const QTextDocument& doc) {
        QStringList blocks;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            blocks << ((b.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) ? "/" : "") + b.text();
        return blocks;
    };
    QTextDocument read;
    qm::RtfReader::read(rtf, &read);
    // The last break begins a page that holds only the document's final paragraph mark.
    const QStringList expected{"第一页", "/第二页", "仍是第二页", "/", "/第四页", "", "/表", "表后", "/"};
    EXPECT_EQ(pages(read), expected);

    const QByteArray written = qm::RtfWriter::write(read);
    QTextDocument back;
    qm::RtfReader::read(written, &back);
    EXPECT_EQ(pages(back), expected) << written.toStdString();
    EXPECT_EQ(qm::RtfWriter::write(back), written);
}

TEST(RichText, PlainTextHelpers)
{
    const QByteArray rtf =
        qm::rtfFromPlainText(QStringLiteral("第一题\r\n（A）甲\r（B）乙\n"), QStringLiteral("黑体"), 12);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936\\deff0"));
    EXPECT_EQ(qm::rtfPlainText(rtf), QStringLiteral("第一题\n（A）甲\n（B）乙\n"));
    QTextDocument doc;
    qm::RtfReader::read(rtf, &doc);
    QTextCursor c(&doc);
    c.setPosition(1);
    EXPECT_EQ(c.charFormat().fontFamilies().toStringList(), QStringList{QStringLiteral("黑体")});
    EXPECT_DOUBLE_EQ(c.charFormat().fontPointSize(), 12);
    EXPECT_EQ(qm::rtfPlainText(qm::rtfFromPlainText(QString())), "");
    EXPECT_TRUE(qm::rtfFromPlainText("x").contains(gbkHex(QStringLiteral("宋体"))));
    EXPECT_TRUE(qm::rtfFromPlainText("x").contains("\\fs21"));
}

TEST(RichText, InsertDocumentCarriesPictures)
{
    QTextDocument src;
    buildSample(src);
    QTextDocument dst;
    QTextCursor c(&dst);
    c.insertText(QStringLiteral("答："));
    qm::insertDocument(c, src);
    c.insertText(QStringLiteral("尾"));
    EXPECT_EQ(dst.toPlainText(), QStringLiteral("答：") + src.toPlainText() + QStringLiteral("尾"));
    QTextCursor img(&dst);
    img.setPosition(dst.toPlainText().indexOf(QStringLiteral("图")));
    const QString name = img.charFormat().toImageFormat().name();
    EXPECT_EQ(QImage::fromData(dst.resource(QTextDocument::ImageResource, QUrl(name)).toByteArray()).size(),
              QSize(5, 4));
}

TEST(RichText, CjkFontNames)
{
    EXPECT_TRUE(qm::isCjkFontName(QStringLiteral("楷体_GB2312")));
    EXPECT_TRUE(qm::isCjkFontName("SimSun"));
    EXPECT_TRUE(qm::isCjkFontName("Noto Sans CJK SC"));
    EXPECT_FALSE(qm::isCjkFontName("Times New Roman"));
    EXPECT_FALSE(qm::isCjkFontName("Arial"));
}

TEST(RtfWriter, APaperStatesItsPageAndNumbersItsPages)
{
    using namespace qm;
    QTextDocument doc;
    QTextCursor(&doc).insertText(QStringLiteral("一、单选题"));
    EXPECT_FALSE(RtfWriter::write(doc).contains("\\paperw"));
    PageSetup page;
    page.pageNumbers = true;
    const QByteArray rtf = RtfWriter::write(doc, &page);
    // A4 portrait, 25 mm at the sides and 20 mm at the top and bottom, in twips.
    EXPECT_TRUE(rtf.contains("\\paperw11906\\paperh16838\\margl1417\\margr1417\\margt1134\\margb1134"))
        << rtf.toStdString();
    // "第 1 页 共 N 页" as fields in the footer, so that they stay right after edits.
    EXPECT_TRUE(rtf.contains("{\\footer")) << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}"));
    EXPECT_TRUE(rtf.contains("{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}"));
    // The footer is no text of the document.
    QTextDocument back;
    RtfReader::read(rtf, &back);
    EXPECT_EQ(back.toPlainText(), QStringLiteral("一、单选题"));

    page.landscape = true;
    page.pageNumbers = false;
    const QByteArray wide = RtfWriter::write(doc, &page);
    EXPECT_TRUE(wide.contains("\\paperw16838\\paperh11906")) << wide.toStdString();
    EXPECT_TRUE(wide.contains("\\landscape"));
    EXPECT_FALSE(wide.contains("\\footer"));
}
