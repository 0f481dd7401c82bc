// BankReader and BankAppender for a bank on a server.

#include "bankstore/server_bank.h"

namespace qm {

using server::Session;

namespace {

// Questions fetched from the cursor at a time: a few megabytes of documents at most.
constexpr int kFetchRows = 200;

}  // namespace

// --- Reading in one pass ---

std::unique_ptr<ServerBankReader> ServerBankReader::open(const QString& path, QString* error)
{
    std::unique_ptr<ServerBankReader> r(new ServerBankReader);
    try {
        r->m_session = std::make_unique<Session>(path);
        Session& s = *r->m_session;
        r->m_tx = std::make_unique<pg::Transaction>(s.c(), pg::Transaction::Kind::Snapshot);
        const qint64 bank = s.find();
        r->m_particulars = server::particularsOf(s, bank);
        for (AttributeList which :
             {AttributeList::Types, AttributeList::Chapters, AttributeList::Difficulties, AttributeList::Units})
            r->m_lists[size_t(which)] = server::listOf(s, bank, which);
        r->m_count = int(
            s.c().exec("SELECT count(*) FROM qm_question WHERE bank = $1", pg::Params().integer(bank)).integer(0, 0));
        s.c().exec(("DECLARE questions NO SCROLL CURSOR FOR SELECT " + server::questionFields()
                    + " FROM qm_question WHERE bank = $1 ORDER BY ord")
                       .c_str(),
                   pg::Params().integer(bank));
    } catch (const StoreError& e) {
        if (error)
            *error = e.message;
        return nullptr;
    }
    return r;
}

ServerBankReader::~ServerBankReader()
{
    m_tx.reset();
}

std::optional<Question> ServerBankReader::next()
{
    if (m_next < m_batch.size())
        return m_batch[m_next++];
    if (m_done || !m_tx)
        return std::nullopt;
    try {
        m_batch.clear();
        m_next = 0;
        const pg::Result r = m_session->c().exec(("FETCH " + std::to_string(kFetchRows) + " FROM questions").c_str());
        for (int i = 0; i < r.rows(); ++i)
            m_batch << serverQuestion(r, i);
        if (r.rows() < kFetchRows) {
            m_done = true;
            m_tx->commit();
            m_tx.reset();
            m_session.reset();
        }
    } catch (const StoreError& e) {
        m_done = true;
        m_batch.clear();
        m_tx.reset();
        m_error = e.message;
    }
    if (m_next < m_batch.size())
        return m_batch[m_next++];
    return std::nullopt;
}

// --- Appending in bulk ---

std::unique_ptr<ServerBankAppender> ServerBankAppender::open(const QString& path, QString* error)
{
    std::unique_ptr<ServerBankAppender> a(new ServerBankAppender);
    try {
        a->m_session = std::make_unique<Session>(path);
        a->m_session->find();
    } catch (const StoreError& e) {
        if (error)
            *error = e.message;
        return nullptr;
    }
    return a;
}

ServerBankAppender::~ServerBankAppender()
{
    // An open transaction rolls back.
    m_tx.reset();
}

bool ServerBankAppender::write(QString* error, const std::function<void()>& work)
{
    try {
        if (!m_tx) {
            m_tx = std::make_unique<pg::Transaction>(m_session->c());
            // Another computer may have added rows or changed the lists since the last commit.
            m_bank = m_session->lock();
            m_lastId = server::lastId(*m_session, m_bank);
            m_lastOrder = server::lastOrder(*m_session, m_bank);
            for (QSet<QString>& names : m_listed)
                names.clear();
        }
        work();
        return true;
    } catch (const StoreError& e) {
        m_tx.reset();
        if (error)
            *error = e.message;
        return false;
    }
}

bool ServerBankAppender::add(const Question& question, QString* error)
{
    return write(error, [&] { server::insertQuestion(*m_session, m_bank, ++m_lastId, ++m_lastOrder, question); });
}

bool ServerBankAppender::addToListIfMissing(AttributeList which, const QString& name, QString* error)
{
    return write(error, [&] {
        QSet<QString>& listed = m_listed[size_t(which)];
        if (listed.contains(name))
            return;
        m_session->c().execPrepared("listifmissing",
                                    "INSERT INTO qm_list (bank, kind, name) SELECT $1::bigint, $2::smallint, $3::text "
                                    "WHERE NOT EXISTS (SELECT 1 FROM qm_list WHERE bank = $1::bigint "
                                    "AND kind = $2::smallint AND name = $3::text)",
                                    pg::Params().integer(m_bank).integer(server::listKind(which)).text(name));
        listed.insert(name);
    });
}

bool ServerBankAppender::commit(QString* error)
{
    if (!m_tx)
        return true;
    try {
        server::setLastId(*m_session, m_bank, m_lastId);
        m_tx->commit();
        m_tx.reset();
        return true;
    } catch (const StoreError& e) {
        m_tx.reset();
        if (error)
            *error = e.message;
        return false;
    }
}

}  // namespace qm
