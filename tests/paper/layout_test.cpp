// The sheets a paper is printed on: A4 or A3 in two columns, with or without the sealing
// strip; how the RTF states them and keeps them; the header on sealed sheets.

#include "paper/fragments.h"
#include "paper/header.h"
#include "paper/layout.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"
#include "rtf/rtf_writer.h"
#include "support/qstring_print.h"

#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::paper;

TEST(PaperLayout, EachLayoutHasItsSheetColumnsAndMargins)
{
    struct Expected {
        PaperLayout layout;
        QString name, caption;
        QSizeF sheet;
        int columns;
        double columnWidth, left;
    };
    for (const Expected& e : {Expected{PaperLayout::A4, "a4", "A4", {210, 297}, 1, 160, 25},
                              Expected{PaperLayout::A4Seal, "a4-seal", "A4 密封线", {210, 297}, 1, 150, 35},
                              Expected{PaperLayout::A3, "a3", "A3 两栏", {420, 297}, 2, 180, 20},
                              Expected{PaperLayout::A3Seal, "a3-seal", "A3 两栏 密封线", {420, 297}, 2, 172.5, 35}}) {
        SCOPED_TRACE(e.name.toStdString());
        EXPECT_EQ(layoutName(e.layout), e.name);
        EXPECT_EQ(layoutOfName(e.name), e.layout);
        EXPECT_EQ(layoutCaption(e.layout), e.caption);
        const SheetGeometry g(e.layout);
        EXPECT_EQ(g.sheet(), e.sheet);
        EXPECT_EQ(g.columns(), e.columns);
        EXPECT_DOUBLE_EQ(g.columnWidth(), e.columnWidth);
        EXPECT_DOUBLE_EQ(g.column(0).left(), e.left);
        // The last column ends at the right margin, every column within the sheet.
        EXPECT_DOUBLE_EQ(g.column(e.columns - 1).right(), e.sheet.width() - (e.columns == 2 ? 20 : 25));
        EXPECT_DOUBLE_EQ(g.column(0).top(), 20);
        EXPECT_DOUBLE_EQ(g.column(0).bottom(), 277);
        // The page number stands under its column.
        EXPECT_EQ(g.pageNumber(e.columns - 1).left(), g.column(e.columns - 1).left());
        EXPECT_GE(g.pageNumber(0).top(), g.column(0).bottom());
    }
    EXPECT_EQ(layoutOfName("A3"), std::nullopt);
    EXPECT_EQ(layoutOfName(""), std::nullopt);
    EXPECT_EQ(layoutOfName("a5"), std::nullopt);
}

TEST(PaperLayout, PagesAreColumnsAndTheStripStandsOnTheFrontOfEverySecondSheet)
{
    const SheetGeometry a3(PaperLayout::A3Seal);
    // Five pages: columns of three sheets, the last with one column.
    EXPECT_EQ(a3.sheetsFor(5), 3);
    EXPECT_EQ(a3.sheetsFor(4), 2);
    EXPECT_EQ(a3.sheetsFor(0), 0);
    EXPECT_EQ(a3.sheetOf(3), 1);
    EXPECT_EQ(a3.columnOf(3), 1);
    EXPECT_EQ(a3.columnOf(4), 0);
    // Printed on both sides: the 1st and 3rd sheets are fronts.
    EXPECT_TRUE(a3.hasStrip(0));
    EXPECT_FALSE(a3.hasStrip(1));
    EXPECT_TRUE(a3.hasStrip(2));
    const SheetGeometry a4(PaperLayout::A4Seal);
    EXPECT_EQ(a4.sheetsFor(5), 5);
    EXPECT_EQ(a4.sheetOf(3), 3);
    EXPECT_TRUE(a4.hasStrip(2));
    EXPECT_FALSE(a4.hasStrip(3));
    // No strip without the seal, nor on the answers.
    EXPECT_FALSE(SheetGeometry(PaperLayout::A3).hasStrip(0));
    EXPECT_FALSE(SheetGeometry(PaperLayout::A3Seal, false).hasStrip(0));

    // The strip lies in the left margin, clear of the text: fields outside the line, the
    // notice inside it.
    for (const SheetGeometry& g : {a3, a4}) {
        EXPECT_GT(g.stripFields().left(), 0);
        EXPECT_LT(g.stripFields().right(), g.stripLine());
        EXPECT_LT(g.stripLine(), g.stripNotice().left());
        EXPECT_LT(g.stripNotice().right(), g.column(0).left());
        EXPECT_GE(g.stripFields().height(), 200);
    }
}

