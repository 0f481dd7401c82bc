#include "editor/bank_window_actions.h"

#include "core/prompt.h"
#include "editor/form2.h"
#include "editor/bank_maintenance.h"
#include "import/batch_parser.h"
#include "editor/form4.h"
#include "widgets/busycursor.h"
#include "import/import_run.h"
#include "import/import_texts.h"

#include <QComboBox>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>

namespace qm {

BankWindowActions::BankWindowActions(Form2& form, Prompt& prompt) : QObject(&form), m_form(form), m_prompt(prompt)
{
    connect(m_form.Command40, &QPushButton::clicked, this, &BankWindowActions::Command40_Click);
    connect(m_form.Command59, &QPushButton::clicked, this, &BankWindowActions::Command59_Click);
    connect(m_form.Command60, &QPushButton::clicked, this, &BankWindowActions::Command60_Click);
    connect(m_form.Command72, &QPushButton::clicked, this, &BankWindowActions::Command72_Click);
}

Form4* BankWindowActions::form4()
{
    if (!m_form4)
        m_form4 = new Form4(&m_form);
    return m_form4;
}

void BankWindowActions::Command40_Click()
{
    using namespace import;
    if (m_prompt.message(kImportConfirm, kTitleWarning, Icon::Question, Buttons::YesNo, Answer::No) != Answer::Yes)
        return;
    const QString path = m_prompt.openFile(kImportTitle, kImportFilter);
    if (path.isEmpty())
        return;
    // The entry pane is opened so that the import sees the bank's lists and unit box.
    m_form.Command27_Click();
    const BatchFile file = readBatchFile(path);
    if (!file.format) {
        m_prompt.message(file.error, kTitleError, Icon::Warning);
        m_form.Command28_Click();
        return;
    }

    BatchImport batch(file.text, *file.format);
    ImportRun run(m_form.bankPath(), batch);
    run.setOldFormatUnit(m_form.Combo7->currentText());
    QProgressDialog progress(QStringLiteral("正在导入题目……"), QStringLiteral("取消"), 0, 1000, &m_form);
    progress.setWindowTitle(kImportTitle);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    run.setProgress([&progress](const ImportProgress& p) {
        progress.setLabelText(QStringLiteral("正在导入题目，已导入%1道……").arg(p.stored));
        progress.setValue(p.size > 0 ? int(p.position * 1000 / p.size) : 0);
        return !progress.wasCanceled();
    });
    ImportOutcome outcome;
    {
        BusyCursor busy;
        outcome = run.run(askThrough(m_prompt));
    }
    progress.reset();
    switch (outcome) {
    case ImportOutcome::Finished:
        m_prompt.message(batch.endMessage(), kTitleInfo, Icon::Warning);
        break;
    case ImportOutcome::Cancelled:
        m_prompt.message(importStoppedMessage(run.stored()), kTitleInfo, Icon::Information);
        break;
    case ImportOutcome::Failed:
        m_prompt.message(run.error() + QLatin1Char('\n') + importStoppedMessage(run.stored()), kTitleError,
                         Icon::Warning);
        break;
    }
    // The pane reads the lists again (they may have grown) and shows its question.
    m_form.Command27_Click();
    m_form.Command28_Click();
}

void BankWindowActions::Command59_Click()
{
    mergeBanks(m_prompt, m_form.bankPath());
}

void BankWindowActions::Command60_Click()
{
    form4()->show();
    form4()->raise();
}

void BankWindowActions::Command72_Click()
{
    QStringList chapters;
    for (int i = 0; i < m_form.List3->count(); ++i)
        chapters << m_form.List3->item(i)->text();
    sortBankByChapter(m_prompt, m_form.bankPath(), chapters);
}

}  // namespace qm
