// BankReader and BankAppender: a whole bank read in one pass, and many questions appended
// while the bank stays open.

#include "bankstore/bank_file.h"
#include "bankstore/bank_rows.h"
#include "bankstore/search_text.h"
#include "bankstore/server_bank.h"
#include "bankstore/sqlite_file.h"

#include <QElapsedTimer>
#include <QSet>
#include <array>
#include <chrono>
#include <thread>

namespace qm {

using namespace bankrows;

// --- Reading in one pass ---

struct BankReader::Impl {
    QString path;
    SQLite::Database db;
    // Declared after the database, so that they are destroyed before it.
    std::optional<SQLite::Transaction> read;
    std::optional<SQLite::Statement> questions;
    Particulars particulars;
    std::array<QStringList, 4> lists;
    int count = 0;
    QString error;

    Impl(QString p, SQLite::Database&& d) : path(std::move(p)), db(std::move(d)) {}
};

BankReader::BankReader(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}

BankReader::BankReader(std::unique_ptr<ServerBankReader> server) : m_server(std::move(server)) {}

BankReader::~BankReader() = default;

std::unique_ptr<BankReader> BankReader::open(const QString& path, QString* error)
{
    if (isServerPath(path)) {
        std::unique_ptr<ServerBankReader> server = ServerBankReader::open(path, error);
        return server ? std::unique_ptr<BankReader>(new BankReader(std::move(server))) : nullptr;
    }
    std::optional<SQLite::Database> db = openDbFile(path, DbKind::Bank, error);
    if (!db)
        return nullptr;
    auto d = std::make_unique<Impl>(path, std::move(*db));
    try {
        d->read.emplace(d->db);
        d->particulars = particularsOf(d->db);
        for (AttributeList which :
             {AttributeList::Types, AttributeList::Chapters, AttributeList::Difficulties, AttributeList::Units})
            d->lists[size_t(which)] = listOf(d->db, which);
        d->count = rowCount(d->db, "题库");
        d->questions.emplace(d->db, "SELECT " + kQuestionFields + " FROM 题库 ORDER BY 次序");
    } catch (const SQLite::Exception& e) {
        if (error)
            *error = dbErrorMessage(path, e);
        return nullptr;
    }
    return std::unique_ptr<BankReader>(new BankReader(std::move(d)));
}

const Particulars& BankReader::particulars() const
{
    if (m_server)
        return m_server->particulars();
    return d->particulars;
}

const QStringList& BankReader::list(AttributeList which) const
{
    if (m_server)
        return m_server->list(which);
    return d->lists[size_t(which)];
}

int BankReader::count() const
{
    if (m_server)
        return m_server->count();
    return d->count;
}

std::optional<Question> BankReader::next()
{
    if (m_server)
        return m_server->next();
    if (!d->questions)
        return std::nullopt;
    try {
        if (d->questions->executeStep())
            return questionFrom(*d->questions);
        d->questions.reset();
        d->read->commit();
        d->read.reset();
    } catch (const SQLite::Exception& e) {
        d->questions.reset();
        d->read.reset();
        d->error = dbErrorMessage(d->path, e);
    }
    return std::nullopt;
}

const QString& BankReader::error() const
{
    if (m_server)
        return m_server->error();
    return d->error;
}

// --- Appending in bulk ---

struct BankAppender::Impl {
    QString path;
    SQLite::Database db;
    std::optional<WriteTransaction> tx;
    std::optional<SQLite::Statement> insert;
    int64_t key = 0;
    // Names known to be in each list during the open transaction; outside it another
    // program may change the lists.
    std::array<QSet<QString>, 4> listed;
    // Started at each commit.
    QElapsedTimer sinceCommit;
    // Started when the first transaction began and at the first transaction after each break
    // of kWriterPauseMs: how long the bank has been kept. Time spent waiting for the bank
    // does not count, or a writer that waited for another would give way again after
    // one question.
    QElapsedTimer sinceBreak;

