#include "editor/bank_maintenance.h"

#include "bankstore/bank_file.h"
#include "core/prompt.h"
#include "import/import_texts.h"
#include "widgets/busycursor.h"

namespace qm {

using namespace import;

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
    std::optional<int> added;
    {
        BusyCursor busy;
        added = BankFile(openBankPath).mergeFrom(source, &error);
    }
    if (!added) {
        prompt.message(error, kTitleError, Icon::Critical);
        return false;
    }
    prompt.message(kMergeDone, kTitleInfo, Icon::Warning);
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

}  // namespace qm
