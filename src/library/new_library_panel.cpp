#include "library/new_library_panel.h"

#include "bankstore/paper_library.h"
#include "core/paths.h"
#include "core/prompt.h"
#include "core/workspace.h"
#include "library/form7.h"
#include "widgets/controls.h"
#include "widgets/dialogkeys.h"
#include "widgets/filelists.h"
#include "widgets/report_error.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

NewLibraryPanel::NewLibraryPanel(Form7& form) : QGroupBox(QStringLiteral("新建试卷库"), &form), m_form(form)
{
    setObjectName(QStringLiteral("Frame1"));
    Text1 = makeLineEdit(this, QStringLiteral("Text1"));
    Command11 = makeButton(this, QStringLiteral("Command11"), QStringLiteral("确　定"));
    Command12 = makeButton(this, QStringLiteral("Command12"), QStringLiteral("取　消"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("输入试卷库名称："), this));
    layout->addWidget(Text1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command11);
    buttons->addWidget(Command12);
    layout->addLayout(buttons);
    setMinimumWidth(320);
    connect(Command11, &QPushButton::clicked, this, &NewLibraryPanel::Command11_Click);
    connect(Command12, &QPushButton::clicked, this, &NewLibraryPanel::Command12_Click);
    hide();
}

void NewLibraryPanel::open()
{
    m_form.showPanel(this);
    Text1->setFocus();
    m_form.keys()->setDefaultButton(Command11);
    m_form.keys()->setCancelButton(Command12);
}

void NewLibraryPanel::Command11_Click()
{
    const QString name = Text1->text();
    if (name.isEmpty())
        return;
    const QString dir = m_form.libraryDir();
    if (dir.isEmpty()) {
        m_form.prompt().message(QStringLiteral("请先选择学科名！如果没有设置学科，可在题库录入功能中设置。"),
                                kTitleProgram, Icon::None, Buttons::Ok);
        return;
    }
    FileListBox* libraries = m_form.File1;
    // The list as it is on disk now, so that a library made meanwhile counts too.
    libraries->Refresh();
    for (int i = 0; i < libraries->ListCount(); ++i) {
        if (sameFileName(libraries->List(i), name + QStringLiteral(".juk"))) {
            reportError(m_form.prompt(), QStringLiteral("试卷库已存在，请另取名！"));
            return;
        }
    }
    const QString fileName = name + kLibraryExtension;
    if (!isValidFileName(fileName)) {
        reportError(m_form.prompt(), QStringLiteral("试卷库名称中不能有下列字符：\\ / : * ? \" < > |"));
        return;
    }
    if (!QFileInfo(dir).isDir()) {
        reportError(m_form.prompt(),
                    QStringLiteral("试卷库目录“%1”不存在，无法新建试卷库。").arg(QDir::toNativeSeparators(dir)));
        return;
    }
    QString error;
    if (!PaperLibrary::createFromTemplate(resolveNoCase(m_form.workspace().ProgramDir(), QStringLiteral("jk.jk")),
                                          dir + fileName, &error)) {
        reportError(m_form.prompt(), error);
        return;
    }
    libraries->Refresh();
    Command12_Click();
}

void NewLibraryPanel::Command12_Click()
{
    hide();
    m_form.keys()->setDefaultButton(nullptr);
    m_form.keys()->setCancelButton(nullptr);
}

}  // namespace qm
