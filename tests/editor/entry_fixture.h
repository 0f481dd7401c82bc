#pragma once
// The bank window with a chosen bank whose lists hold a few names, ready to open the entry pane.

#include "editor/form2_fixture.h"
#include "rtf/rich_text.h"
#include "widgets/richtextbox.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace qm::test {

class EntryTest : public Form2Test {
protected:
    void SetUp() override
    {
        Form2Test::SetUp();
        subject("生物", {"a.tik", "b.tik"});
        bank = std::make_unique<BankFile>(BankRoot() + "生物/a.tik");
    }
    void fillLists()
    {
        for (const char* c : {"第一章", "第二章"})
            ASSERT_TRUE(bank->appendToList(AttributeList::Chapters, c));
        for (const char* t : {"填空题", "选择题"})
            ASSERT_TRUE(bank->appendToList(AttributeList::Types, t));
        ASSERT_TRUE(bank->appendToList(AttributeList::Difficulties, "易"));
        ASSERT_TRUE(bank->appendToList(AttributeList::Units, "第一单元"));
    }
    static Question question(const QString& text, const QString& answer = QStringLiteral("答案"))
    {
        Question q;
        q.text = rtfFromPlainText(text);
        q.answer = rtfFromPlainText(answer);
        q.type = QStringLiteral("选择题");
        q.chapter = QStringLiteral("第二章");
        q.unit = QStringLiteral("第一单元");
        q.difficulty = QStringLiteral("易");
        q.score = 4;
        return q;
    }
    void addQuestions(int n)
    {
        for (int i = 1; i <= n; ++i)
            ASSERT_TRUE(bank->add(question(QStringLiteral("题%1").arg(i), QStringLiteral("答%1").arg(i))));
    }
    // Opens the window on bank a.tik and the entry pane.
    void openPane()
    {
        open();
        choose("生物", "a.tik");
        form->Frame1->Command27->click();
    }
    QString shownQuestion() const { return form->Frame7->RichTextBox1->Text(); }
    QString caption() const { return form->Frame7->title(); }
    QString storedText(int position) const { return rtfPlainText(bank->read(position)->question.text); }

    std::unique_ptr<BankFile> bank;
};

}  // namespace qm::test
