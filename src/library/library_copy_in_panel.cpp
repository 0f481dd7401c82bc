#include "library/library_copy_in_panel.h"

#include "bankstore/paper_library.h"
#include "core/fileops.h"
#include "library/form7.h"
#include "library/paper_view.h"
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

LibraryCopyInPanel::LibraryCopyInPanel(Form7& form) : QGroupBox(QStringLiteral("拷入试卷库"), &form), m_form(form)
{
    setObjectName(QStringLiteral("Frame2"));
    Drive1 = new DriveListBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Dir1 = new DirListBox(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    File2 = new FileListBox(this);
    File2->setObjectName(QStringLiteral("File2"));
    File2->setPattern(QStringLiteral("*.juk"));
    Text2 = makeLineEdit(this, QStringLiteral("Text2"));
    Command14 = makeButton(this, QStringLiteral("Command14"), QStringLiteral("确  定"));
    Command15 = makeButton(this, QStringLiteral("Command15"), QStringLiteral("取  消"));
    auto* lists = new QHBoxLayout;
    lists->addWidget(Dir1);
    lists->addWidget(File2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Drive1);
    layout->addLayout(lists, 1);
    layout->addWidget(new QLabel(QStringLiteral("源试卷库名："), this));
    layout->addWidget(Text2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command14);
    buttons->addWidget(Command15);
    layout->addLayout(buttons);
    setMinimumSize(440, 340);
    connect(Drive1, &DriveListBox::driveChanged, this, &LibraryCopyInPanel::Drive1_Change);
    connect(Dir1, &DirListBox::pathChanged, File2, &FileListBox::setPath);
    connect(File2, &FileListBox::clicked, this, &LibraryCopyInPanel::File2_Click);
    connect(File2, &QListWidget::itemDoubleClicked, this, &LibraryCopyInPanel::File2_DblClick);
    connect(Command14, &QPushButton::clicked, this, &LibraryCopyInPanel::Command14_Click);
    connect(Command15, &QPushButton::clicked, this, &LibraryCopyInPanel::Command15_Click);
    hide();
}

void LibraryCopyInPanel::open()
{
    m_form.showPanel(this);
    startAtHome(Drive1, Dir1);
    File2->setPath(Dir1->Path());
    m_form.keys()->setDefaultButton(Command14);
    m_form.keys()->setCancelButton(Command15);
    Text2->setFocus();
}

void LibraryCopyInPanel::Drive1_Change(const QString& drive)
{
    // A place that cannot be read leaves the lists as they were.
    if (QFileInfo(drive).isReadable())
        Dir1->setPath(drive);
}

void LibraryCopyInPanel::File2_Click()
{
    Text2->setText(File2->FileName());
}

void LibraryCopyInPanel::File2_DblClick()
{
    File2_Click();
    Command14_Click();
}

void LibraryCopyInPanel::Command14_Click()
{
    const QString name = Text2->text();
    if (name.isEmpty() || name.right(4).toUpper() != QLatin1String(".JUK")) {
        m_form.reportError(QStringLiteral("文件名错误，请重新输入！"));
        return;
    }
    const QString source = QDir(File2->Path()).filePath(name);
    const QString target = m_form.libraryDir() + QFileInfo(name).fileName();
    // A file that is not a library of ours is not let into the list.
    QString error;
    if (QFileInfo(source).isFile() && !PaperLibrary(source).check(&error)) {
        m_form.reportError(error);
        return;
    }
    int result = kCopyFailed;
    if (!m_form.libraryDir().isEmpty()) {
        const BusyCursor busy;
        result = CopyFileWithPrompt(m_form.prompt(), source, target);
    }
    if (result != kCopyDone) {
        m_form.reportError(QStringLiteral("拷贝取消，请检查！"));
        return;
    }
    Command15_Click();
    m_form.File1->Refresh();
    // The open library itself was replaced: what is shown of the old file is let go.
    if (m_form.cursor.library().compare(target, Qt::CaseInsensitive) == 0 && !m_form.cursor.waiting()) {
        m_form.cursor.shown();
        m_form.Paper->openLibrary();
    }
}

void LibraryCopyInPanel::Command15_Click()
{
    hide();
    m_form.keys()->setDefaultButton(nullptr);
    m_form.keys()->setCancelButton(nullptr);
}

}  // namespace qm
