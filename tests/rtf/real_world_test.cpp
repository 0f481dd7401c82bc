// What word processors write beyond our own files: table styles and the other row words
// of newer writers, \* inside a group, nested tables, pictures in shapes, list tables.

#include "describe.h"

#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"
#include "rtf/rtf_writer.h"
#include "support/qstring_print.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextTable>
#include <gtest/gtest.h>

namespace {

QString text(const QByteArray& rtf)
{
    QTextDocument doc;
    qm::RtfReader::read(rtf, &doc);
    return doc.toPlainText();
}

QList<QTextTable*> tablesOf(QTextDocument& doc)
{
    QList<QTextTable*> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        if (QTextTable* t = QTextCursor(b).currentTable(); t && !out.contains(t))
            out << t;
    return out;
}

QString cellText(QTextTable* t, int row, int col)
{
    QTextCursor c = t->cellAt(row, col).firstCursorPosition();
    c.setPosition(t->cellAt(row, col).lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return c.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
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

QByteArray pngHex()
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    image.save(&buf, "PNG");
    return png.toHex();
}

}  // namespace

TEST(RtfRealWorld, TableStylesAndOtherRowWordsKeepTheRestOfTheDocument)
{
    // The short case, and a row as newer word processors write it: a table-style index in
    // the row definition, a paragraph's table style (\yts), widths, paddings, indents.
    EXPECT_EQ(text("{\\rtf1\\ansi Title\\par \\trowd\\ts19\\cellx2000\\pard\\intbl A\\cell\\row \\pard After\\par}"),
              "Title\nA\nAfter");
    const QByteArray word2003 =
        "{\\rtf1\\ansi\\ansicpg1252{\\stylesheet{\\ql \\snext0 Normal;}{\\*\\ts11\\tsrowd\\trftsWidthB3"
        "\\trpaddl108\\tscellwidthfts0\\tsvertalt\\tsbrdrt\\tsbrdrl Normal Table;}}"
        "Title\\par\\trowd \\irow0\\irowband0\\ltrrow\\ts18\\trqc\\trgaph70\\trleft-108\\trftsWidth1"
        "\\trpaddl108\\trpaddr108\\trpaddfl3\\trpaddfr3\\tblind0\\tblindtype3 \\clvertalt\\clbrdrt\\brdrs\\brdrw10"
        "\\cltxlrtb\\clftsWidth3\\clwWidth2000\\tscellpct0\\cellx2000\\clftsWidth3\\clwWidth2000\\cellx4000"
        "\\pard\\plain \\ltrpar\\ql\\intbl\\yts18\\tsrowd A1\\cell B1\\cell\\pard\\plain\\intbl"
        "{\\trowd\\irow0\\ts18\\trqc\\cellx2000\\cellx4000\\row}\\pard\\plain After{\\tsbrdrdgl x}\\par}";
    QTextDocument doc;
    qm::RtfReader::read(word2003, &doc);
    EXPECT_EQ(doc.toPlainText(), "Title\nA1\nB1\nAfterx");
    const QList<QTextTable*> tables = tablesOf(doc);
    ASSERT_EQ(tables.size(), 1);
    EXPECT_EQ(tables[0]->columns(), 2);
    EXPECT_GT(tables[0]->format().border(), 0);
    // Unknown words, star or not, never end a group early.
    EXPECT_EQ(text("{\\rtf1 a{\\foo b\\bar1 c{\\baz d}e}f\\qux{g}}"), "abcdefg");
}

TEST(RtfRealWorld, StarMarksADestinationOnlyRightAfterABrace)
{
    EXPECT_EQ(text("{\\rtf1\\ansi x{\\b\\*\\cs7 text}y}"), "xtexty");
    EXPECT_EQ(text("{\\rtf1\\ansi a\\*b{\\*\\unknown skipped}{ \\*\\cs1 kept}c}"), "ab keptc");
    // A known destination opens its group; after text it is a stray word.
    EXPECT_EQ(text("{\\rtf1\\ansi {\\info{\\title T}}{\\b bold \\footnote kept}}"), "bold kept");
}

TEST(RtfRealWorld, NestedTablesAreTablesInCellsAndTheirFallbackIsSkipped)
{
    // As word processors write them: the nested row's definition after its cells, in
    // \nesttableprops, with a fallback for readers without nested tables; the outer row's
    // definition repeated before its \row.
    const QByteArray rtf =
        "{\\rtf1\\ansi \\trowd\\cellx3000\\cellx6000\\pard\\intbl Outer A\\cell"
        "\\pard\\intbl\\itap2 In 1\\nestcell In 2\\nestcell"
        "{\\*\\nesttableprops\\trowd\\clbrdrt\\brdrs\\cellx1000\\cellx2500\\nestrow}{\\nonesttables In 1\\tab In 2\\par}"
        "\\pard\\intbl\\itap2 In 3\\nestcell In 4\\nestcell"
        "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2500\\nestrow}{\\nonesttables In 3\\tab In 4\\par}"
        "\\pard\\intbl\\itap1 below\\cell\\trowd\\cellx3000\\cellx6000\\row\\pard After\\par}";
    QTextDocument doc;
    qm::RtfReader::read(rtf, &doc);
    const QString plain = doc.toPlainText();
    for (const char* cell : {"In 1", "In 2", "In 3", "In 4"})
        EXPECT_EQ(plain.count(QLatin1String(cell)), 1) << cell;
    const QList<QTextTable*> tables = tablesOf(doc);
    ASSERT_EQ(tables.size(), 2);
    QTextTable* outer = tables[0];
    QTextTable* inner = tables[1];
    EXPECT_EQ(outer->rows(), 1);
    EXPECT_EQ(outer->columns(), 2);
    EXPECT_EQ(cellText(outer, 0, 0), "Outer A");
    EXPECT_EQ(inner->rows(), 2);
    EXPECT_EQ(inner->columns(), 2);
    EXPECT_EQ(cellText(inner, 1, 0), "In 3");
    EXPECT_EQ(cellText(inner, 1, 1), "In 4");
    // The nested table sits in the outer second cell, with the text after it.
    EXPECT_TRUE(outer->cellAt(0, 1).firstPosition() < inner->firstPosition());
    EXPECT_TRUE(inner->lastPosition() < outer->cellAt(0, 1).lastPosition());
    EXPECT_TRUE(cellText(outer, 0, 1).endsWith("below"));
    // Widths of the nested table from its late definition (1000 and 1500 twips).
    ASSERT_EQ(inner->format().columnWidthConstraints().size(), 2);
    EXPECT_DOUBLE_EQ(inner->format().columnWidthConstraints()[1].rawValue(), 100);
    EXPECT_EQ(doc.lastBlock().text(), "After");
    EXPECT_FALSE(QTextCursor(doc.lastBlock()).currentTable());
    // Written and read back, the text is there once.
    QTextDocument back;
    qm::RtfReader::read(qm::RtfWriter::write(doc), &back);
    EXPECT_EQ(back.toPlainText().count(QLatin1String("In 3")), 1);
}

TEST(RtfRealWorld, PicturesInShapesOnceAtTheirAnchor)
{
    const QByteArray png = pngHex();
    QTextDocument doc;
    qm::RtfReader::read("{\\rtf1\\ansi before{\\shp{\\*\\shpinst\\shpleft0\\shptop0\\shpright1000\\shpbottom1000"
                        "{\\sp{\\sn shapeType}{\\sv 75}}{\\sp{\\sn fillBlip}{\\sv {\\pict\\wmetafile8 0506}}}"
                        "{\\sp{\\sn pib}{\\sv {\\pict\\pngblip\\picwgoal600\\pichgoal450 "
                            + png
                            + "}}}{\\shptxt not text}}"
                              "{\\shprslt{\\*\\do\\dobxcolumn{\\pict\\wmetafile8 0102}}}}middle"
                              "{\\*\\shppict{\\pict\\jpegblip 0304}}{\\nonshppict{\\pict\\wmetafile8 0102}}end}",
                        &doc);
    EXPECT_EQ(qm::documentText(doc), "beforemiddleend");
    const QString plain = doc.toPlainText();
    EXPECT_EQ(plain.indexOf(QChar::ObjectReplacementCharacter), 6);  // between "before" and "middle"
    const QList<QTextImageFormat> pics = pictures(doc);
    ASSERT_EQ(pics.size(), 2);
    EXPECT_EQ(pics[0].property(qm::PictureKind).toByteArray(), "pngblip");
    EXPECT_EQ(pics[0].property(qm::PictureBytes).toByteArray(), QByteArray::fromHex(png));
    EXPECT_DOUBLE_EQ(pics[0].width(), 40);
    EXPECT_EQ(pics[1].property(qm::PictureKind).toByteArray(), "jpegblip");
}

TEST(RtfRealWorld, ListTablesAndControlCharactersNeverReachTheText)
{
    const QString got =
        text("{\\rtf1\\ansi A{\\list\\listtemplateid1{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}"
             "{\\levelnumbers\\'01;}}{\\listname ;}\\listid5}B{\\listoverridetable{\\listoverride\\listid5"
             "{\\lfolevel x}\\ls1}}C\\'01\\'02\\'1f\\u7 ?\\u13 \\'3f\\u-560 ?D\x01\x1f{\\*\\listtable{\\list y}}\tE}");
    EXPECT_EQ(got, "ABC???D\tE");
    for (const QChar c : got)
        EXPECT_TRUE(c.unicode() >= 0x20 || c == u'\t') << int(c.unicode());
}
