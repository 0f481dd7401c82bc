#include "editor/copy_in_panel.h"

#include "bankstore/bank_file.h"
#include "core/fileops.h"
#include "core/paths.h"
#include "core/workspace.h"
#include "editor/form2.h"
#include "widgets/busycursor.h"
#include "widgets/controls.h"
#include "widgets/dialogkeys.h"
#include "widgets/filelists.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

CopyInPanel::CopyInPanel(Form2& form) : QGroupBox(QStringLiteral("拷入文件"), &form), m_form(form)
{
    setObjectName(QStringLiteral("Frame9"));
    Drive2 = new DriveListBox(this);
    Drive2->setObjectName(QStringLiteral("Drive2"));
    Dir3 = new DirListBox(this);
    Dir3->setObjectName(QStringLiteral("Dir3"));
    File3 = new FileListBox(this);
    File3->setObjectName(QStringLiteral("File3"));
    File3->setPattern(QStringLiteral("*.tik"));
    Text14 = makeLineEdit(this, QStringLiteral("Text14"));
    Command46 = makeButton(this, QStringLiteral("Command46"), QStringLiteral("拷　入"));
    Command45 = makeButton(this, QStringLiteral("Command45"), QStringLiteral("取　消"));
    auto* lists = new QHBoxLayout;
    lists->addWidget(Dir3);
    lists->addWidget(File3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Drive2);
    layout->addLayout(lists, 1);
    layout->addWidget(new QLabel(QStringLiteral("拷入文件名称"), this));
    layout->addWidget(Text14);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command46);
    buttons->addWidget(Command45);
    layout->addLayout(buttons);
    connect(Drive2, &DriveListBox::driveChanged, Dir3, &DirListBox::setPath);
    connect(Dir3, &DirListBox::pathChanged, File3, &FileListBox::setPath);
    connect(File3, &FileListBox::clicked, this, &CopyInPanel::File3_Click);
    connect(Command46, &QPushButton::clicked, this, &CopyInPanel::Command46_Click);
    connect(Command45, &QPushButton::clicked, this, &CopyInPanel::Command45_Click);
    hide();
}

void CopyInPanel::open()
{
    show();
    startAtHome(Drive2, Dir3);
    m_form.keys()->setDefaultButton(Command46);
    m_form.keys()->setCancelButton(Command45);
}

void CopyInPanel::File3_Click()
{
    Text14->setText(withTrailingSep(File3->Path()) + File3->FileName());
}

void CopyInPanel::Command46_Click()
{
    const QString source = Text14->text();
    if (!hasExtensionNoCase(source, QStringLiteral(".tik"))) {
        m_form.reportError(QStringLiteral("文件名错误，请重新输入！"));
        return;
    }
    // The copy keeps the name of the file being copied, whichever way it was chosen.
    const QString fileName = QFileInfo(source).fileName();
    QString error;
    if (QFileInfo(source).isFile() && !BankFile(source).check(&error)) {
        m_form.reportError(error);
        return;
    }
    int result = kCopyFailed;
    {
        BusyCursor busy;
        result = CopyFileWithPrompt(m_form.prompt(), source, m_form.workspace().SubjectDir() + fileName);
    }
    if (result != kCopyDone) {
        m_form.reportError(QStringLiteral("目标文件可能已打开，拷贝错误，请检查！"));
        return;
    }
    Command45_Click();
    m_form.File1->Refresh();
}

void CopyInPanel::Command45_Click()
{
    hide();
    m_form.keys()->setDefaultButton(nullptr);
    m_form.keys()->setCancelButton(nullptr);
}

}  // namespace qm
