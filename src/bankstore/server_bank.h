#pragma once
// The server store of banks (bankstore/server_store.h): what BankFile, BankReader and
// BankAppender do for a path naming a bank on a PostgreSQL server. They hand every call
// with such a path to these classes, which keep BankFile's guarantees: each operation one
// transaction, 编号 given by the store and never reused, the same row order and the same
// ordering of texts (by their GBK bytes, sorted here in the program as the files' collation
// does). Not for use outside src/bankstore.

#include "bankstore/bank_file.h"
#include "bankstore/pg_connection.h"
#include "bankstore/server_store.h"

#include <array>

namespace qm {

namespace server {

// One operation's connection to the database of a server bank, with the bank's key.
class Session {
public:
    // Connects (or takes the connection `slot` keeps) and checks the tables' version;
    // throws StoreError. The connection goes back to the slot at the end.
    explicit Session(const QString& path, pg::ConnectionSlot* slot = nullptr);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    // The same for what belongs to the whole database (the users): `uri` names only the
    // database, and name() has no subject and no bank.
    struct WholeDatabase {};
    Session(const QString& uri, WholeDatabase);
    pg::Connection& c() { return *m_c; }
    const ServerBankName& name() const { return m_name; }
    // The version of the tables found at opening.
    int version() const { return m_version; }
    // The bank's key for reading; throws StoreError naming the bank when there is none.
    qint64 find();
    // Inside a write transaction: brings older tables up to date, then locks the bank's
    // row (writers of one bank take turns, waiting up to kBusyTimeoutMs) and returns its key.
    qint64 lock();
    // lock() for an add: also gives the next 编号 in the same update of the bank's row.
    struct Numbered {
        qint64 bank;
        qint64 id;
    };
    Numbered lockForAdd();
    // Brings older tables up to date inside the open write transaction.
    void upgrade();
    // The same for the paper library the path names: its key for reading, or inside a write
    // transaction, after the upgrade, with its row locked.
    qint64 findLibrary();
    qint64 lockLibrary();

private:
    void open(const QString& display);
    qint64 libraryKey(const char* lock);
    pg::ConnectionSlot* m_slot = nullptr;
    ServerBankName m_name;
    std::unique_ptr<pg::Connection> m_c;
    int m_version = 0;
};

// Runs `work(session)` on a session for `path`; a StoreError becomes nothing and its message.
template <typename F>
auto withServerBank(const QString& path, pg::ConnectionSlot* slot, QString* error, F&& work)
    -> std::optional<std::invoke_result_t<F&, Session&>>
{
    try {
        Session s(path, slot);
        return work(s);
    } catch (const StoreError& e) {
        if (error)
            *error = e.message;
    }
    return std::nullopt;
}

template <typename F>
auto withServerBank(const QString& path, QString* error, F&& work) -> std::optional<std::invoke_result_t<F&, Session&>>
{
    return withServerBank(path, nullptr, error, std::forward<F>(work));
}

// Runs `work(session)` on a session for the whole database at `uri`, as withServerBank does.
template <typename F>
auto withServerDatabase(const QString& uri, QString* error, F&& work)
    -> std::optional<std::invoke_result_t<F&, Session&>>
{
    try {
        Session s(uri, Session::WholeDatabase{});
        return work(s);
    } catch (const StoreError& e) {
        if (error)
            *error = e.message;
    }
    return std::nullopt;
}

// Text ordered by its GBK bytes, as the files' collation "GBK" orders it.
bool gbkLess(const QString& a, const QString& b);
// Text ordered by its UTF-8 bytes, as the files order it without a collation.
bool bytesLess(const QString& a, const QString& b);
// A text array for a parameter ("{\"a\",\"b\"}").
QString textArray(const QStringList& values);
// The list kinds as the server keeps them.
int listKind(AttributeList which);

// Row helpers shared by the server store's files, inside an operation on bank `bank`.
void insertQuestion(Session& s, qint64 bank, qint64 id, qint64 order, const Question& q);
qint64 lastId(Session& s, qint64 bank);
qint64 lastOrder(Session& s, qint64 bank);
// Raises the bank's highest 编号 given to `id` when it is below.
void setLastId(Session& s, qint64 bank, qint64 id);
QStringList listOf(Session& s, qint64 bank, AttributeList which);
Particulars particularsOf(Session& s, qint64 bank);
// The fragments of a kind (1 scoring tables, 2 grader boxes) in stored order.
QList<QByteArray> fragments(Session& s, qint64 bank, int kind);
// "id, text, …, used": the fields serverQuestion() reads, in its order.
std::string questionFields();

// Everything a bank holds, for copying a bank whole between the stores.
struct BankContent {
    Particulars particulars;
    std::array<QStringList, 4> lists;
    QList<Question> questions;  // in row order, with their 编号
    struct Use {
        qint64 id = 0;
        UsageRecord record;
    };
    QList<Use> uses;  // in the order they were recorded
    QList<QByteArray> scoringTables;
    QList<QByteArray> graderBoxes;
    qint64 lastId = 0;  // the highest 编号 the bank ever gave
};
// Reads a bank of either store at one moment.
std::optional<BankContent> readBankContent(const QString& path, QString* error = nullptr);
// Makes a new bank of either store holding `content` with its 编号, all or nothing; fails
// when the bank exists.
bool writeNewBank(const QString& path, const BankContent& content, QString* error = nullptr,
                  ExistingBank existing = ExistingBank::Refuse);
// Appends the questions of `content` with new 编号 and their uses, in one transaction.
std::optional<int> appendContent(const QString& path, const BankContent& content, QString* error = nullptr);

}  // namespace server

class ServerBank {
public:
    // `slot`, when given, keeps the connection between calls.
    explicit ServerBank(QString path, pg::ConnectionSlot* slot = nullptr) : m_path(std::move(path)), m_slot(slot) {}

