#include "import/import_run.h"

#include "bankstore/sqlite_file.h"
#include "core/prompt.h"
#include "import/import_texts.h"
#include "rtf/rich_text.h"

#include <QElapsedTimer>
#include <QSet>
#include <array>

namespace qm::import {

namespace {

// The attribute lists in the order a question's names are added to them.
constexpr std::array<const char*, 4> kLists = {"题型", "章节", "难度", "单元"};

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
    std::optional<SQLite::Database> db = openDbFile(m_path, DbKind::Bank, &m_error);
    if (!db)
        return ImportOutcome::Failed;
    int pending = 0;
    try {
        // Each list table (a list table and its field share the name), with the names it
        // holds: a name is looked for exactly as written.
        std::array<QSet<QString>, kLists.size()> known;
        std::vector<SQLite::Statement> append;
        for (size_t i = 0; i < kLists.size(); ++i) {
            const std::string t = kLists[i];
            SQLite::Statement names(*db, "SELECT " + t + " FROM " + t);
            while (names.executeStep())
                known[i].insert(columnText(names.getColumn(0)));
            append.emplace_back(*db, "INSERT INTO " + t + " (" + t + ") VALUES (?)");
        }
        // New rows take order keys after the bank's last row (see columnAtPosition).
        SQLite::Statement insert(*db, "INSERT INTO 题库 (题目, 答案, 题型, 章节, 单元, 难度, 分值, 次序) "
                                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?)");

        std::optional<WriteTransaction> tx;
        QElapsedTimer age;
        int64_t key = 0;
        auto commit = [&] {
            if (!tx)
                return;
            tx->commit();
            tx.reset();
            m_stored += pending;
            pending = 0;
        };
        const NameAsker askCommitted = [&](const NameRequest& request) {
            commit();
            return ask ? ask(request) : std::nullopt;
        };

        while (std::optional<ImportQuestion> q = m_batch.next(askCommitted)) {
            if (!tx) {
                tx.emplace(*db);
                age.start();
                key = db->execAndGet("SELECT coalesce(max(次序), 0) FROM 题库").getInt64();
            }
            bindBlob(insert, 1, rtfFromPlainText(q->question));
            bindBlob(insert, 2, rtfFromPlainText(q->answer));
            bindText(insert, 3, q->type);
            bindText(insert, 4, q->chapter);
            bindText(insert, 5, q->unit.value_or(m_oldFormatUnit));
            bindText(insert, 6, q->difficulty);
            insert.bind(7, q->score);
            insert.bind(8, ++key);
            insert.exec();
            insert.reset();

            // The old format names no unit, so its questions add none to the unit list.
            const std::array<const QString*, kLists.size()> names = {&q->type, &q->chapter, &q->difficulty,
                                                                     q->unit ? &*q->unit : nullptr};
            for (size_t i = 0; i < kLists.size(); ++i) {
                if (!names[i] || names[i]->isEmpty() || known[i].contains(*names[i]))
                    continue;
                bindText(append[i], 1, *names[i]);
                append[i].exec();
                append[i].reset();
                known[i].insert(*names[i]);
            }

            ++pending;
            if (age.elapsed() >= kCommitEveryMs)
                commit();
            if (m_progress && !m_progress({m_batch.position(), m_batch.size(), m_stored + pending})) {
                commit();
                return ImportOutcome::Cancelled;
            }
        }
        commit();
        return ImportOutcome::Finished;
    } catch (const SQLite::Exception& e) {
        // The open transaction has been rolled back: only what was committed stays.
        m_error = dbErrorMessage(m_path, e);
    }
    return ImportOutcome::Failed;
}

}  // namespace qm::import