TEST(PaperLayout, TheRtfStatesTheSheetsAndKeepsTheLayoutsName)
{
    QTextDocument doc;
    doc.setPlainText("一、单选题");
    const auto rtfOf = [&](const SheetGeometry& g) {
        const PageSetup page = g.pageSetup();
        return RtfWriter::write(doc, &page);
    };
    const QByteArray a3 = rtfOf(SheetGeometry(PaperLayout::A3Seal));
    // A3 lying landscape, two columns 20 mm apart, the strip's boxes and line in the header
    // of the odd pages, page numbers in the footers of both.
    EXPECT_TRUE(a3.contains("\\paperw23811\\paperh16838")) << a3.constData();
    EXPECT_TRUE(a3.contains("\\landscape\\facingp\\sectd\\lndscpsxn\\cols2\\colsx1134"));
    EXPECT_TRUE(a3.contains("{\\headerr"));
    EXPECT_TRUE(a3.contains("{\\footerl") && a3.contains("{\\footerr"));
    EXPECT_EQ(a3.count("txflTextFlow"), 2);
    EXPECT_TRUE(a3.contains("{\\sn lineDashing}"));
    const QString text = rtfPlainText(a3);
    EXPECT_FALSE(text.contains("学校")) << "the strip is not the document's text";
    EXPECT_EQ(layoutOfRtf(a3), PaperLayout::A3Seal);

    const QByteArray answers = rtfOf(SheetGeometry(PaperLayout::A3Seal, false));
    EXPECT_TRUE(answers.contains("\\cols2"));
    EXPECT_FALSE(answers.contains("txflTextFlow"));
    EXPECT_FALSE(answers.contains("\\facingp"));
    EXPECT_EQ(layoutOfRtf(answers), PaperLayout::A3Seal);

    const QByteArray a4 = rtfOf(SheetGeometry(PaperLayout::A4));
    EXPECT_FALSE(a4.contains("\\cols") || a4.contains("\\landscape") || a4.contains("\\shp"));
    EXPECT_EQ(layoutOfRtf(a4), PaperLayout::A4);
    EXPECT_EQ(layoutOfRtf(rtfOf(SheetGeometry(PaperLayout::A4Seal))), PaperLayout::A4Seal);
    // Documents of other writers, damaged names and cut-off files are A4.
    EXPECT_EQ(layoutOfRtf("{\\rtf1 a}"), PaperLayout::A4);
    EXPECT_EQ(layoutOfRtf("{\\rtf1{\\*\\qmlayout a7}a}"), PaperLayout::A4);
    EXPECT_EQ(layoutOfRtf("{\\rtf1{\\*\\qmlayout a3"), PaperLayout::A4);
    EXPECT_EQ(layoutOfRtf(""), PaperLayout::A4);
}

TEST(PaperLayout, ATableWiderThanAColumnIsNarrowedToItInTheRtf)
{
    // A scoring table for sixteen sections: eighteen cells of 48 points, 229 mm.
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextDocument table;
    RtfReader::read(scoringTableRtf(16), &table);
    insertDocument(cursor, table);
    const auto lastCell = [](const QByteArray& rtf) {
        int last = 0;
        for (auto it = QRegularExpression("\\\\cellx(\\d+)").globalMatch(QString::fromLatin1(rtf)); it.hasNext();)
            last = std::max(last, it.next().captured(1).toInt());
        return last;
    };
    constexpr double kTwipsPerMm = 1440 / 25.4;
    EXPECT_GT(lastCell(RtfWriter::write(doc)), 228 * kTwipsPerMm);
    for (const PaperLayout l : kPaperLayouts) {
        const SheetGeometry g(l);
        const PageSetup page = g.pageSetup();
        const int width = lastCell(RtfWriter::write(doc, &page));
        EXPECT_LE(width, g.columnWidth() * kTwipsPerMm + 2) << layoutName(l).toStdString();
        EXPECT_GE(width, g.columnWidth() * kTwipsPerMm - 20) << layoutName(l).toStdString();
    }
    // A table that fits keeps its widths.
    QTextDocument narrow;
    RtfReader::read(scoringTableRtf(2), &narrow);
    const PageSetup a4 = SheetGeometry(PaperLayout::A4).pageSetup();
    EXPECT_EQ(lastCell(RtfWriter::write(narrow, &a4)), lastCell(RtfWriter::write(narrow)));
}

TEST(PaperLayout, OnSealedSheetsTheHeaderHasNoCandidateLine)
{
    HeaderSettings s;
    s.firstYear = "2026";
    s.secondYear = "2027";
    s.term = "1";
    s.className = "高二(3)班";
    s.minutes = "100";
    QTextDocument header;
    buildHeader(header, s, "生物.tik", scoringTableRtf(3));
    const QString before = header.toPlainText();
    ASSERT_TRUE(before.contains("姓名"));
    removeCandidateLine(header);
    const QString after = header.toPlainText();
    EXPECT_TRUE(after.startsWith("实验中学2026～2027学年第1学期\n高二(3)班《生物》期末试卷\n\n题号"))
        << after.toStdString();
    EXPECT_FALSE(after.contains("姓名") || after.contains("考试时间"));
    // The table and the end of the header are as they were.
    EXPECT_EQ(scoringTableTypes(header), 3);
    EXPECT_TRUE(after.endsWith(before.mid(before.indexOf("题号"))));

    // A header without the line, and a document without a header, stay as they are.
    removeCandidateLine(header);
    EXPECT_EQ(header.toPlainText(), after);
    QTextDocument plain;
    plain.setPlainText("姓名：张三\n一、单选题");
    removeCandidateLine(plain);
    EXPECT_EQ(plain.toPlainText(), "姓名：张三\n一、单选题");
}
