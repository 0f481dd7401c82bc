#include "library/library_copy_out_panel.h"

#include "core/fileops.h"
#include "core/paths.h"
#include "library/form7.h"
#include "widgets/busycursor.h"
#include "widgets/controls.h"
#include "widgets/dialogkeys.h"
#include "widgets/filelists.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

LibraryCopyOutPanel::LibraryCopyOutPanel(Form7& form) : QGroupBox(QStringLiteral("拷出试卷库"), &form), m_form(form)
{
    setObjectName(QStringLiteral("Frame3"));
    Text3 = makeLineEdit(this, QStringLiteral("Text3"));
    Text3->setReadOnly(true);
    Drive2 = new DriveListBox(this);
    Drive2->setObjectName(QStringLiteral("Drive2"));
    Dir2 = new DirListBox(this);
    Dir2->setObjectName(QStringLiteral("Dir2"));
    Command16 = makeButton(this, QStringLiteral("Command16"), QStringLiteral("确  定"));
    Command13 = makeButton(this, QStringLiteral("Command13"), QStringLiteral("取  消"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("拷出文件："), this));
    layout->addWidget(Text3);
    layout->addWidget(new QLabel(QStringLiteral("拷出路径："), this));
    layout->addWidget(Drive2);
    layout->addWidget(Dir2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command16);
    buttons->addWidget(Command13);
    layout->addLayout(buttons);
    setMinimumSize(360, 340);
    connect(Drive2, &DriveListBox::driveChanged, this, &LibraryCopyOutPanel::Drive2_Change);
    connect(Command16, &QPushButton::clicked, this, &LibraryCopyOutPanel::Command16_Click);
    connect(Command13, &QPushButton::clicked, this, &LibraryCopyOutPanel::Command13_Click);
    hide();
}

void LibraryCopyOutPanel::open()
{
    m_form.showPanel(this);
    Text3->setText(m_form.File1->FileName());
    startAtHome(Drive2, Dir2);
    m_form.keys()->setDefaultButton(Command16);
    m_form.keys()->setCancelButton(Command13);
}

void LibraryCopyOutPanel::Drive2_Change(const QString& drive)
{
    // A place that cannot be read leaves the list as it was.
    if (QFileInfo(drive).isReadable())
        Dir2->setPath(drive);
}

void LibraryCopyOutPanel::Command16_Click()
{
    const QString name = Text3->text();
    int result = kCopyFailed;
    if (!name.isEmpty() && !m_form.libraryDir().isEmpty()) {
        const BusyCursor busy;
        result = CopyFileWithPrompt(m_form.prompt(), m_form.libraryDir() + name, withTrailingSep(Dir2->Path()) + name);
    }
    if (result != kCopyDone) {
        m_form.reportError(QStringLiteral("拷贝取消，请检查！"));
        return;
    }
    Command13_Click();
}

void LibraryCopyOutPanel::Command13_Click()
{
    hide();
    m_form.keys()->setDefaultButton(nullptr);
    m_form.keys()->setCancelButton(nullptr);
}

}  // namespace qm
