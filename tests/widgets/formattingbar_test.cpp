#include "widgets/formattingbar.h"

#include "widgets/richtextbox.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

using namespace qm;

namespace {

// A window with two boxes under a formatting bar, shown so that the boxes take the focus.
struct Editor {
    // Unless shown, no box ever gets the focus.
    explicit Editor(const FormattingBarOptions& options = {}, bool show = true)
    {
        window = std::make_unique<QWidget>();
        box1 = new RichTextBox(window.get());
        box2 = new RichTextBox(window.get());
        bar = new FormattingBar(box1, box2, options, window.get());
        auto* layout = new QVBoxLayout(window.get());
        layout->addWidget(bar);
        layout->addWidget(box1);
        layout->addWidget(box2);
        if (show) {
            window->show();
            QApplication::setActiveWindow(window.get());
            EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        }
        box1->setText(QStringLiteral("甲乙丙丁"));
        box2->setText(QStringLiteral("子丑寅卯"));
    }
    void focus(RichTextBox* box)
    {
        box->setFocus();
        QApplication::processEvents();
    }
    static void select(RichTextBox* box, int start, int length)
    {
        box->setSelStart(start);
        box->setSelLength(length);
    }

    std::unique_ptr<QWidget> window;
    RichTextBox* box1;
    RichTextBox* box2;
    FormattingBar* bar;
};

}  // namespace

TEST(FormattingBar, BoldOnTheSelectionOfTheBoxLastUsed)
{
    Editor e;
    e.focus(e.box2);
    Editor::select(e.box2, 1, 2);
    e.focus(e.box1);
    EXPECT_EQ(e.bar->ActiveBox(), 1);
    EXPECT_EQ(e.box2->SelLength(), 0);  // the answer box's selection collapsed
    EXPECT_EQ(e.box2->SelStart(), 1);
    Editor::select(e.box1, 1, 2);
    e.bar->Command48->click();
    Editor::select(e.box1, 1, 2);
    EXPECT_EQ(e.box1->SelBold(), true);
    Editor::select(e.box1, 0, 1);
    EXPECT_EQ(e.box1->SelBold(), false);
    Editor::select(e.box2, 0, 4);
    EXPECT_EQ(e.box2->SelBold(), false);

    // Off again; the italic and underline pairs.
    Editor::select(e.box1, 1, 2);
    for (QPushButton* b : {e.bar->Command51, e.bar->Command49, e.bar->Command50, e.bar->Command52})
        b->click();
    EXPECT_EQ(e.box1->SelBold(), false);
    EXPECT_EQ(e.box1->SelItalic(), false);
    EXPECT_EQ(e.box1->SelUnderline(), true);
    e.bar->Command53->click();
    EXPECT_EQ(e.box1->SelUnderline(), false);
}

TEST(FormattingBar, CompositionWindowsKeepBothSelections)
{
    Editor e(FormattingBarOptions::manualWindow());
    e.focus(e.box2);
    Editor::select(e.box2, 0, 2);
    e.focus(e.box1);
    Editor::select(e.box1, 2, 2);
    EXPECT_EQ(e.box2->SelLength(), 2);
    e.bar->Command48->click();
    EXPECT_EQ(e.box1->SelBold(), true);
    EXPECT_EQ(e.box2->SelBold(), true);
    // No Ctrl+B there.
    QTest::keyClick(e.box1, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(e.box1->SelBold(), true);
    // The manual composition window applies a font as it is typed.
    e.bar->Combo6->lineEdit()->clear();
    QTest::keyClicks(e.bar->Combo6->lineEdit(), "Courier");
    Editor::select(e.box1, 2, 2);
    EXPECT_EQ(e.box1->SelFontName(), QStringLiteral("Courier"));
}

TEST(FormattingBar, ActiveBoxActionsNeedAFocusFirst)
{
    Editor e({}, false);
    EXPECT_EQ(e.bar->ActiveBox(), 0);
    Editor::select(e.box1, 0, 4);
    e.bar->Command63->click();
    e.bar->Command62->click();
    e.bar->Command57->click();
    EXPECT_EQ(e.box1->Text(), QStringLiteral("甲乙丙丁"));
    EXPECT_EQ(e.box1->SelAlignment(), 0);
}

TEST(FormattingBar, AlignmentDeleteUndoCopyPaste)
{
    Editor e;
    e.focus(e.box2);
    e.bar->Command57->click();
    EXPECT_EQ(e.box2->SelAlignment(), 2);
    e.bar->Command58->click();
    EXPECT_EQ(e.box2->SelAlignment(), 1);
    EXPECT_EQ(e.box1->SelAlignment(), 0);

    Editor::select(e.box2, 0, 2);
    e.bar->Command54->click();  // copy
    e.bar->Command63->click();  // delete
    e.bar->Command64->click();  // undo
    e.box2->moveCursor(QTextCursor::End);
    e.bar->Command55->click();  // paste
    EXPECT_EQ(e.box2->Text(), QStringLiteral("子丑寅卯子丑"));
}

TEST(FormattingBar, FiveBlanksLeaveTheClipboardAlone)
{
    Editor e;
    QApplication::clipboard()->setText(QStringLiteral("用户的剪贴板"));
    e.focus(e.box2);
    e.box2->setText(QStringLiteral("答："));
    e.box2->moveCursor(QTextCursor::End);
    for (int i = 0; i < 5; ++i)
        e.bar->Command62->click();
    EXPECT_EQ(e.box2->Text(), QStringLiteral("答：") + QString(5, QChar(0x3000)));
    Editor::select(e.box2, 2, 5);
    EXPECT_EQ(e.box2->SelUnderline(), true);
    EXPECT_EQ(e.box2->SelFontSize(), 9.0);
    EXPECT_EQ(e.box2->SelFontName(), QStringLiteral("宋体"));
    Editor::select(e.box2, 0, 2);
    EXPECT_EQ(e.box2->SelUnderline(), false);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("用户的剪贴板"));
    // A selection is replaced by the blank.
    Editor::select(e.box2, 0, 2);
    e.bar->Command62->click();
    EXPECT_EQ(e.box2->Text(), QString(6, QChar(0x3000)));
}

