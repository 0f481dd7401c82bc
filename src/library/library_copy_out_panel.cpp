#include "library/library_copy_out_panel.h"

#include "core/fileops.h"
#include "core/paths.h"
#include "library/form7.h"
#include "widgets/filelists.h"
#include "widgets/report_error.h"

#include <QLineEdit>
#include <QPushButton>

namespace qm {

LibraryCopyOutPanel::LibraryCopyOutPanel(Form7& form)
    : FileCopyPanel(&form, form.keys(),
                    {.frame = QStringLiteral("Frame3"),
                     .caption = QStringLiteral("拷出试卷库"),
                     .drive = QStringLiteral("Drive2"),
                     .dir = QStringLiteral("Dir2"),
                     .file = {},
                     .pattern = {},
                     .name = QStringLiteral("Text3"),
                     .nameLabel = QStringLiteral("拷出文件："),
                     .placeLabel = QStringLiteral("拷出路径："),
                     .confirm = QStringLiteral("Command16"),
                     .confirmCaption = QStringLiteral("确  定"),
                     .cancel = QStringLiteral("Command13"),
                     .cancelCaption = QStringLiteral("取  消"),
                     .clickGivesPath = false}),
      m_form(form)
{
    Text3 = nameBox();
    Text3->setReadOnly(true);
    Drive2 = places();
    Dir2 = directories();
    Command16 = confirmButton();
    Command13 = cancelButton();
    setMinimumSize(360, 340);
    connect(Command16, &QPushButton::clicked, this, &LibraryCopyOutPanel::Command16_Click);
    connect(Command13, &QPushButton::clicked, this, &LibraryCopyOutPanel::Command13_Click);
}

void LibraryCopyOutPanel::open()
{
    m_form.showPanel(this);
    Text3->setText(m_form.File1->FileName());
    start();
}

void LibraryCopyOutPanel::Command16_Click()
{
    const QString name = Text3->text();
    // Declined, failed, or nothing chosen to copy: the library was not copied out.
    if (name.isEmpty() || m_form.libraryDir().isEmpty()
        || copy(m_form.prompt(), m_form.libraryDir() + name, withTrailingSep(Dir2->Path()) + name) != kCopyDone) {
        reportError(m_form.prompt(), QStringLiteral("拷贝取消，请检查！"));
        return;
    }
    Command13_Click();
}

void LibraryCopyOutPanel::Command13_Click()
{
    dismiss();
}

}  // namespace qm
