#pragma once
// A paper-library window in a temporary program directory holding the library template,
// with the subjects 数学 and 语文 (数学 chosen) and libraries made on demand; ready to be
// driven by its controls.

#include "bankstore/paper_library.h"
#include "core/workspace.h"
#include "library/form7.h"
#include "library/library_copy_in_panel.h"
#include "library/library_copy_out_panel.h"
#include "library/library_panel.h"
#include "library/new_library_panel.h"
#include "library/paper_view.h"
#include "rtf/rich_text.h"
#include "support/qstring_print.h"
#include "support/scripted_prompt.h"
#include "support/temp_dirs.h"
#include "widgets/filelists.h"
#include "widgets/richtextbox.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <gtest/gtest.h>
#include <memory>

namespace qm::test {

class Form7Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(dir.file("tiku/数学"));
        QDir().mkpath(dir.file("tiku/语文"));
        form = std::make_unique<Form7>(dir.workspace, prompt);
        form->setSubjects({"数学", "语文"});
        form->open();
    }
    void TearDown() override { prompt.verify(); }

    // Paper `i` of a test library: its text, its answers and its particulars name it.
    static Paper paper(int i, bool withAnswers = true)
    {
        const QString n = QString::number(i);
        return {rtfFromPlainText("试卷" + n), withAnswers ? rtfFromPlainText("答案" + n) : QByteArray(),
                PaperParticulars{"卷" + n, "出卷人" + n, "数学组", "教务处", "2024-6-" + n}, "备注" + n};
    }
    QString libraryPath(const QString& name, const QString& subject = "数学") const
    {
        return dir.file("tiku/" + subject + "/" + name);
    }
    // A library of `count` papers 1…count.
    void makeLibrary(const QString& name, int count, const QString& subject = "数学")
    {
        ASSERT_TRUE(PaperLibrary::createFromTemplate(dir.file("jk.jk"), libraryPath(name, subject)));
        PaperLibrary library(libraryPath(name, subject));
        for (int i = 1; i <= count; ++i)
            ASSERT_TRUE(library.append(paper(i)));
    }
    // Clicks the library `name` in the list.
    void choose(const QString& name)
    {
        form->File1->Refresh();
        for (int i = 0; i < form->File1->ListCount(); ++i)
            if (form->File1->List(i) == name)
                form->File1->clickItem(i);
        ASSERT_EQ(form->File1->FileName(), name);
    }
    // A library of `count` papers, opened.
    void open(const QString& name, int count)
    {
        makeLibrary(name, count);
        choose(name);
    }
    std::optional<Paper> stored(int position, const QString& name = "期中.Juk") const
    {
        return PaperLibrary(libraryPath(name)).read(position);
    }
    int storedCount(const QString& name = "期中.Juk") const
    {
        return PaperLibrary(libraryPath(name)).count().value_or(-1);
    }

    LibraryPanel& library() { return *form->Library; }
    PaperView& view() { return *form->Paper; }
    QString paperText() { return view().RichTextBox1->Text(); }
    QString answerText() { return view().RichTextBox2->Text(); }
    // What the view shows: the paper's text, the counters and the navigation buttons.
    QString shown()
    {
        return QStringLiteral("%1 %2/%3 %4%5")
            .arg(paperText(), view().Label7->text(), view().Label4->text(),
                 view().Command1->isEnabled() ? QStringLiteral("<") : QStringLiteral("-"),
                 view().Command2->isEnabled() ? QStringLiteral(">") : QStringLiteral("-"));
    }
    QStringList listed() const
    {
        QStringList names;
        for (int i = 0; i < form->File1->ListCount(); ++i)
            names << form->File1->List(i);
        return names;
    }

    TempProgramDir dir{QStringList{"jk.jk"}};
    ScriptedPrompt prompt;
    std::unique_ptr<Form7> form;
};

}  // namespace qm::test
