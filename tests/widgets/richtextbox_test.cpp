#include "widgets/richtextbox.h"

#include "rtf/rtf_reader.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <gtest/gtest.h>

using qm::RichTextBox;

namespace {

void select(RichTextBox& box, int start, int length)
{
    box.setSelStart(start);
    box.setSelLength(length);
}

}  // namespace

TEST(RichTextBox, TextAndSelection)
{
    RichTextBox box;
    box.setText(QStringLiteral("题　　目：\r\n第二行\r第三行\n"));
    EXPECT_EQ(box.Text(), QStringLiteral("题　　目：\n第二行\n第三行\n"));
    EXPECT_EQ(box.document()->blockCount(), 4);
    select(box, 2, 3);
    EXPECT_EQ(box.SelStart(), 2);
    EXPECT_EQ(box.SelLength(), 3);
    EXPECT_EQ(box.textCursor().selectedText(), QStringLiteral("　目："));
    select(box, 5, 1000);  // clamped to the end
    EXPECT_EQ(box.SelStart() + box.SelLength(), box.document()->characterCount() - 1);
    box.setSelStart(-4);
    EXPECT_EQ(box.SelStart(), 0);
    EXPECT_EQ(box.SelLength(), 0);
}

TEST(RichTextBox, SelectionFormattingReportsMixedValues)
{
    RichTextBox box;
    box.setText(QStringLiteral("甲乙丙丁"));
    // Plain text takes the box's default font.
    EXPECT_EQ(box.SelFontName(), QStringLiteral("宋体"));
    EXPECT_EQ(box.SelFontSize(), 10.5);
    select(box, 0, 2);
    box.setSelBold(true);
    box.setSelFontSize(9);
    box.setSelFontName(QStringLiteral("黑体"));
    EXPECT_EQ(box.SelBold(), true);
    EXPECT_EQ(box.SelFontSize(), 9.0);
    select(box, 1, 2);  // half bold, 9 and 10.5 points, two fonts
    EXPECT_EQ(box.SelBold(), std::nullopt);
    EXPECT_EQ(box.SelFontSize(), std::nullopt);
    EXPECT_EQ(box.SelFontName(), std::nullopt);
    EXPECT_EQ(box.SelItalic(), false);
    box.setSelBold(true);  // a mixed selection becomes all bold
    EXPECT_EQ(box.SelBold(), true);
    box.setSelItalic(true);
    box.setSelUnderline(true);
    EXPECT_EQ(box.SelItalic(), true);
    EXPECT_EQ(box.SelUnderline(), true);
    box.setSelUnderline(false);
    EXPECT_EQ(box.SelUnderline(), false);
    box.setSelFontSize(0);  // ignored
    box.setSelFontSize(-3);
    select(box, 2, 1);
    EXPECT_EQ(box.SelFontSize(), 10.5);
    EXPECT_EQ(box.SelFontName(), QStringLiteral("宋体"));
}

TEST(RichTextBox, Alignment)
{
    RichTextBox box;
    box.setText("a\nb\nc");
    EXPECT_EQ(box.SelAlignment(), 0);
    select(box, 2, 0);
    box.setSelAlignment(2);
    EXPECT_EQ(box.SelAlignment(), 2);
    select(box, 0, 3);  // a and b: left and centre
    EXPECT_EQ(box.SelAlignment(), std::nullopt);
    box.setSelAlignment(1);
    EXPECT_EQ(box.SelAlignment(), 1);
    select(box, 4, 1);
    EXPECT_EQ(box.SelAlignment(), 0);
    // Alignment survives RTF.
    RichTextBox copy;
    copy.setTextRTF(box.TextRTF());
    select(copy, 0, 0);
    EXPECT_EQ(copy.SelAlignment(), 1);
}

