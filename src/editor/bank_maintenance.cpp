#include "editor/bank_maintenance.h"

#include "bankstore/bank_file.h"
#include "bankstore/server_store.h"
#include "core/fileops.h"
#include "core/prompt.h"
#include "editor/entry_pane.h"
#include "editor/form2.h"
#include "import/batch_parser.h"
#include "import/import_run.h"
#include "import/import_texts.h"
#include "widgets/busycursor.h"
#include "widgets/report_error.h"

#include <QComboBox>
#include <QProgressDialog>
#include <QSet>

namespace qm {

using namespace import;

void importBatchFile(Form2& form)
{
    Prompt& prompt = form.prompt();
    EntryPane* pane = form.Frame7;
    if (prompt.message(kImportConfirm, kTitleWarning, Icon::Question, Buttons::YesNo, Answer::No) != Answer::Yes)
        return;
    const QString path = prompt.openFile(kImportTitle, kImportFilter);
    if (path.isEmpty())
        return;
    // The entry pane is opened so that the import sees the bank's lists and unit box.
    pane->open();
    const BatchFile file = readBatchFile(path);
    if (!file.format) {
        reportError(prompt, file.error);
        pane->Command28_Click();
        return;
    }

    BatchImport batch(file.text, *file.format);
    ImportRun run(form.bankPath(), batch);
    run.setOldFormatUnit(pane->Combo7->currentText());
    run.setDuplicateChoice([&prompt] {
        return prompt.message(kImportDuplicates, kImportTitle, Icon::Question, Buttons::YesNo, Answer::Yes)
               == Answer::Yes;
    });
    QProgressDialog progress(QStringLiteral("正在导入题目……"), QStringLiteral("取消"), 0, 1000, &form);
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
        outcome = run.run(askThrough(prompt));
    }
    progress.reset();
    switch (outcome) {
    case ImportOutcome::Finished:
        prompt.message(batch.endMessage()
                           + (run.skipped() > 0 ? QStringLiteral("\r\n") + skippedMessage(run.skipped()) : QString()),
                       kTitleInfo, Icon::Warning);
        break;
    case ImportOutcome::Cancelled:
        prompt.message(importStoppedMessage(run.stored()), kTitleInfo, Icon::Information);
        break;
    case ImportOutcome::Failed:
        reportError(prompt, run.error() + QLatin1Char('\n') + importStoppedMessage(run.stored()));
        break;
    }
    // Each imported question was the current one in turn: the last one stays current. The
    // pane reads the lists again (they may have grown) and shows it, then closes.
    if (run.stored() > 0)
        pane->CurrentQuestion = -1;
    pane->open();
    pane->Command28_Click();
}

bool mergeBanks(Prompt& prompt, const QString& openBankPath)
{
    if (prompt.message(kMergeConfirm, kTitleWarning, Icon::Question, Buttons::YesNo, Answer::No) != Answer::Yes)
        return false;
    const QString source = prompt.openFile(QStringLiteral("合并题库"), kMergeFilter);
    if (source.isEmpty())
        return false;
    if (prompt.message(mergeConfirmFiles(openBankPath, source), kTitleWarning, Icon::Question, Buttons::YesNo,
                       Answer::No)
        != Answer::Yes)
        return false;

    QString error;
    std::optional<QList<qint64>> same;
    {
        BusyCursor busy;
        same = mergeDuplicates(openBankPath, source, &error);
    }
    if (!same) {
        prompt.message(error, kTitleError, Icon::Critical);
        return false;
    }
    QSet<qint64> skip;
    if (!same->isEmpty()) {
        const Answer a = prompt.message(mergeDuplicatesQuestion(int(same->size())), kTitleWarning, Icon::Question,
                                        Buttons::YesNoCancel, Answer::Yes);
        if (a == Answer::Cancel)
            return false;
        if (a == Answer::Yes)
            skip = QSet<qint64>(same->begin(), same->end());
    }
    std::optional<int> added;
    {
        BusyCursor busy;
        added = BankFile(openBankPath).mergeFrom(source, &error, skip);
    }
    if (!added) {
        prompt.message(error, kTitleError, Icon::Critical);
        return false;
    }
    prompt.message(skip.isEmpty() ? kMergeDone : kMergeDone + QStringLiteral("\r\n") + skippedMessage(int(skip.size())),
                   kTitleInfo, Icon::Warning);
    return true;
}

bool sortBankByChapter(Prompt& prompt, const QString& bankPath, const QStringList& chapterList)
{
    QString error;
    bool sorted = false;
    {
        BusyCursor busy;
        sorted = BankFile(bankPath).sortByChapters(chapterList, &error);
    }
    if (!sorted) {
        prompt.message(error, kTitleError, Icon::Critical);
        return false;
    }
    // An information box with the program's own title.
    prompt.message(kSortDone, kTitleProgram, Icon::Information);
    return true;
}

int copyBankWithPrompt(Prompt& prompt, const QString& source, const QString& target, QString* error)
{
    if (BankFile(target).check()) {
        const Answer a = prompt.message(QStringLiteral("文件已存在，是否覆盖？"), QStringLiteral("警告"),
                                        Icon::Question, Buttons::YesNo, Answer::No);
        if (a != Answer::Yes)
            return kCopyDeclined;
    }
    const BusyCursor busy;
    return copyBank(source, target, error, ExistingBank::Replace) ? kCopyDone : kCopyFailed;
}

}  // namespace qm
