#include "describe.h"

#include "core/gbk.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextTable>
#include <gtest/gtest.h>

namespace {

QString read(const QByteArray& rtf, QTextDocument& doc)
{
    qm::RtfReader::read(rtf, &doc);
    return doc.toPlainText();
}

// Format of the character `offset` of the first occurrence of `text`.
QTextCharFormat formatOf(const QTextDocument& doc, const QString& text, int offset = 0)
{
    const QTextCursor found = doc.find(text);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(found.selectionStart() + offset + 1);
    return c.charFormat();
}

QString family(const QTextCharFormat& f)
{
    const QStringList l = f.fontFamilies().toStringList();
    return l.isEmpty() ? QString() : l.first();
}

QTextTable* firstTable(QTextDocument& doc)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        if (QTextTable* t = QTextCursor(b).currentTable())
            return t;
    return nullptr;
}

const QByteArray kRichEditHead =
    "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil\\fcharset134 "
    + gbkHex(QStringLiteral("宋体")) + ";}{\\f1\\fnil\\fcharset134 " + gbkHex(QStringLiteral("黑体"))
    + ";}{\\f2\\fswiss\\fcharset0 Arial;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
      "\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs18 ";

}  // namespace

TEST(RtfReader, RichEditDocumentWithGbkText)
{
    const QByteArray rtf = kRichEditHead + gbkHex(QStringLiteral("下列说法")) + "\\b " + gbkHex(QStringLiteral("正确"))
                           + "\\b0 \\f1\\fs28\\i " + gbkHex(QStringLiteral("的是"))
                           + "\\i0\\f2\\fs20\\ul abc\\ulnone  x\\par\r\n\\f0 " + gbkHex(QStringLiteral("第二"))
                           + "\\par\r\n}";
    QTextDocument doc;
    EXPECT_EQ(read(rtf, doc), QStringLiteral("下列说法正确的是abc x\n第二"));
    const QTextCharFormat first = formatOf(doc, QStringLiteral("下列"));
    EXPECT_EQ(family(first), QStringLiteral("宋体"));
    EXPECT_DOUBLE_EQ(first.fontPointSize(), 9);
    EXPECT_FALSE(first.fontWeight() > QFont::Medium);
    EXPECT_EQ(formatOf(doc, QStringLiteral("正确")).fontWeight(), QFont::Bold);
    const QTextCharFormat hei = formatOf(doc, QStringLiteral("的是"));
    EXPECT_EQ(family(hei), QStringLiteral("黑体"));
    EXPECT_DOUBLE_EQ(hei.fontPointSize(), 14);
    EXPECT_TRUE(hei.fontItalic());
    const QTextCharFormat arial = formatOf(doc, QStringLiteral("abc"));
    EXPECT_EQ(family(arial), QStringLiteral("Arial"));
    EXPECT_EQ(arial.underlineStyle(), QTextCharFormat::SingleUnderline);
    EXPECT_EQ(formatOf(doc, QStringLiteral("x")).underlineStyle(), QTextCharFormat::NoUnderline);
    // The trailing \par ends the last paragraph instead of starting an empty one.
    EXPECT_EQ(doc.blockCount(), 2);
}

TEST(RtfReader, GbkPairsSplitByLineBreaksAndCodePages)
{
    // A double-byte pair broken over two lines; a Big5 font; a Western font; \cpg.
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 A;}{\\f1\\fcharset136 B;}{\\f2\\fcharset0 C;}"
        "{\\f3\\cpg1251 D;}{\\f4\\fcharset2 Symbol;}}\\f0 \\'d6\r\n\\'d0|\\f1 \\'a4\\'a4|\\f2 caf\\'e9 \\'93q\\'94|"
        "\\f3 \\'c4\\'e0|\\f4 \\'61\\'b4\\u-3998 ?}";
    QTextDocument doc;
    EXPECT_EQ(read(rtf, doc), QStringLiteral("中|中|café “q”|Да|α×β"));
}

TEST(RtfReader, UnicodeEscapesSkipTheirFallbacks)
{
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg936 a\\u20013\\'3fb\\uc2\\u22269\\'b9\\'fac{\\uc0\\u25991 d}"
                           "\\u-10179\\'3f\\'3f\\u-8704??e\\uc1\\u8364?}";
    QTextDocument doc;
    // \uc applies to its group: after the inner group the skip count is 2 again.
    EXPECT_EQ(read(rtf, doc), QString::fromUtf16(u"a中b国c文d\U0001F600e€"));
}