TEST(FormattingBar, FontAndSizeBoxesFollowTheSelection)
{
    Editor e;
    e.focus(e.box1);
    Editor::select(e.box1, 0, 2);
    e.box1->setSelFontSize(12);
    Editor::select(e.box1, 0, 1);
    EXPECT_EQ(e.bar->Text15->text(), QStringLiteral("12"));
    EXPECT_EQ(e.bar->Combo6->currentText(), QStringLiteral("宋体"));
    Editor::select(e.box1, 1, 2);  // 12 and 10.5 points, one font
    EXPECT_EQ(e.bar->Text15->text(), QString());
    EXPECT_EQ(e.bar->Combo6->currentText(), QStringLiteral("宋体"));
    e.box1->setSelFontName(QStringLiteral("黑体"));
    Editor::select(e.box1, 0, 4);  // two fonts
    EXPECT_EQ(e.bar->Combo6->currentText(), QString());

    // Typing a size applies it; choosing a font applies it.
    Editor::select(e.box1, 0, 4);
    QTest::keyClicks(e.bar->Text15, "16");
    EXPECT_EQ(e.box1->SelFontSize(), 16.0);
    e.bar->Combo6->setCurrentIndex(e.bar->Combo6->findText(e.bar->Combo6->itemText(0)));
    Q_EMIT e.bar->Combo6->textActivated(e.bar->Combo6->itemText(0));
    EXPECT_EQ(e.box1->SelFontName(), e.bar->Combo6->itemText(0));
    // A size that is no number is passed over.
    e.bar->Text15->clear();
    QTest::keyClicks(e.bar->Text15, "x");
    EXPECT_EQ(e.box1->SelFontSize(), 16.0);
    // Typing into the font box changes nothing in the bank window.
    QTest::keyClicks(e.bar->Combo6->lineEdit(), "Z");
    EXPECT_EQ(e.box1->SelFontName(), e.bar->Combo6->itemText(0));

    // The size shown for the other box's selection is not carried over to this one.
    Editor::select(e.box2, 0, 1);
    EXPECT_EQ(e.bar->Text15->text(), QStringLiteral("10.5"));
    EXPECT_EQ(e.box1->SelFontSize(), 16.0);
}

TEST(FormattingBar, CtrlKeysToggle)
{
    Editor e;
    e.focus(e.box1);
    Editor::select(e.box1, 0, 2);
    e.box1->setSelBold(true);
    Editor::select(e.box1, 1, 2);  // half bold: becomes bold
    QTest::keyClick(e.box1, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(e.box1->SelBold(), true);
    EXPECT_EQ(e.box1->Text(), QStringLiteral("甲乙丙丁"));
    QTest::keyClick(e.box1, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(e.box1->SelBold(), false);
    QTest::keyClick(e.box1, Qt::Key_I, Qt::ControlModifier);
    QTest::keyClick(e.box1, Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(e.box1->SelItalic(), true);
    EXPECT_EQ(e.box1->SelUnderline(), true);
    // Ctrl+Shift+B is no toggle.
    QTest::keyClick(e.box1, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(e.box1->SelBold(), false);
    // Tab types a tab into the box.
    e.box1->moveCursor(QTextCursor::End);
    QTest::keyClick(e.box1, Qt::Key_Tab);
    EXPECT_EQ(e.box1->Text(), QStringLiteral("甲乙丙丁\t"));
    EXPECT_TRUE(e.box1->hasFocus());
}
