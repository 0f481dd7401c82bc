#include "import/import_run.h"

#include "bankstore/bank_file.h"
#include "bankstore/duplicates.h"
#include "bankstore/search_text.h"
#include "core/prompt.h"
#include "import/import_texts.h"
#include "rtf/rich_text.h"

#include <QElapsedTimer>
#include <QSet>
#include <array>

namespace qm::import {

namespace {

// The attribute lists in the order a question's names are added to them.
constexpr std::array<AttributeList, 4> kLists = {AttributeList::Types, AttributeList::Chapters,
                                                 AttributeList::Difficulties, AttributeList::Units};

// Questions are committed once the open transaction is this old.
constexpr qint64 kCommitEveryMs = 1000;

}  // namespace

NameAsker askThrough(Prompt& prompt)
{
    return [&prompt](const NameRequest& request) { return prompt.input(request.prompt, kImportTitle, QString()); };
}

ImportRun::ImportRun(QString bankPath, BatchImport& batch) : m_path(std::move(bankPath)), m_batch(batch) {}

ImportOutcome ImportRun::run(const NameAsker& ask)
{
    // The texts of the bank's questions and of those stored by this run, when duplicates
    // are looked for.
    QSet<QString> known;
    if (m_duplicateChoice) {
        const auto texts = BankFile(m_path).searchTexts(&m_error);
        if (!texts)
            return ImportOutcome::Failed;
        for (const auto& [id, text] : *texts)
            known.insert(sameTextKey(text));
    }
    std::optional<bool> skipDuplicates;
    const std::unique_ptr<BankAppender> bank = BankAppender::open(m_path, &m_error);
    if (!bank)
        return ImportOutcome::Failed;

    int pending = 0;
    QElapsedTimer age;
    auto commit = [&] {
        if (!bank->pending())
            return true;
        if (!bank->commit(&m_error))
            return false;
        m_stored += pending;
        pending = 0;
        return true;
    };
    bool failed = false;
    // The bank is committed before every question to the user, so it is free while they think.
    const NameAsker askCommitted = [&](const NameRequest& request) -> std::optional<QString> {
        if (!commit())
            failed = true;
        return ask && !failed ? ask(request) : std::nullopt;
    };

    while (std::optional<ImportQuestion> q = m_batch.next(askCommitted)) {
        if (failed)
            return ImportOutcome::Failed;
        Question stored;
        stored.text = rtfFromPlainText(q->question);
        stored.answer = rtfFromPlainText(q->answer);
        stored.type = q->type;
        stored.chapter = q->chapter;
        stored.unit = q->unit.value_or(m_oldFormatUnit);
        stored.difficulty = q->difficulty;
        stored.score = q->score;
        if (m_duplicateChoice) {
            const QString key = sameTextKey(searchTextOf(stored.text, stored.answer));
            if (!key.isEmpty() && known.contains(key)) {
                if (!skipDuplicates) {
                    if (!commit())
                        return ImportOutcome::Failed;
                    skipDuplicates = m_duplicateChoice();
                }
                if (*skipDuplicates) {
                    ++m_skipped;
                    continue;
                }
            }
            known.insert(key);
        }
        // The transaction's age counts from its first question, not from before the wait
        // for a bank that another computer is writing.
        const bool opens = !bank->pending();
        if (!bank->add(stored, &m_error))
            return ImportOutcome::Failed;
        if (opens)
            age.start();

        // The old format names no unit, so its questions add none to the unit list. Whether
        // a list holds a name is decided in the transaction that adds it: another import
        // may be adding the same names to the bank at the same time.
        const std::array<const QString*, kLists.size()> names = {&q->type, &q->chapter, &q->difficulty,
                                                                 q->unit ? &*q->unit : nullptr};
        for (size_t i = 0; i < kLists.size(); ++i) {
            if (names[i] && !names[i]->isEmpty() && !bank->addToListIfMissing(kLists[i], *names[i], &m_error))
                return ImportOutcome::Failed;
        }

        ++pending;
        if (age.elapsed() >= kCommitEveryMs && !commit())
            return ImportOutcome::Failed;
        if (m_progress && !m_progress({m_batch.position(), m_batch.size(), m_stored + pending}))
            return commit() ? ImportOutcome::Cancelled : ImportOutcome::Failed;
    }
    if (failed || !commit())
        return ImportOutcome::Failed;
    return ImportOutcome::Finished;
}

}  // namespace qm::import