TEST(RichTextBox, FilesAndRtf)
{
    QTemporaryDir dir;
    RichTextBox box;
    box.setText(QStringLiteral("第一题"));
    select(box, 0, 2);
    box.setSelBold(true);
    const QString path = dir.filePath(QStringLiteral("~temp.rtf"));
    ASSERT_TRUE(box.SaveFile(path));
    RichTextBox other;
    ASSERT_TRUE(other.LoadFile(path));
    EXPECT_EQ(other.Text(), QStringLiteral("第一题"));
    select(other, 0, 2);
    EXPECT_EQ(other.SelBold(), true);
    EXPECT_EQ(other.SelFontName(), QStringLiteral("宋体"));
    EXPECT_EQ(other.TextRTF(), box.TextRTF());
    EXPECT_FALSE(other.LoadFile(dir.filePath("missing.rtf")));
    EXPECT_EQ(other.Text(), QStringLiteral("第一题"));  // unchanged
    EXPECT_FALSE(box.SaveFile(dir.filePath("no/such/dir/x.rtf")));
    // A loaded document is a fresh start: nothing to undo.
    EXPECT_FALSE(other.document()->isUndoAvailable());
}

TEST(RichTextBox, AppendDocumentsKeepsFormattingAndFollowsOn)
{
    RichTextBox paper;
    RichTextBox scratch;
    scratch.setText(QStringLiteral("题　　目：\r\n"));
    scratch.selectAll();
    scratch.setSelFontName(QStringLiteral("黑体"));
    scratch.setSelBold(true);
    scratch.setSelFontSize(9);
    paper.appendDocument(*scratch.document());
    RichTextBox question;
    question.setTextRTF("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 A;}}\\f0\\fs24 Q\\b 1\\par}");
    paper.appendDocument(*question.document());
    scratch.setText(QStringLiteral("\r\n答："));
    paper.appendDocument(*scratch.document());
    paper.appendRtf("{\\rtf1 answer\\par}");
    EXPECT_EQ(paper.Text(), QStringLiteral("题　　目：\nQ1\n答：answer"));
    select(paper, 0, 5);
    EXPECT_EQ(paper.SelBold(), true);
    EXPECT_EQ(paper.SelFontName(), QStringLiteral("黑体"));
    EXPECT_EQ(paper.SelFontSize(), 9.0);
    select(paper, 7, 1);
    EXPECT_EQ(paper.SelBold(), true);
    EXPECT_EQ(paper.SelFontName(), QStringLiteral("A"));
    EXPECT_EQ(paper.textCursor().position(), paper.SelStart() + 1);
    paper.moveCursor(QTextCursor::End);
    EXPECT_EQ(paper.SelStart(), paper.document()->characterCount() - 1);
}

TEST(RichTextBox, InsertAtCaretDeleteAndUndo)
{
    RichTextBox box;
    box.setText(QStringLiteral("前后"));
    QTextDocument blank;
    QTextCursor(&blank).insertText(QStringLiteral("　"), [] {
        QTextCharFormat f;
        f.setUnderlineStyle(QTextCharFormat::SingleUnderline);
        return f;
    }());
    select(box, 1, 0);
    for (int i = 0; i < 3; ++i)
        box.insertDocument(blank);
    EXPECT_EQ(box.Text(), QStringLiteral("前　　　后"));
    select(box, 1, 3);
    EXPECT_EQ(box.SelUnderline(), true);
    box.deleteSelection();
    EXPECT_EQ(box.Text(), QStringLiteral("前后"));
    box.deleteSelection();  // nothing selected: the character after the caret
    EXPECT_EQ(box.Text(), QStringLiteral("前"));
    box.undo();
    box.undo();
    EXPECT_EQ(box.Text(), QStringLiteral("前　　　后"));
}

