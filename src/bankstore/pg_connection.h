#pragma once
// A connection to a PostgreSQL server for the server store, on libpq: statements with
// bound parameters, results in binary form, transactions, and the user's messages for what
// goes wrong. Failures are thrown as StoreError (bankstore/sqlite_file.h) with a Chinese
// message, so that the server store's operations read like those of the files.
// Not for use outside src/bankstore.

#include "bankstore/sqlite_file.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

struct pg_conn;
struct pg_result;

namespace qm::pg {

// The values bound to $1, $2, … of one statement: texts (UTF-8) and numbers in text form,
// documents (bytea) in binary form.
class Params {
public:
    Params& text(const QString& value);
    Params& bytes(const QByteArray& value);
    Params& integer(qint64 value);
    Params& real(double value);
    int size() const { return int(m_values.size()); }

    std::vector<QByteArray> m_values;
    std::vector<int> m_formats;
};

// The rows a statement returned, each field in binary form.
class Result {
public:
    explicit Result(pg_result* r);
    ~Result();
    Result(Result&&) noexcept;
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;

    int rows() const;
    // Rows that an INSERT, UPDATE or DELETE touched.
    int affected() const;
    bool isNull(int row, int column) const;
    // bool, int2, int4 or int8 fields.
    qint64 integer(int row, int column) const;
    // float8 fields.
    double real(int row, int column) const;
    QString text(int row, int column) const;
    QByteArray bytes(int row, int column) const;

private:
    pg_result* m_result;
};

class Connection {
public:
    // Connects to the server the libpq connection string or URI `conninfo` names; `display`
    // names it in messages. Throws StoreError when the server cannot be reached.
    Connection(const QByteArray& conninfo, QString display);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs one statement; throws StoreError with the user's message when it fails.
    Result exec(const char* sql, const Params& params = {});
    // The same for a statement that may run many times on one connection: from its second
    // run on, it runs prepared under `name` (a connection that runs it once saves the
    // round trip of preparing it).
    Result execPrepared(const char* name, const char* sql, const Params& params);
    // Runs one statement; nothing when it fails, with the server's SQLSTATE in `state`.
    std::optional<Result> tryExec(const char* sql, QByteArray* state);
    // Runs statements without parameters (several may be separated by ';').
    void run(const char* sql);

    const QString& display() const { return m_display; }
    void setDisplay(const QString& display) { m_display = display; }
    const QByteArray& conninfo() const { return m_conninfo; }
    // True while the connection is up and in no transaction: fit to be used again.
    bool reusable() const;

private:
    Result check(pg_result* r);
    pg_conn* m_conn = nullptr;
    QString m_display;
    QByteArray m_conninfo;
    QList<QByteArray> m_run;       // statements run once
    QList<QByteArray> m_prepared;  // and those prepared
};

// Keeps one idle connection between operations, so that a series of calls on one bank does
// not connect each time (connecting costs several times what a small query does). Safe to
// share between threads: a call that finds the slot empty connects afresh.
class ConnectionSlot {
public:
    // The connection kept for `conninfo`, or nothing.
    std::unique_ptr<Connection> take(const QByteArray& conninfo);
    // Keeps the connection when it is reusable, in place of the one kept before.
    void give(std::unique_ptr<Connection> c);

private:
    std::mutex m_mutex;
    std::unique_ptr<Connection> m_idle;
};

// A transaction on a connection: rolled back when it goes away without commit().
class Transaction {
public:
    enum class Kind { Write, Snapshot };
    // Write: the default isolation; a write locks its bank's row first, so that writers of
    // one bank take turns. Snapshot: everything read sees one moment (REPEATABLE READ,
    // READ ONLY).
    Transaction(Connection& c, Kind kind = Kind::Write);
    ~Transaction();
    void commit();

private:
    Connection& m_c;
    bool m_open = true;
};

// The parts of a libpq connection string or URI; false with a message when it cannot be
// read or when it holds a password (passwords belong in ~/.pgpass or PGPASSWORD, never in a
// path that windows and lists show).
bool checkConninfo(const QByteArray& conninfo, QString* error);

}  // namespace qm::pg