    Impl(QString p, SQLite::Database&& d) : path(std::move(p)), db(std::move(d)) {}

    // A failed write or commit: everything since the last commit is rolled back.
    bool abandon(const SQLite::Exception& e, QString* error)
    {
        insert.reset();
        tx.reset();
        if (error)
            *error = dbErrorMessage(path, e);
        return false;
    }
};

BankAppender::BankAppender(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}

BankAppender::BankAppender(std::unique_ptr<ServerBankAppender> server) : m_server(std::move(server)) {}

BankAppender::~BankAppender()
{
    if (m_server)
        return;
    // Statements go before their database; an open transaction rolls back.
    d->insert.reset();
    d->tx.reset();
}

std::unique_ptr<BankAppender> BankAppender::open(const QString& path, QString* error)
{
    if (isServerPath(path)) {
        std::unique_ptr<ServerBankAppender> server = ServerBankAppender::open(path, error);
        return server ? std::unique_ptr<BankAppender>(new BankAppender(std::move(server))) : nullptr;
    }
    std::optional<SQLite::Database> db = openDbFile(path, DbKind::Bank, error);
    if (!db)
        return nullptr;
    return std::unique_ptr<BankAppender>(new BankAppender(std::make_unique<Impl>(path, std::move(*db))));
}

bool BankAppender::takeBreakIfDue()
{
    if (!d->sinceCommit.isValid() || d->sinceCommit.elapsed() >= kWriterPauseMs)
        return true;  // the first transaction, or the bank has been left alone long enough
    if (d->sinceBreak.elapsed() < kWriterHoldMs)
        return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(kWriterPauseMs - d->sinceCommit.elapsed()));
    return true;
}

bool BankAppender::write(QString* error, const std::function<void()>& work)
{
    try {
        if (!d->tx) {
            const bool rested = takeBreakIfDue();
            d->tx.emplace(d->db);
            if (rested)
                d->sinceBreak.start();
            // Another computer may have added rows or changed the lists since the last commit.
            d->key = lastOrderKey(d->db);
            for (QSet<QString>& names : d->listed)
                names.clear();
        }
        work();
        return true;
    } catch (const SQLite::Exception& e) {
        return d->abandon(e, error);
    }
}

bool BankAppender::add(const Question& question, QString* error)
{
    if (m_server)
        return m_server->add(question, error);
    return write(error, [&] {
        if (!d->insert)
            d->insert.emplace(d->db, "INSERT INTO 题库 (题目, 答案, 题型, 章节, 单元, 难度, 分值, 备注, 使用, 次序) "
                                     "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        bindQuestion(*d->insert, question);
        d->insert->bind(10, ++d->key);
        d->insert->exec();
        d->insert->reset();
        writeSearchText(d->db, d->db.getLastInsertRowid(), question);
    });
}

bool BankAppender::addToListIfMissing(AttributeList which, const QString& name, QString* error)
{
    if (m_server)
        return m_server->addToListIfMissing(which, name, error);
    return write(error, [&] {
        QSet<QString>& listed = d->listed[size_t(which)];
        if (listed.contains(name))
            return;
        const std::string t = table(which);
        SQLite::Statement st(d->db, "INSERT INTO " + t + " (" + t + ") SELECT ?1 WHERE NOT EXISTS (SELECT 1 FROM " + t
                                        + " WHERE " + t + " = ?1)");
        bindText(st, 1, name);
        st.exec();
        listed.insert(name);
    });
}

bool BankAppender::commit(QString* error)
{
    if (m_server)
        return m_server->commit(error);
    if (!d->tx)
        return true;
    try {
        d->tx->commit();
        d->tx.reset();
        d->sinceCommit.start();
        return true;
    } catch (const SQLite::Exception& e) {
        return d->abandon(e, error);
    }
}

bool BankAppender::pending() const
{
    if (m_server)
        return m_server->pending();
    return d->tx.has_value();
}

}  // namespace qm
