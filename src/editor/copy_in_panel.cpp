#include "editor/copy_in_panel.h"

#include "bankstore/bank_file.h"
#include "bankstore/server_store.h"
#include "core/fileops.h"
#include "core/paths.h"
#include "core/workspace.h"
#include "editor/bank_maintenance.h"
#include "editor/form2.h"
#include "widgets/filelists.h"
#include "widgets/report_error.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace qm {

CopyInPanel::CopyInPanel(Form2& form)
    : FileCopyPanel(&form, form.keys(),
                    {.frame = QStringLiteral("Frame9"),
                     .caption = QStringLiteral("拷入文件"),
                     .drive = QStringLiteral("Drive2"),
                     .dir = QStringLiteral("Dir3"),
                     .file = QStringLiteral("File3"),
                     .pattern = QStringLiteral("*.tik"),
                     .name = QStringLiteral("Text14"),
                     .nameLabel = QStringLiteral("拷入文件名称"),
                     .placeLabel = {},
                     .confirm = QStringLiteral("Command46"),
                     .confirmCaption = QStringLiteral("拷　入"),
                     .cancel = QStringLiteral("Command45"),
                     .cancelCaption = QStringLiteral("取　消"),
                     .clickGivesPath = true}),
      m_form(form)
{
    Drive2 = places();
    Dir3 = directories();
    File3 = files();
    Text14 = nameBox();
    Command46 = confirmButton();
    Command45 = cancelButton();
    connect(Command46, &QPushButton::clicked, this, &CopyInPanel::Command46_Click);
    connect(Command45, &QPushButton::clicked, this, &CopyInPanel::Command45_Click);
}

void CopyInPanel::open()
{
    show();
    start();
}

void CopyInPanel::Command46_Click()
{
    const QString source = Text14->text();
    if (!hasExtensionNoCase(source, QStringLiteral(".tik"))) {
        reportError(m_form.prompt(), QStringLiteral("文件名错误，请重新输入！"));
        return;
    }
    // The copy keeps the name of the file being copied, whichever way it was chosen.
    const QString fileName = QFileInfo(source).fileName();
    QString error;
    if (QFileInfo(source).isFile() && !BankFile(source).check(&error)) {
        reportError(m_form.prompt(), error);
        return;
    }
    // Declined or failed alike: the bank was not copied in. Into a subject on a database
    // server the bank is copied whole, and the server's reason is said.
    const QString target = m_form.workspace().SubjectDir() + fileName;
    const int result = isServerPath(target) ? copyBankWithPrompt(m_form.prompt(), source, target, &error)
                                            : copy(m_form.prompt(), source, target);
    if (result != kCopyDone) {
        reportError(m_form.prompt(), result == kCopyFailed && !error.isEmpty()
                                         ? QStringLiteral("拷贝错误：") + error
                                         : QStringLiteral("目标文件可能已打开，拷贝错误，请检查！"));
        return;
    }
    Command45_Click();
    m_form.File1->Refresh();
}

void CopyInPanel::Command45_Click()
{
    dismiss();
}

}  // namespace qm
