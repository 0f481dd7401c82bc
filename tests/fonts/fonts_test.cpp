// On a computer whose fontconfig prefers the AR PL fonts for Chinese text (fonts_main.cpp),
// the program's captions are still set in Noto Sans CJK SC at the size the windows were laid
// out for, and the faces documents name (宋体, 黑体, 楷体) in their stand-ins, alike in the
// question boxes, the paper preview and the PDF.

#include "fonts_test.h"

#include "app/app.h"
#include "composer/form3.h"
#include "composer/paper_panel.h"
#include "editor/bank_panel.h"
#include "editor/entry_pane.h"
#include "editor/form2.h"
#include "paper/pdf.h"
#include "rtf/rtf_writer.h"
#include "shell/form1.h"
#include "support/scripted_prompt.h"
#include "support/temp_dirs.h"
#include "widgets/filelists.h"
#include "widgets/richtextbox.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QGlyphRun>
#include <QGroupBox>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRawFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace qm::test {

namespace {

void addFamilies(QStringList& families, const QList<QGlyphRun>& runs)
{
    for (const QGlyphRun& run : runs) {
        const QString family = run.rawFont().familyName();
        if (!families.contains(family, Qt::CaseInsensitive))
            families << family;
    }
}

// The families the text of a block is drawn in: each run of one format laid out in the font
// the view gives it (the document's default font completed by the run's format).
QStringList blockFamilies(const QTextBlock& block)
{
    QStringList families;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QFont font = fragment.charFormat().font().resolve(block.document()->defaultFont());
        for (const QString& family : resolvedFamily(font, fragment.text()).split(',', Qt::SkipEmptyParts))
            if (!families.contains(family, Qt::CaseInsensitive))
                families << family;
    }
    return families;
}

// The families the text of `doc` is drawn in, block by block.
QStringList drawnFamilies(QTextDocument* doc)
{
    QStringList families;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (const QString& family : blockFamilies(b))
            if (!families.contains(family, Qt::CaseInsensitive))
                families << family;
    return families;
}

// A document of three lines, each in one of the faces the formatting bar offers.
QByteArray threeFaces()
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    bool first = true;
    for (const char* face : {"宋体", "黑体", "楷体"}) {
        if (!first)
            cursor.insertBlock();
        first = false;
        QTextCharFormat f;
        f.setFontFamilies({QString::fromUtf8(face)});
        f.setFontPointSize(10.5);
        cursor.insertText(QStringLiteral("细胞是生命活动的基本单位"), f);
    }
    return RtfWriter::write(doc);
}

QString lowered(const QStringList& families)
{
    return families.join(',').toLower();
}

}  // namespace

QString resolvedFamily(const QFont& font, const QString& text)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList families;
    addFamilies(families, layout.glyphRuns());
    return families.join(',');
}

TEST(Fonts, TheTestComputerSetsChineseTextInAnotherFontBeforeTheProgramChooses)
{
    // Without the program's choice the captions and 宋体 come out in the AR PL face.
    EXPECT_EQ(fontsBefore.interfaceFont.family(), "Sans Serif");
    EXPECT_EQ(fontsBefore.captionFamily.toLower(), "ar pl uming cn");
    EXPECT_EQ(fontsBefore.songFamily.toLower(), "ar pl uming cn");
}

TEST(Fonts, CaptionsAreSetInNotoSansCjkAtTheSizeTheWindowsWereLaidOutFor)
{
    EXPECT_EQ(QApplication::font().family(), "Noto Sans CJK SC");
    EXPECT_EQ(QApplication::font().pointSizeF(), fontsBefore.interfaceFont.pointSizeF());

    TempProgramDir dir;
    ScriptedPrompt prompt;
    App app(dir.workspace, prompt);
    app.start();
    Form1& main = *app.mainWindow();
    EXPECT_EQ(resolvedFamily(main.Frame1->font(), main.Frame1->title()).toLower(), "noto sans cjk sc");
    EXPECT_EQ(resolvedFamily(main.Command8->font(), main.Command8->text()).toLower(), "noto sans cjk sc");
    EXPECT_EQ(resolvedFamily(main.menuBar()->font(), QStringLiteral("库管理")).toLower(), "noto sans cjk sc");
    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
}

TEST(Fonts, TheFacesOfAQuestionAreSetAlikeInTheBoxesThePreviewAndThePdf)
{
    TempProgramDir dir;
    ScriptedPrompt prompt;
    App app(dir.workspace, prompt);
    app.start();

    // A question of the sample bank, written in 宋体, in the bank window's entry pane.
    Form2& banks = *app.bankWindow();
    ASSERT_GT(banks.File1->ListCount(), 0);
    banks.File1->clickItem(0);
    banks.Frame1->Command27->click();
    banks.Frame7->Command30->click();  // 第一题
    RichTextBox* question = banks.Frame7->RichTextBox1;
    QTextCursor firstCharacter(question->document());
    firstCharacter.movePosition(QTextCursor::NextCharacter);
    ASSERT_FALSE(question->toPlainText().isEmpty());
    ASSERT_EQ(firstCharacter.charFormat().fontFamilies().toStringList().value(0), "宋体");
    EXPECT_EQ(lowered(drawnFamilies(question->document())), "noto serif cjk sc");

    // 宋体, 黑体 and 楷体 in the paper preview of the composition window.
    RichTextBox* preview = app.autoComposeWindow()->Paper->RichTextBox3;
    preview->setTextRTF(threeFaces());
    QStringList byLine;
    for (QTextBlock b = preview->document()->begin(); b.isValid(); b = b.next())
        byLine << lowered(blockFamilies(b));
    EXPECT_EQ(byLine, (QStringList{"noto serif cjk sc", "noto sans cjk sc", "noto serif cjk sc"}));

    // The PDF of the same document embeds the same families, and nothing of the AR PL face.
    const QString pdf = dir.file("faces.pdf");
    QString error;
    ASSERT_TRUE(paper::writePdf(*preview->document(), pdf, &error)) << error.toStdString();
    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), {pdf});
    ASSERT_TRUE(fonts.waitForFinished(60000));
    const QString listed = QString::fromUtf8(fonts.readAllStandardOutput());
    EXPECT_TRUE(listed.contains("NotoSerifCJK")) << listed.toStdString();
    EXPECT_TRUE(listed.contains("NotoSansCJK")) << listed.toStdString();
    EXPECT_FALSE(listed.contains("UMing", Qt::CaseInsensitive)) << listed.toStdString();
    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
}

}  // namespace qm::test
