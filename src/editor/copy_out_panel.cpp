#include "editor/copy_out_panel.h"

#include "bankstore/server_store.h"
#include "core/fileops.h"
#include "core/paths.h"
#include "editor/bank_maintenance.h"
#include "editor/form2.h"
#include "widgets/filelists.h"
#include "widgets/report_error.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>

namespace qm {

CopyOutPanel::CopyOutPanel(Form2& form)
    : FileCopyPanel(&form, form.keys(),
                    {.frame = QStringLiteral("Frame8"),
                     .caption = QStringLiteral("拷出文件"),
                     .drive = QStringLiteral("Drive1"),
                     .dir = QStringLiteral("Dir2"),
                     .file = {},
                     .pattern = {},
                     .name = QStringLiteral("Text13"),
                     .nameLabel = QStringLiteral("拷出文件名称"),
                     .placeLabel = {},
                     .confirm = QStringLiteral("Command43"),
                     .confirmCaption = QStringLiteral("拷　出"),
                     .cancel = QStringLiteral("Command44"),
                     .cancelCaption = QStringLiteral("取　消"),
                     .clickGivesPath = false}),
      m_form(form)
{
    Drive1 = places();
    Dir2 = directories();
    Text13 = nameBox();
    Command43 = confirmButton();
    Command44 = cancelButton();
    connect(Command43, &QPushButton::clicked, this, &CopyOutPanel::Command43_Click);
    connect(Command44, &QPushButton::clicked, this, &CopyOutPanel::Command44_Click);
}

void CopyOutPanel::open()
{
    show();
    start();
}

void CopyOutPanel::Dir2_Change()
{
    Text13->setText(withTrailingSep(Dir2->Path()) + m_form.File1->FileName());
}

void CopyOutPanel::Command43_Click()
{
    const QString target = Text13->text();
    if (!hasExtensionNoCase(target, QStringLiteral(".tik"))) {
        reportError(m_form.prompt(), QStringLiteral("输出文件名不对，请重新选择路径"));
        return;
    }
    // An overwrite the user declined needs no message: the panel stays open for another
    // name. A copy that failed is said, with the path it could not write.
    // A bank on a database server is copied out whole into a bank file.
    QString error;
    const int result = isServerPath(m_form.bankPath())
                           ? copyBankWithPrompt(m_form.prompt(), m_form.bankPath(), target, &error)
                           : copy(m_form.prompt(), m_form.bankPath(), target);
    if (result == kCopyDone)
        Command44_Click();
    else if (result == kCopyFailed)
        reportError(m_form.prompt(), QStringLiteral("拷贝失败，请检查输出路径：") + QDir::toNativeSeparators(target));
}

void CopyOutPanel::Command44_Click()
{
    dismiss();
}

}  // namespace qm
