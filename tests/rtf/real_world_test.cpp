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

TEST(RtfRealWorld, ListItemsShowTheLabelsOfTheirListAsLibreOfficeDoes)
{
    // The list table defines the labels: numbers counted per list and level (a sublevel
    // starting again under each item), a start other than 1, a bullet of the Symbol font.
    // What \listtext says is not read, wherever the writer put it; an item without it gets
    // its label all the same.
    const QByteArray lists =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Times;}{\\f1\\fcharset2 Symbol;}}{\\*\\listtable"
        "{\\list{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}"
        "{\\listlevel\\levelnfc4\\levelstartat1\\levelfollow1{\\leveltext\\'02\\'01);}}\\listid7}"
        "{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}\\f1}\\listid8}"
        "{\\list{\\listlevel\\levelnfc1\\levelstartat4\\levelfollow2{\\leveltext\\'03(\\'00);}}\\listid9}}"
        "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}{\\listoverride\\listid8\\ls2}"
        "{\\listoverride\\listid9\\ls3}}"
        "\\pard\\ls1{\\listtext 9.\\tab}one\\par"
        "\\pard{\\listtext 9.\\tab}\\ls1\\ilvl1 sub\\par"
        "\\pard\\ls1\\ilvl1 sub\\par"
        "\\pard\\ls1 two\\par"
        "\\pard\\ls1\\ilvl1 sub again\\par"
        "\\pard\\ls2{\\listtext\\f1 \\'b7\\tab}dot\\par"
        "\\pard\\ls3 roman\\par"
        "\\pard\\ls3\\par"
        "\\pard\\ls99 unknown list\\par"
        "\\pard plain\\par}";
    EXPECT_EQ(text(lists),
              "1.\tone\na) sub\nb) sub\n2.\ttwo\na) sub again\n•\tdot\n(IV)roman\n(V)\nunknown list\nplain");
    // Without a list table, \listtext and \pntext are the only labels there are.
    EXPECT_EQ(text("{\\rtf1 \\pard\\ls1{\\listtext 1.\\tab}one\\par{\\pntext 2.\\tab}two\\par}"), "1.\tone\n2.\ttwo");
    // Word 95's numbering (\pn): its \pntext is the label; a paragraph without one gets the
    // label \pn describes, counting on from the numbered paragraphs before it.
    EXPECT_EQ(text("{\\rtf1{\\fonttbl{\\f0 Times;}{\\f1\\fcharset2 Symbol;}}"
                   "\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'b7}}dot\\par"
                   "\\pard{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'b7}}dot\\par"
                   "\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}one\\par"
                   "{\\*\\pn\\pnlvlbody\\pnucrm{\\pntxtb (}{\\pntxta )}}two\\par"
                   "\\pard{\\*\\pn\\pnlvlcont}more\\par"
                   "\\pard{\\*\\pn\\pnlvlbody\\pnlcltr\\pnstart3{\\pntxta )}}again\\par}"),
              "•\tdot\n•\tdot\n1.\tone\n(II)\ttwo\nmore\nc)\tagain");
}

TEST(RtfRealWorld, SmartTagsAndTheirNamespacesAreNotText)
{
    // Word 2003 marks places, dates and names with XML elements of its own, with \* or
    // without it.
    EXPECT_EQ(text("{\\rtf1{\\xmlnstbl{\\xmlns1 urn:schemas-microsoft-com:office:smarttags}}"
                   "A{\\xmlopen\\xmlns1{\\factoidname place}}{\\*\\xmlopen\\xmlns1{\\factoidname City}}Beijing"
                   "{\\xmlclose}{\\*\\xmlclose}B{\\xmlattr\\xmlattrns0{\\xmlattrname type}{\\xmlattrvalue x}}"
                   "{\\*\\xmlattr\\xmlattrns0{\\*\\xmlattrname w}{\\*\\xmlattrvalue 12}}C}"),
              "ABeijingBC");
}

