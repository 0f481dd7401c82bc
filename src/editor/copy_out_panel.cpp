#include "editor/copy_out_panel.h"

#include "core/fileops.h"
#include "core/paths.h"
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

CopyOutPanel::CopyOutPanel(Form2& form) : QGroupBox(QStringLiteral("拷出文件"), &form), m_form(form)
{
    setObjectName(QStringLiteral("Frame8"));
    Drive1 = new DriveListBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Dir2 = new DirListBox(this);
    Dir2->setObjectName(QStringLiteral("Dir2"));
    Text13 = makeLineEdit(this, QStringLiteral("Text13"));
    Command43 = makeButton(this, QStringLiteral("Command43"), QStringLiteral("拷　出"));
    Command44 = makeButton(this, QStringLiteral("Command44"), QStringLiteral("取　消"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Drive1);
    layout->addWidget(Dir2, 1);
    layout->addWidget(new QLabel(QStringLiteral("拷出文件名称"), this));
    layout->addWidget(Text13);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command43);
    buttons->addWidget(Command44);
    layout->addLayout(buttons);
    connect(Drive1, &DriveListBox::driveChanged, Dir2, &DirListBox::setPath);
    connect(Dir2, &DirListBox::pathChanged, this, &CopyOutPanel::Dir2_Change);
    connect(Command43, &QPushButton::clicked, this, &CopyOutPanel::Command43_Click);
    connect(Command44, &QPushButton::clicked, this, &CopyOutPanel::Command44_Click);
    hide();
}

void CopyOutPanel::open()
{
    show();
    startAtHome(Drive1, Dir2);
    Dir2_Change();
    m_form.keys()->setDefaultButton(Command43);
    m_form.keys()->setCancelButton(Command44);
    Text13->setFocus();
}

void CopyOutPanel::Dir2_Change()
{
    Text13->setText(withTrailingSep(Dir2->Path()) + m_form.File1->FileName());
}

void CopyOutPanel::Command43_Click()
{
    const QString target = Text13->text();
    if (!hasExtensionNoCase(target, QStringLiteral(".tik"))) {
        m_form.reportError(QStringLiteral("输出文件名不对，请重新选择路径"));
        return;
    }
    int result = kCopyFailed;
    {
        BusyCursor busy;
        result = CopyFileWithPrompt(m_form.prompt(), m_form.bankPath(), target);
    }
    if (result == kCopyDone)
        Command44_Click();
    else if (result == kCopyFailed)
        m_form.reportError(QStringLiteral("拷贝失败，请检查输出路径：") + QDir::toNativeSeparators(target));
}

void CopyOutPanel::Command44_Click()
{
    hide();
    m_form.keys()->setDefaultButton(nullptr);
    m_form.keys()->setCancelButton(nullptr);
}

}  // namespace qm