TEST(RtfReader, CharacterFormatting)
{
    const QByteArray rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Times;}}{\\colortbl;\\red255\\green0\\blue0;\\red255\\green255\\blue0;}"
        "H{\\sub 2}O x{\\super 2} y{\\up6 3}{\\dn4 4}{\\super s\\nosupersub n} {\\strike gone}{\\striked1 dd}"
        " {\\cf1 red}{\\highlight2 hi}{\\chcbpat2 cb} {\\b\\i\\ul\\fs40 all\\plain none}"
        " {\\uldb db}{\\uldash dash}{\\ulwave wave}{\\ul0 off}{\\b0 nb}{\\v hidden}shown}";
    QTextDocument doc;
    EXPECT_EQ(read(rtf, doc), QStringLiteral("H2O x2 y34sn gonedd redhicb allnone dbdashwaveoffnbshown"));
    EXPECT_EQ(formatOf(doc, "2O").verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(formatOf(doc, "2 y").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(formatOf(doc, "3").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(formatOf(doc, "4").verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(formatOf(doc, "n ").verticalAlignment(), QTextCharFormat::AlignNormal);
    EXPECT_TRUE(formatOf(doc, "gone").fontStrikeOut());
    EXPECT_TRUE(formatOf(doc, "dd").fontStrikeOut());
    EXPECT_EQ(formatOf(doc, "red").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatOf(doc, "hi").background().color(), QColor(255, 255, 0));
    EXPECT_EQ(formatOf(doc, "cb").background().color(), QColor(255, 255, 0));
    const QTextCharFormat all = formatOf(doc, "all");
    EXPECT_TRUE(all.fontWeight() > QFont::Medium && all.fontItalic() && all.fontUnderline());
    EXPECT_DOUBLE_EQ(all.fontPointSize(), 20);
    const QTextCharFormat none = formatOf(doc, "none");
    EXPECT_FALSE(none.fontWeight() > QFont::Medium || none.fontItalic() || none.fontUnderline());
    EXPECT_DOUBLE_EQ(none.fontPointSize(), 12);
    EXPECT_EQ(family(none), "Times");
    EXPECT_EQ(formatOf(doc, "db").underlineStyle(), QTextCharFormat::SingleUnderline);
    EXPECT_EQ(formatOf(doc, "dash").underlineStyle(), QTextCharFormat::DashUnderline);
    EXPECT_EQ(formatOf(doc, "wave").underlineStyle(), QTextCharFormat::WaveUnderline);
    EXPECT_EQ(formatOf(doc, "off").underlineStyle(), QTextCharFormat::NoUnderline);
}

TEST(RtfReader, ParagraphsAndSpecialCharacters)
{
    const QByteArray rtf = "{\\rtf1\\ansi \\pard\\qc centre\\par\\pard\\qr\\li720\\ri360\\fi-360\\sb240\\sa120 right"
                           "\\par\\pard\\qj a\\tab b\\line c\\emdash\\endash\\~\\{\\}\\\\\\bullet\\ldblquote\\rdblquote"
                           "\\-\\_\\par \\pard left\\page next\\par\\par}";
    QTextDocument doc;
    EXPECT_EQ(read(rtf, doc), QString::fromUtf16(u"centre\nright\na\tb\nc—–\u00A0{}\\•“”\u2011\nleft\nnext\n")
                                  .replace(QStringLiteral("\u00A0"), QStringLiteral(" ")));
    const QTextBlock centre = doc.begin();
    EXPECT_EQ(centre.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QTextBlockFormat right = centre.next().blockFormat();
    EXPECT_EQ(right.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_DOUBLE_EQ(right.leftMargin(), 48);
    EXPECT_DOUBLE_EQ(right.rightMargin(), 24);
    EXPECT_DOUBLE_EQ(right.textIndent(), -24);
    EXPECT_DOUBLE_EQ(right.topMargin(), 16);
    EXPECT_DOUBLE_EQ(right.bottomMargin(), 8);
    EXPECT_TRUE(centre.next().next().text().contains(QChar::LineSeparator));
    EXPECT_EQ(centre.next().next().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    const QTextBlock next = doc.findBlockByNumber(4);
    EXPECT_EQ(next.text(), "next");
    EXPECT_TRUE(next.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
    EXPECT_EQ(doc.blockCount(), 6);  // "next\par\par": one empty paragraph after it
}

TEST(RtfReader, DestinationsThatAreNotText)
{
    const QByteArray rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 A{\\*\\panose 020b}{\\*\\falt B};}}{\\stylesheet{\\s1 Heading;}}"
        "{\\info{\\title T}{\\author Me}}{\\*\\generator G;}{\\header head}{\\footnote note}"
        "{\\*\\unknown {nested \\} text} more}{\\*\\bkmkstart x}"
        "a{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}b{\\upr{ansi}{\\*\\ud{uni}}}c"
        "{\\object{\\*\\objdata 0102}{\\result res}}{\\*\\pn\\pnlvlbody{\\pntxta .}}{\\pntext 1.\\tab}item"
        "{\\*\\shppict{\\pict\\pngblip}}{\\nonshppict{\\pict\\wmetafile8 0102}}"
        "{\\*\\bin5 }}}}}end}";
    QTextDocument doc;
    EXPECT_EQ(read(rtf, doc), "alinkbunicres1.\titemend");
    EXPECT_EQ(family(formatOf(doc, "a")), "A");
}

TEST(RtfReader, Tables)
{
    const QByteArray rtf =
        "{\\rtf1\\ansi before\\par\\trowd\\trgaph108\\trqc\\clbrdrt\\brdrs\\brdrw10\\cellx1500\\clbrdrt\\brdrs\\cellx4500"
        "\\pard\\intbl a1\\cell\\pard\\intbl\\qc b1\\par b1 second\\cell\\row"
        "\\trowd\\cellx1500\\cellx4500\\pard\\intbl a2\\cell b2\\cell\\row"
        "\\pard after\\par}";
    QTextDocument doc;
    EXPECT_EQ(read(rtf, doc), "before\na1\nb1\nb1 second\na2\nb2\nafter");
    QTextTable* t = firstTable(doc);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->rows(), 2);
    EXPECT_EQ(t->columns(), 2);
    EXPECT_EQ(t->cellAt(0, 1).firstCursorPosition().block().text(), "b1");
    EXPECT_EQ(t->cellAt(0, 1).firstCursorPosition().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_EQ(t->cellAt(1, 1).firstCursorPosition().block().text(), "b2");
    const QTextTableFormat tf = t->format();
    EXPECT_GT(tf.border(), 0);
    EXPECT_EQ(tf.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    ASSERT_EQ(tf.columnWidthConstraints().size(), 2);
    EXPECT_DOUBLE_EQ(tf.columnWidthConstraints()[0].rawValue(), 100);
    EXPECT_DOUBLE_EQ(tf.columnWidthConstraints()[1].rawValue(), 200);
    EXPECT_EQ(doc.firstBlock().text(), "before");
    EXPECT_EQ(doc.lastBlock().text(), "after");
    EXPECT_FALSE(QTextCursor(doc.lastBlock()).currentTable());
}

TEST(RtfReader, MergedCellsAndRaggedRows)
{
    const QByteArray rtf =
        "{\\rtf1\\ansi\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\clvmgf\\cellx3000\\intbl wide\\cell\\cell tall\\cell\\row"
        "\\trowd\\cellx1000\\cellx2000\\clvmrg\\cellx3000\\intbl x\\cell y\\cell\\cell\\row"
        "\\trowd\\cellx1000\\intbl p\\cell q\\cell r\\cell s\\cell\\row}";
    QTextDocument doc;
    read(rtf, doc);
    QTextTable* t = firstTable(doc);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->rows(), 3);
    EXPECT_EQ(t->columns(), 4);  // the last row has more cells than the first defined
    EXPECT_EQ(t->cellAt(0, 0).columnSpan(), 2);
    EXPECT_EQ(t->cellAt(0, 2).rowSpan(), 2);
    EXPECT_EQ(t->cellAt(1, 2).row(), 0);
    EXPECT_EQ(t->cellAt(2, 3).firstCursorPosition().block().text(), "s");
}

TEST(RtfReader, Pictures)
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    image.save(&buf, "PNG");
    const QByteArray rtf = "{\\rtf1\\ansi a{\\pict\\pngblip\\picw4\\pich3\\picwgoal600\\pichgoal450 " + png.toHex()
                           + "}b{\\pict\\wmetafile8\\picw2540\\pich1270 0102\r\n0304}"
                             "c{\\pict\\jpegblip\\bin3 xyz}d}";
    QTextDocument doc;
    EXPECT_EQ(read(rtf, doc), QString::fromUtf16(u"a\uFFFCb\uFFFCc\uFFFCd"));
    const QTextImageFormat pngFmt = formatOf(doc, QString(QChar(0xFFFC))).toImageFormat();
    EXPECT_DOUBLE_EQ(pngFmt.width(), 40);
    EXPECT_DOUBLE_EQ(pngFmt.height(), 30);
    EXPECT_EQ(pngFmt.property(qm::PictureBytes).toByteArray(), png);
    const QVariant res = doc.resource(QTextDocument::ImageResource, QUrl(pngFmt.name()));
    EXPECT_EQ(QImage::fromData(res.toByteArray()).size(), QSize(4, 3));

    QTextCursor c(&doc);
    c.setPosition(doc.toPlainText().indexOf('b') + 2);
    const QTextImageFormat wmf = c.charFormat().toImageFormat();
    EXPECT_EQ(wmf.property(qm::PictureKind).toByteArray(), "wmetafile8");
    EXPECT_EQ(wmf.property(qm::PictureBytes).toByteArray(), QByteArray("\x01\x02\x03\x04"));
    EXPECT_DOUBLE_EQ(wmf.width(), 96);  // 2540 hundredths of a millimetre = 1 inch
    // The placeholder shown for a picture kind Qt cannot draw.
    EXPECT_FALSE(doc.resource(QTextDocument::ImageResource, QUrl(wmf.name())).value<QImage>().isNull());
    c.setPosition(doc.toPlainText().indexOf('c') + 2);
    EXPECT_EQ(c.charFormat().property(qm::PictureBytes).toByteArray(), "xyz");
}

TEST(RtfReader, MalformedInputIsReadAsFarAsPossible)
{
    QTextDocument doc;
    EXPECT_EQ(read("{\\rtf1 abc{\\b def", doc), "abcdef");  // ends inside groups
    EXPECT_EQ(read("{\\rtf1 abc}}} def", doc), "abc");      // text after the end
    EXPECT_EQ(read("{\\rtf1 a\\fs999999999999999999 b\\li-99999999999 c\\uc99999 d}", doc), "abcd");
    EXPECT_TRUE(read("{\\rtf1 x{\\pict\\pngblip\\bin99999999999 }", doc).startsWith("x"));
    EXPECT_EQ(read("{\\rtf1 a\\", doc), "a");
    EXPECT_EQ(read("{\\rtf1 a\\'", doc), "a");
    EXPECT_EQ(read("{\\rtf1 a\\'zz\\'4", doc), "azz4");
    EXPECT_EQ(read("{\\rtf1 a\\u", doc), "a");
    EXPECT_EQ(read("{\\rtf1 \\cell\\row\\cell x\\row\\intbl y}", doc).remove('\n'), "xy");
    EXPECT_EQ(read("{\\rtf1 {\\fonttbl{\\f0\\fcharset134 \\'}}}}z}", doc), "");
    EXPECT_EQ(read("{\\rtf1 \\cf99\\highlight-5\\f77 text}", doc), "text");

    QByteArray deep = "{\\rtf1 start";
    deep += QByteArray(100000, '{') + "deep" + QByteArray(100000, '}') + " end}";
    EXPECT_EQ(read(deep, doc), "startdeep end");

    QByteArray wide = "{\\rtf1 \\trowd";
    for (int i = 0; i < 5000; ++i)
        wide += "\\cellx" + QByteArray::number(i * 10);
    wide += "\\intbl " + QByteArray(2000, 'c').replace("c", "c\\cell ") + "\\row}";
    read(wide, doc);
    QTextTable* t = firstTable(doc);
    ASSERT_TRUE(t);
    EXPECT_LE(t->columns(), 63);
    EXPECT_EQ(doc.toPlainText().count('c'), 2000);

    QByteArray rows = "{\\rtf1 \\trowd\\cellx1";
    for (int i = 0; i < 63; ++i)
        rows += "\\cellx" + QByteArray::number(i + 2);
    rows += QByteArray("\\intbl a\\cell\\row").repeated(20000) + "}";
    read(rows, doc);  // stays within its cell budget
    EXPECT_EQ(doc.toPlainText().count('a'), 20000);
}

TEST(RtfReader, PlainTextIsReadAsGbk)
{
    QTextDocument doc;
    const QByteArray gbk = *qm::gbkEncode(QStringLiteral("第一行\r\n第二行\n\r第四行"));
    EXPECT_EQ(read(gbk, doc), QStringLiteral("第一行\n第二行\n\n第四行"));
    EXPECT_EQ(doc.blockCount(), 4);
    EXPECT_EQ(read("\xEF\xBB\xBF" + QStringLiteral("统一码").toUtf8(), doc), QStringLiteral("统一码"));
    EXPECT_EQ(read("", doc), "");
    EXPECT_EQ(read("{\\rtx not rtf", doc), "{\\rtx not rtf");
}

TEST(RtfReader, LibreOfficeExport)
{
    QFile f(QStringLiteral(QM_RTF_FIXTURES "/libreoffice_sample.rtf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QTextDocument doc;
    EXPECT_EQ(read(f.readAll(), doc),
              QStringLiteral("中文段落 plain text 甲乙丙\n粗体斜体下划线删除线 H2O x2\n右对齐红色黑体\n"
                             "缩进段落 € ☃  end\n甲\n乙\n丙\n丁\u2028戊\n高亮 after table")
                  .replace(QChar(0x2028), QLatin1Char('\n')));
    // Chinese text takes the double-byte font (\dbch\af), Latin text the ordinary one.
    const QTextCharFormat zh = formatOf(doc, QStringLiteral("中文"));
    EXPECT_DOUBLE_EQ(zh.fontPointSize(), 10.5);
    EXPECT_EQ(family(formatOf(doc, QStringLiteral(" plain"))), "Liberation Serif");
    EXPECT_EQ(formatOf(doc, QStringLiteral("粗体")).fontWeight(), QFont::Bold);  // \dbch\ab
    EXPECT_TRUE(formatOf(doc, QStringLiteral("斜体")).fontItalic());
    EXPECT_TRUE(formatOf(doc, QStringLiteral("下划线")).fontUnderline());
    EXPECT_TRUE(formatOf(doc, QStringLiteral("删除线")).fontStrikeOut());
    EXPECT_EQ(formatOf(doc, QStringLiteral("2O")).verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(formatOf(doc, QStringLiteral("O x2"), 3).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    const QTextCharFormat red = formatOf(doc, QStringLiteral("右对齐"));
    EXPECT_EQ(red.foreground().color(), QColor(255, 0, 0));
    EXPECT_DOUBLE_EQ(red.fontPointSize(), 14);
    EXPECT_EQ(formatOf(doc, QStringLiteral("高亮")).background().color(), QColor(255, 255, 0));
    EXPECT_EQ(doc.findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_DOUBLE_EQ(doc.findBlockByNumber(3).blockFormat().leftMargin(), 96);
    QTextTable* t = firstTable(doc);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->rows(), 2);
    EXPECT_EQ(t->columns(), 2);
}

// A rich-edit style question, and the same after our writer and a LibreOffice round trip:
// both read to the same text and formatting.
TEST(RtfReader, RichEditPaperAndItsLibreOfficeResave)
{
    for (const char* name : {"/richedit_paper.rtf", "/libreoffice_resaved.rtf"}) {
        SCOPED_TRACE(name);
        QFile f(QStringLiteral(QM_RTF_FIXTURES) + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QTextDocument doc;
        EXPECT_EQ(
            read(f.readAll(), doc),
            QStringLiteral(
                "一、选择题\n1.下列物质中，属于纯净物的是（　　）\nA.空气\tB.H2O\tC.x2\tD.海水\n题号\n得分\n答：缩进的段落"));
        const QTextCharFormat title = formatOf(doc, QStringLiteral("选择题"));
        EXPECT_EQ(family(title), QStringLiteral("黑体"));
        EXPECT_DOUBLE_EQ(title.fontPointSize(), 14);
        EXPECT_EQ(title.fontWeight(), QFont::Bold);
        EXPECT_EQ(doc.firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        EXPECT_EQ(family(formatOf(doc, QStringLiteral("下列"))), QStringLiteral("宋体"));
        EXPECT_DOUBLE_EQ(formatOf(doc, QStringLiteral("下列")).fontPointSize(), 10.5);
        EXPECT_TRUE(formatOf(doc, QStringLiteral("纯净物")).fontUnderline());
        EXPECT_FALSE(formatOf(doc, QStringLiteral("的是")).fontUnderline());
        EXPECT_EQ(formatOf(doc, QStringLiteral("H2O"), 1).verticalAlignment(), QTextCharFormat::AlignSubScript);
        EXPECT_EQ(formatOf(doc, QStringLiteral("x2"), 1).verticalAlignment(), QTextCharFormat::AlignSuperScript);
        const QTextCharFormat sea = formatOf(doc, QStringLiteral("海水"));
        EXPECT_TRUE(sea.fontItalic());
        EXPECT_EQ(sea.foreground().color(), QColor(255, 0, 0));
        QTextTable* t = firstTable(doc);
        ASSERT_TRUE(t);
        EXPECT_EQ(t->columns(), 2);
        EXPECT_GT(t->format().border(), 0);
        const QTextBlockFormat last = doc.lastBlock().blockFormat();
        EXPECT_DOUBLE_EQ(last.leftMargin(), 28);
        EXPECT_DOUBLE_EQ(last.textIndent(), -28);
    }
}