TEST(RtfRealWorld, Utf8DeclaredByTheDocumentIsReadInFontsThatNameNoOtherCodePage)
{
    // \ansicpg65001: text in UTF-8, raw or as \'hh, also split over a line end; a font of
    // the default character set reads it so, an ANSI font (\fcharset0) as Windows-1252.
    EXPECT_EQ(text("{\\rtf1\\ansi\\ansicpg65001{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fcharset1 X;}{\\f2\\fcharset0 Y;}}"
                   "\\f0 \xE4\xB8\xAD\r\n\xE6\x96\x87 \\'e4\\'b8\\'ad\\par\\f1 caf\\'c3\\'a9\\par\\f2 \\'c3\\'a9}"),
              "中文 中\ncafé\nÃ©");
}

TEST(RtfRealWorld, NestedRowsWithAMalformedNestingLevelStayInTheirTable)
{
    const QByteArray head = "{\\rtf1\\ansi \\trowd\\cellx3000\\cellx6000\\pard\\intbl\\itap1 Outer\\cell"
                            "\\pard\\intbl\\itap2 In 1\\nestcell In 2\\nestcell"
                            "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2500\\nestrow}";
    const QByteArray tail = "\\pard\\intbl\\itap1 below\\cell\\trowd\\cellx3000\\cellx6000\\row\\pard After\\par}";
    struct Case {
        const char* what;
        QByteArray row;
    };
    const QList<Case> cases = {
        // \cell in a nested paragraph, as LibreOffice reads it: a cell of the nested table.
        {"cell for nestcell", "\\pard\\intbl\\itap2 In 3\\cell In 4\\cell"
                              "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2500\\nestrow}"},
        // \row for \nestrow among the nested row's properties.
        {"row for nestrow", "\\pard\\intbl\\itap2 In 3\\nestcell In 4\\nestcell"
                            "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2500\\row}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTextDocument doc;
        qm::RtfReader::read(head + c.row + tail, &doc);
        const QList<QTextTable*> tables = tablesOf(doc);
        ASSERT_EQ(tables.size(), 2);
        EXPECT_EQ(tables[0]->rows(), 1);
        EXPECT_EQ(tables[0]->columns(), 2);
        EXPECT_EQ(tables[1]->rows(), 2);
        EXPECT_EQ(cellText(tables[1], 1, 0), "In 3");
        EXPECT_EQ(cellText(tables[1], 1, 1), "In 4");
        EXPECT_TRUE(cellText(tables[0], 0, 1).endsWith("below"));
        EXPECT_EQ(doc.lastBlock().text(), "After");
    }

    // A level far deeper than the tables open goes one level down; a paragraph marked as
    // in a table at level 0 ending a nested cell goes into that cell: no text leaves the
    // outer table and no empty tables pile up.
    for (const QByteArray& row : {QByteArray("\\pard\\intbl\\itap9 In 3\\nestcell In 4\\nestcell"),
                                  QByteArray("\\pard\\intbl\\itap0 In 3\\nestcell In 4\\nestcell")}) {
        SCOPED_TRACE(row.constData());
        QTextDocument doc;
        qm::RtfReader::read(head + row + "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2500\\nestrow}" + tail, &doc);
        const QList<QTextTable*> tables = tablesOf(doc);
        ASSERT_GE(tables.size(), 2);
        EXPECT_LE(tables.size(), 3);
        EXPECT_EQ(tables[0]->rows(), 1);
        EXPECT_EQ(tables[0]->columns(), 2);
        const QString outerCell = cellText(tables[0], 0, 1);
        for (const char* piece : {"In 1", "In 2", "In 3", "In 4", "below"})
            EXPECT_TRUE(outerCell.contains(QLatin1String(piece))) << piece;
        EXPECT_FALSE(outerCell.contains(QStringLiteral("In 3\n"))) << outerCell.toStdString();
        EXPECT_EQ(doc.lastBlock().text(), "After");
    }
}