TEST(RichTextBox, CopyAndPasteCarryRtf)
{
    RichTextBox source;
    source.setTextRTF("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain {\\b bold}\\par\\trowd\\cellx1000\\cellx2000"
                      "\\intbl a\\cell b\\cell\\row\\pard end}");
    source.selectAll();
    source.copy();
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime);
    EXPECT_TRUE(mime->data("text/rtf").startsWith("{\\rtf1\\ansi\\ansicpg936"));
    RichTextBox target;
    target.setText("> ");
    target.moveCursor(QTextCursor::End);
    target.paste();
    EXPECT_EQ(target.Text(), "> plain bold\na\nb\nend");
    select(target, 8, 2);
    EXPECT_EQ(target.SelBold(), true);
    bool hasTable = false;
    for (QTextBlock b = target.document()->begin(); b.isValid(); b = b.next())
        hasTable |= QTextCursor(b).currentTable() != nullptr;
    EXPECT_TRUE(hasTable);
}

TEST(RichTextBox, Signals)
{
    RichTextBox box;
    QSignalSpy changes(&box, &RichTextBox::Change);
    QSignalSpy selections(&box, &RichTextBox::SelChange);
    box.setText("abc");
    EXPECT_GE(changes.count(), 1);
    selections.clear();
    box.setSelStart(1);
    box.setSelStart(1);  // no change, no signal
    EXPECT_EQ(selections.count(), 1);
    box.setSelLength(2);
    EXPECT_EQ(selections.count(), 2);
}

TEST(RichTextBox, AppendedParagraphKeepsItsAlignment)
{
    RichTextBox paper;
    paper.setText(QStringLiteral("左\r\n"));
    RichTextBox title;
    title.setText(QStringLiteral("标题"));
    title.selectAll();
    title.setSelAlignment(2);
    paper.appendDocument(*title.document());
    select(paper, 2, 1);
    EXPECT_EQ(paper.SelAlignment(), 2);
    select(paper, 0, 1);
    EXPECT_EQ(paper.SelAlignment(), 0);
    // In the middle of a paragraph the inserted text joins that paragraph.
    paper.setSelStart(1);
    paper.insertDocument(*title.document());
    select(paper, 0, 1);
    EXPECT_EQ(paper.SelAlignment(), 0);
}

namespace {

// How much of the characters [from, to) of the first paragraph is drawn, over all its
// lines: a line draws up to its natural width (trailing spaces left out unless laid out).
double drawnWidth(const QTextDocument& doc, int from, int to)
{
    const QTextLayout* layout = doc.firstBlock().layout();
    double width = 0;
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        const int a = std::max(from, line.textStart());
        const int b = std::min(to, line.textStart() + line.textLength());
        if (a < b)
            width += std::max(0.0, std::min(line.cursorToX(b), line.naturalTextWidth()) - line.cursorToX(a));
    }
    return width;
}

}  // namespace

TEST(RichTextBox, AFillInBlankAtTheEndOfALineIsDrawnWhole)
{
    // "没有以______为界限", the blank twelve underlined spaces, on a line that ends inside it.
    const QString rtf = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\\f0\\fs24 "
                        "\\'c3\\'bb\\'d3\\'d0\\'d2\\'d4{\\ul             }\\'ce\\'aa\\'bd\\'e7\\'cf\\'de}";
    RichTextBox box;
    box.setTextRTF(rtf.toLatin1());
    QTextDocument& doc = *box.document();
    ASSERT_EQ(doc.toPlainText(), QString("没有以") + QString(12, ' ') + QString("为界限"));
    const QFontMetricsF metrics(doc.firstBlock().begin().fragment().charFormat().font());
    const double prefix = metrics.horizontalAdvance("没有以");
    const double blank = metrics.horizontalAdvance(QString(12, ' '));
    doc.setDocumentMargin(0);
    for (const double cut : {0.25, 0.5, 0.9}) {
        doc.setTextWidth(prefix + blank * cut);
        doc.adjustSize();
        doc.setTextWidth(prefix + blank * cut);
        (void)doc.size();
        ASSERT_GE(doc.firstBlock().layout()->lineCount(), 2) << cut;
        EXPECT_NEAR(drawnWidth(doc, 3, 15), blank, 1.0) << cut;
    }
    // The stored document keeps the spaces the teacher typed.
    EXPECT_EQ(box.Text(), QString("没有以") + QString(12, ' ') + QString("为界限"));
}
