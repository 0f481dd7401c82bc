#include "entry_fixture.h"

#include "rtf/rtf_reader.h"
#include "support/word_script.h"

#include <QProgressBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace qm;
using namespace qm::test;

namespace {

// The word processor copies what it was given, so a test can read the document shown. The
// copy is renamed into place, so once shown.rtf exists it is whole.
const QByteArray kKeepsACopy = "cp \"$1\" \"$DIR/copy\" && mv \"$DIR/copy\" \"$DIR/shown.rtf\"";

QString headingFont(const QTextDocument& doc, const QString& heading)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        if (b.text() == heading) {
            const QTextCharFormat f = b.begin().fragment().charFormat();
            return QStringLiteral("%1 %2 %3")
                .arg(fontFamilyOf(f, {}))
                .arg(int(f.fontWeight() >= QFont::Bold))
                .arg(f.fontPointSize());
        }
    return {};
}

}  // namespace

class EntryWord : public EntryTest {
protected:
    void SetUp() override
    {
        EntryTest::SetUp();
        fillLists();
    }
    // The document the word processor was given by "WORD浏览所有题目".
    void browsedDocument(const WordScript& word, QTextDocument* doc)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(word.file("shown.rtf")); }, 5000));
        RtfReader::read(readAll(word.file("shown.rtf")), doc);
    }
};

TEST_F(EntryWord, AnswerEditedInTheWordProcessorIsStoredByChange)
{
    addQuestions(1);
    openPane();
    WordScript word(WordScript::savesRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 edited {\\b answer}\\par}"));
    form->Frame7->Command39->click();
    EXPECT_EQ(form->Frame7->RichTextBox2->Text(), "edited answer");
    EXPECT_EQ(shownQuestion(), QStringLiteral("题1"));
    EXPECT_TRUE(QFile::exists(BankRoot() + "~temp.rtf"));
    EXPECT_EQ(rtfPlainText(bank->read(0)->question.answer), QStringLiteral("答1"));  // nothing stored yet
    form->Frame7->Command36->click();
    form->Frame7->Command36->click();
    EXPECT_EQ(rtfPlainText(bank->read(0)->question.answer), "edited answer");
}

TEST_F(EntryWord, BrowseAllOfThreeQuestions)
{
    addQuestions(2);
    // The third keeps its own formatting: a bold word, centred.
    Question q = question({});
    q.text =
        "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\\qc\\f0 plain {\\b bold}\\par}";
    ASSERT_TRUE(bank->add(q));
    openPane();
    form->Frame7->Command30->click();
    WordScript word(kKeepsACopy);
    form->Frame7->Command47->click();
    QTextDocument doc;
    browsedDocument(word, &doc);
    const QString expected = QStringLiteral("题　　目：\n题1\n参考答案：\n答1\n\n"
                                            "题　　目：\n题2\n参考答案：\n答2\n\n"
                                            "题　　目：\nplain bold\n参考答案：\n答案\n\n");
    EXPECT_EQ(doc.toPlainText(), expected);
    EXPECT_EQ(headingFont(doc, QStringLiteral("题　　目：")), QStringLiteral("黑体 1 9"));
    EXPECT_EQ(headingFont(doc, QStringLiteral("参考答案：")), QStringLiteral("黑体 1 9"));
    const QTextBlock third = doc.findBlockByNumber(11);
    ASSERT_EQ(third.text(), "plain bold");
    EXPECT_EQ(third.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_TRUE(doc.findBlockByNumber(10).blockFormat().alignment() & Qt::AlignLeft);
    QTextCursor bold(third);
    bold.setPosition(third.position() + 7);
    EXPECT_TRUE(bold.charFormat().fontWeight() >= QFont::Bold);
    // The pane shows the question it showed before, with its caption.
    EXPECT_EQ(shownQuestion(), QStringLiteral("题1"));
    EXPECT_EQ(form->Frame7->RichTextBox2->Text(), QStringLiteral("答1"));
    EXPECT_EQ(caption(), QStringLiteral("题库录入  共有题目3道　现在显示第1道"));
    EXPECT_EQ(readAll(word.file("shown.rtf")), readAll(BankRoot() + "~Word.rtf"));
}

TEST_F(EntryWord, BrowseAllOfAnEmptyBank)
{
    openPane();
    WordScript word(kKeepsACopy);
    form->Frame7->Command47->click();
    QTextDocument doc;
    browsedDocument(word, &doc);
    EXPECT_EQ(doc.toPlainText(), QString());
    EXPECT_EQ(caption(), QStringLiteral("题库录入  共有题目0道"));
}

TEST_F(EntryWord, EscStopsAfterTheCurrentQuestion)
{
    addQuestions(3);
    openPane();
    auto* progress = form->findChild<QProgressBar*>("BrowseProgress");
    ASSERT_TRUE(progress);
    QString captionWhileRunning;
    bool clickedThrough = false;
    QObject::connect(progress, &QProgressBar::valueChanged, form.get(), [&](int value) {
        if (value != 1)
            return;
        captionWhileRunning = caption();
        EXPECT_FALSE(progress->isHidden());
        // Other input is held off while the document is built.
        QTest::mouseClick(form->Frame7->Command28, Qt::LeftButton);
        clickedThrough = form->Frame7->isHidden();
        QTest::keyClick(form->Frame7->RichTextBox1, Qt::Key_Escape);
    });
    WordScript word(kKeepsACopy);
    form->Frame7->Command47->click();
    EXPECT_TRUE(form->Frame7->BrowseCancelled);
    EXPECT_FALSE(clickedThrough);
    EXPECT_EQ(captionWhileRunning, QStringLiteral("题目显示  共3题　第2题"));
    EXPECT_TRUE(progress->isHidden());
    QTextDocument doc;
    browsedDocument(word, &doc);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("题　　目：\n题1\n参考答案：\n答1\n\n"));
    EXPECT_EQ(caption(), QStringLiteral("题库录入  共有题目3道　现在显示第3道"));
}
