#include "library/library_copy_in_panel.h"

#include "bankstore/paper_library.h"
#include "core/fileops.h"
#include "library/form7.h"
#include "library/paper_view.h"
#include "widgets/filelists.h"
#include "widgets/report_error.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace qm {

LibraryCopyInPanel::LibraryCopyInPanel(Form7& form)
    : FileCopyPanel(&form, form.keys(),
                    {.frame = QStringLiteral("Frame2"),
                     .caption = QStringLiteral("拷入试卷库"),
                     .drive = QStringLiteral("Drive1"),
                     .dir = QStringLiteral("Dir1"),
                     .file = QStringLiteral("File2"),
                     .pattern = QStringLiteral("*.juk"),
                     .name = QStringLiteral("Text2"),
                     .nameLabel = QStringLiteral("源试卷库名："),
                     .placeLabel = {},
                     .confirm = QStringLiteral("Command14"),
                     .confirmCaption = QStringLiteral("确  定"),
                     .cancel = QStringLiteral("Command15"),
                     .cancelCaption = QStringLiteral("取  消"),
                     .clickGivesPath = false}),
      m_form(form)
{
    Drive1 = places();
    Dir1 = directories();
    File2 = files();
    Text2 = nameBox();
    Command14 = confirmButton();
    Command15 = cancelButton();
    setMinimumSize(440, 340);
    connect(Command14, &QPushButton::clicked, this, &LibraryCopyInPanel::Command14_Click);
    connect(Command15, &QPushButton::clicked, this, &LibraryCopyInPanel::Command15_Click);
}

void LibraryCopyInPanel::open()
{
    m_form.showPanel(this);
    start();
}

void LibraryCopyInPanel::Command14_Click()
{
    const QString name = Text2->text();
    if (name.isEmpty() || name.right(4).toUpper() != QLatin1String(".JUK")) {
        reportError(m_form.prompt(), QStringLiteral("文件名错误，请重新输入！"));
        return;
    }
    const QString source = QDir(File2->Path()).filePath(name);
    const QString target = m_form.libraryDir() + QFileInfo(name).fileName();
    // A file that is not a library of ours is not let into the list.
    QString error;
    if (QFileInfo(source).isFile() && !PaperLibrary(source).check(&error)) {
        reportError(m_form.prompt(), error);
        return;
    }
    // Declined, failed, or no subject to copy into: the library was not copied in.
    if (m_form.libraryDir().isEmpty() || copy(m_form.prompt(), source, target) != kCopyDone) {
        reportError(m_form.prompt(), QStringLiteral("拷贝取消，请检查！"));
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
    dismiss();
}

}  // namespace qm
