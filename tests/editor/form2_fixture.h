#pragma once
// A bank window on a temporary bank root with a template, ready to be driven by its controls.

#include "bankstore/bank_file.h"
#include "core/paths.h"
#include "core/workspace.h"
#include "editor/attribute_panel.h"
#include "editor/bank_panel.h"
#include "editor/copy_in_panel.h"
#include "editor/copy_out_panel.h"
#include "editor/create_panel.h"
#include "editor/entry_pane.h"
#include "editor/form2.h"
#include "editor/settings_panel.h"
#include "editor/subject_panel.h"
#include "support/scripted_prompt.h"
#include "support/temp_dirs.h"
#include "widgets/filelists.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <gtest/gtest.h>
#include <memory>

namespace qm::test {

class Form2Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFile::exists(dir.file("qm.qm"))) {
            ASSERT_TRUE(BankFile::createEmpty(dir.file("qm.qm")));
        }
        QDir().mkpath(dir.file("tiku"));
        ws().setBankRoot(dir.file("tiku"));
    }
    // Makes a subject directory, optionally with banks made from the template.
    void subject(const QString& name, const QStringList& banks = {})
    {
        QDir().mkpath(BankRoot() + name);
        for (const QString& b : banks)
            ASSERT_TRUE(BankFile::createFromTemplate(dir.file("qm.qm"), BankRoot() + name + "/" + b));
    }
    Form2& open()
    {
        form = std::make_unique<Form2>(ws(), prompt);
        form->attachBankRoot();
        return *form;
    }
    // Chooses the subject and the bank by clicking them.
    void choose(const QString& subjectName, const QString& bank)
    {
        form->Combo1->setCurrentIndex(form->Combo1->findText(subjectName));
        for (int i = 0; i < form->File1->ListCount(); ++i)
            if (form->File1->List(i) == bank)
                form->File1->clickItem(i);
        ASSERT_EQ(form->File1->FileName(), bank);
        form->Frame1->Timer1_Timer();
    }
    Workspace& ws() { return dir.workspace; }
    QString BankRoot() const { return dir.workspace.BankRoot(); }
    QString SubjectDir() const { return dir.workspace.SubjectDir(); }
    QStringList listNames(QListWidget* list) const
    {
        QStringList n;
        for (int i = 0; i < list->count(); ++i)
            n << list->item(i)->text();
        return n;
    }

    TempProgramDir dir{QStringList{"qm.qm"}};
    ScriptedPrompt prompt;
    std::unique_ptr<Form2> form;
};

}  // namespace qm::test
