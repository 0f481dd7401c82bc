#include "editor/create_panel.h"

#include "bankstore/bank_file.h"
#include "core/paths.h"
#include "core/workspace.h"
#include "editor/bank_panel.h"
#include "editor/form2.h"
#include "widgets/controls.h"
#include "widgets/dialogkeys.h"
#include "widgets/filelists.h"
#include "widgets/report_error.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

CreatePanel::CreatePanel(Form2& form) : QGroupBox(QStringLiteral("创建题库"), &form), m_form(form)
{
    setObjectName(QStringLiteral("Frame2"));
    Text7 = makeLineEdit(this, QStringLiteral("Text7"));
    selectAllOnFocus(Text7);
    Command6 = makeButton(this, QStringLiteral("Command6"), QStringLiteral("创　建"));
    Command7 = makeButton(this, QStringLiteral("Command7"), QStringLiteral("取　消"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("请输入题库名称"), this));
    layout->addWidget(Text7);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command6);
    buttons->addWidget(Command7);
    layout->addLayout(buttons);
    connect(Command6, &QPushButton::clicked, this, &CreatePanel::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &CreatePanel::Command7_Click);
    hide();
}

void CreatePanel::open()
{
    show();
    m_form.keys()->setDefaultButton(Command6);
    m_form.keys()->setCancelButton(Command7);
    Text7->setFocus();
    Text7->selectAll();
}

void CreatePanel::Command6_Click()
{
    const QString name = Text7->text();
    if (name.isEmpty()) {
        Text7->setFocus();
        return;
    }
    FileListBox* banks = m_form.Frame1->File1;
    const QString fileName = name + QStringLiteral(".tik");
    for (int i = 0; i < banks->ListCount(); ++i) {
        if (sameFileName(banks->List(i), fileName)) {
            reportError(m_form.prompt(), QStringLiteral("题库名已存在，请另取名！"));
            return;
        }
    }
    if (!isValidFileName(fileName)) {
        reportError(m_form.prompt(), QStringLiteral("题库名称中不能有下列字符：\\ / : * ? \" < > |"));
        return;
    }
    const Workspace& ws = m_form.workspace();
    const QString path = ws.SubjectDir() + fileName;
    QString error;
    if (!BankFile::createFromTemplate(resolveNoCase(ws.ProgramDir(), QStringLiteral("qm.qm")), path, &error)) {
        reportError(m_form.prompt(), error);
        return;
    }
    banks->Refresh();
    hide();
    m_form.Frame1->bankCreated(path);
}

void CreatePanel::Command7_Click()
{
    hide();
    m_form.Frame1->Command5_Click();
}

}  // namespace qm