    static bool createEmpty(const QString& path, QString* error);
    static bool createFromTemplate(const QString& templatePath, const QString& path, QString* error);
    static bool removeFile(const QString& path, QString* error);
    bool check(QString* error) const;

    std::optional<int> count(QString* error) const;
    std::optional<QuestionAt> read(int position, QString* error) const;
    std::optional<Question> readById(qint64 id, QString* error) const;
    std::optional<QHash<qint64, Question>> readByIds(const QList<qint64>& ids, QString* error) const;
    std::optional<int> add(const Question& question, QString* error);
    bool overwrite(int position, const Question& question, QString* error);
    std::optional<int> remove(int position, QString* error);
    bool overwriteById(qint64 id, const Question& question, bool* found, QString* error);
    std::optional<int> removeById(qint64 id, bool* found, QString* error);
    bool compact(QString* error);

    std::optional<QStringList> distinctValues(Attribute attribute, const QuestionFilter& filter, QString* error) const;
    std::optional<QList<double>> distinctScores(const QuestionFilter& filter, QString* error) const;
    std::optional<int> countMatching(const QuestionFilter& filter, QString* error) const;
    std::optional<QList<qint64>> idsMatching(const QuestionFilter& filter, QString* error) const;
    std::optional<QList<QList<qint64>>> idsMatchingEach(const QList<QuestionFilter>& filters, QString* error) const;
    std::optional<QList<AttributeCount>> statistics(QString* error) const;
    std::optional<QList<AttributeCount>> groupCounts(const QStringList& types, bool byChapter, bool byUnit,
                                                     bool byDifficulty, bool byScore, QString* error) const;

    std::optional<QStringList> list(AttributeList which, QString* error) const;
    bool appendToList(AttributeList which, const QString& name, QString* error);
    bool renameInList(AttributeList which, int position, const QString& name, QString* error);
    bool removeFromList(AttributeList which, int position, QString* error);
    bool rewriteList(AttributeList which, const QStringList& names, QString* error);

    std::optional<Particulars> particulars(QString* error) const;
    bool setParticulars(const Particulars& particulars, QString* error);

    std::optional<int> mergeFrom(const QString& sourcePath, QString* error, const QSet<qint64>& skip = {});
    bool sortByChapters(const QStringList& chapterOrder, QString* error);

    std::optional<int> recordUsage(const QList<qint64>& ids, const UsageRecord& use, QString* error);
    std::optional<UsageSummary> usageOf(qint64 id, QString* error) const;
    std::optional<QMap<qint64, UsageSummary>> usage(bool withPapers, QString* error) const;

    std::optional<QByteArray> scoringTable(int typeCount, QString* error) const;
    std::optional<QByteArray> graderBox(QString* error) const;
    bool appendScoringTable(const QByteArray& rtf, QString* error);
    bool setGraderBox(const QByteArray& rtf, QString* error);

private:
    QString m_path;
    pg::ConnectionSlot* m_slot = nullptr;
};

// BankReader's work for a server bank: a snapshot transaction and a cursor over the rows.
class ServerBankReader {
public:
    static std::unique_ptr<ServerBankReader> open(const QString& path, QString* error);
    ~ServerBankReader();
    const Particulars& particulars() const { return m_particulars; }
    const QStringList& list(AttributeList which) const { return m_lists[size_t(which)]; }
    int count() const { return m_count; }
    std::optional<Question> next();
    const QString& error() const { return m_error; }

private:
    ServerBankReader() = default;
    std::unique_ptr<server::Session> m_session;
    std::unique_ptr<pg::Transaction> m_tx;
    Particulars m_particulars;
    std::array<QStringList, 4> m_lists;
    int m_count = 0;
    QList<Question> m_batch;
    qsizetype m_next = 0;
    bool m_done = false;
    QString m_error;
};

// BankAppender's work for a server bank: one connection, a transaction until commit().
class ServerBankAppender {
public:
    static std::unique_ptr<ServerBankAppender> open(const QString& path, QString* error);
    ~ServerBankAppender();
    bool add(const Question& question, QString* error);
    bool addToListIfMissing(AttributeList which, const QString& name, QString* error);
    bool commit(QString* error);
    bool pending() const { return m_tx != nullptr; }

private:
    ServerBankAppender() = default;
    bool write(QString* error, const std::function<void()>& work);
    std::unique_ptr<server::Session> m_session;
    std::unique_ptr<pg::Transaction> m_tx;
    qint64 m_bank = 0;
    qint64 m_lastId = 0;
    qint64 m_lastOrder = 0;
    std::array<QSet<QString>, 4> m_listed;
};

// Question fields as the server store reads them, in questionFrom's order.
Question serverQuestion(const pg::Result& r, int row);

}  // namespace qm
