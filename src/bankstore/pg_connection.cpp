#include "bankstore/pg_connection.h"

#include <QtEndian>
#include <cstring>
#include <libpq-fe.h>

namespace qm::pg {

namespace {

// The message of the server's error without libpq's "ERROR:  " and line breaks.
QString serverText(const PGresult* r, PGconn* conn)
{
    const char* primary = r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    QString text = QString::fromUtf8(primary ? primary : PQerrorMessage(conn)).trimmed();
    return text.replace(QLatin1Char('\n'), QLatin1Char(' '));
}

QString messageFor(const PGresult* r, PGconn* conn, const QString& display)
{
    const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    const QByteArray code = state ? QByteArray(state) : QByteArray();
    // Another program holds the bank past the wait, or two writers ran into each other.
    if (code == "55P03" || code == "40001" || code == "40P01" || code == "57014")
        return QStringLiteral("题库“%1”正被其他程序或计算机使用，请稍后再试。").arg(display);
    if (code == "53100")
        return QStringLiteral("数据库服务器的磁盘已满，题库“%1”未能写入。").arg(display);
    if (code == "42501")
        return QStringLiteral("没有读写题库“%1”的权限，请向数据库管理员申请。").arg(display);
    if (code.startsWith("08") || PQstatus(conn) != CONNECTION_OK)
        return QStringLiteral("与数据库服务器的连接中断，题库“%1”未能读写：%2").arg(display, serverText(r, conn));
    return QStringLiteral("读写题库“%1”时出错：%2").arg(display, serverText(r, conn));
}

}  // namespace

// --- Parameters ---

Params& Params::text(const QString& value)
{
    m_values.push_back(value.toUtf8());
    m_formats.push_back(0);
    return *this;
}

Params& Params::bytes(const QByteArray& value)
{
    m_values.push_back(value);
    m_formats.push_back(1);
    return *this;
}

Params& Params::integer(qint64 value)
{
    m_values.push_back(QByteArray::number(value));
    m_formats.push_back(0);
    return *this;
}

Params& Params::real(double value)
{
    // 17 digits give back the same double.
    m_values.push_back(QByteArray::number(value, 'g', 17));
    m_formats.push_back(0);
    return *this;
}

// --- Results ---

Result::Result(pg_result* r) : m_result(r) {}

Result::~Result()
{
    PQclear(m_result);
}

Result::Result(Result&& other) noexcept : m_result(other.m_result)
{
    other.m_result = nullptr;
}

int Result::rows() const
{
    return PQntuples(m_result);
}

int Result::affected() const
{
    const char* n = PQcmdTuples(m_result);
    return n && *n ? std::atoi(n) : 0;
}

bool Result::isNull(int row, int column) const
{
    return PQgetisnull(m_result, row, column);
}

qint64 Result::integer(int row, int column) const
{
    const char* v = PQgetvalue(m_result, row, column);
    switch (PQgetlength(m_result, row, column)) {
    case 1: return *v;  // bool
    case 2: return qFromBigEndian<qint16>(v);
    case 4: return qFromBigEndian<qint32>(v);
    case 8: return qFromBigEndian<qint64>(v);
    default: return 0;
    }
}

double Result::real(int row, int column) const
{
    if (PQgetlength(m_result, row, column) != 8)
        return 0;
    const quint64 bits = qFromBigEndian<quint64>(PQgetvalue(m_result, row, column));
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

QString Result::text(int row, int column) const
{
    return QString::fromUtf8(PQgetvalue(m_result, row, column), PQgetlength(m_result, row, column));
}

QByteArray Result::bytes(int row, int column) const
{
    const int n = PQgetlength(m_result, row, column);
    return n > 0 ? QByteArray(PQgetvalue(m_result, row, column), n) : QByteArray();
}

// --- Connections ---

Connection::Connection(const QByteArray& conninfo, QString display)
    : m_display(std::move(display)), m_conninfo(conninfo)
{
    // What comes before the address, the address may change: the time to wait for the
    // server, a connection whose network has gone given up within about a minute instead
    // of waiting for ever, and a bank another program is writing waited for as long as a
    // bank file would be. What follows it is always so: UTF-8 on the wire, and the
    // program's name in the server's list of sessions.
    const QByteArray options = "-c lock_timeout=" + QByteArray::number(kBusyTimeoutMs);
    const char* keywords[] = {"connect_timeout",  "keepalives_idle",  "keepalives_interval",
                              "keepalives_count", "options",          "dbname",
                              "client_encoding",  "application_name", nullptr};
    const char* values[] = {"10",   "30",        "10",   "3", options.constData(), conninfo.constData(),
                            "UTF8", "quellmark", nullptr};
    m_conn = PQconnectdbParams(keywords, values, 1);
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const QString reason = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed().replace(QLatin1Char('\n'), ' ');
        PQfinish(m_conn);
        m_conn = nullptr;
        throw StoreError{QStringLiteral("无法连接数据库服务器，题库“%1”未能打开：%2").arg(m_display, reason)};
    }
    // Server notices (e.g. "relation already exists, skipping") are not for the user.
    PQsetNoticeProcessor(
        m_conn, [](void*, const char*) {}, nullptr);
}

Connection::~Connection()
{
    PQfinish(m_conn);
}

bool Connection::reusable() const
{
    return PQstatus(m_conn) == CONNECTION_OK && PQtransactionStatus(m_conn) == PQTRANS_IDLE;
}

std::unique_ptr<Connection> ConnectionSlot::take(const QByteArray& conninfo)
{
    const std::lock_guard lock(m_mutex);
    if (m_idle && m_idle->conninfo() == conninfo)
        return std::move(m_idle);
    return nullptr;
}

void ConnectionSlot::give(std::unique_ptr<Connection> c)
{
    if (!c || !c->reusable())
        return;
    const std::lock_guard lock(m_mutex);
    m_idle = std::move(c);
}

Result Connection::check(pg_result* r)
{
    const ExecStatusType status = PQresultStatus(r);
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return Result(r);
    const QString message = messageFor(r, m_conn, m_display);
    PQclear(r);
    throw StoreError{message};
}

namespace {

struct Raw {
    std::vector<const char*> values;
    std::vector<int> lengths;
};

Raw raw(const Params& p)
{
    Raw r;
    for (const QByteArray& v : p.m_values) {
        r.values.push_back(v.constData());
        r.lengths.push_back(int(v.size()));
    }
    return r;
}

}  // namespace

Result Connection::exec(const char* sql, const Params& params)
{
    const Raw r = raw(params);
    return check(PQexecParams(m_conn, sql, params.size(), nullptr, r.values.data(), r.lengths.data(),
                              params.m_formats.data(), 1));
}

Result Connection::execPrepared(const char* name, const char* sql, const Params& params)
{
    const QByteArray key(name);
    if (!m_prepared.contains(key)) {
        if (!m_run.contains(key)) {
            m_run << key;
            return exec(sql, params);
        }
        check(PQprepare(m_conn, name, sql, params.size(), nullptr));
        m_prepared << key;
    }
    const Raw r = raw(params);
    return check(
        PQexecPrepared(m_conn, name, params.size(), r.values.data(), r.lengths.data(), params.m_formats.data(), 1));
}

std::optional<Result> Connection::tryExec(const char* sql, QByteArray* state)
{
    PGresult* r = PQexecParams(m_conn, sql, 0, nullptr, nullptr, nullptr, nullptr, 1);
    const ExecStatusType status = PQresultStatus(r);
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return Result(r);
    const char* code = PQresultErrorField(r, PG_DIAG_SQLSTATE);
    *state = code ? QByteArray(code) : QByteArray();
    PQclear(r);
    return std::nullopt;
}

void Connection::run(const char* sql)
{
    check(PQexec(m_conn, sql));
}

// --- Transactions ---

Transaction::Transaction(Connection& c, Kind kind) : m_c(c)
{
    m_c.run(kind == Kind::Snapshot ? "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY" : "BEGIN");
}

Transaction::~Transaction()
{
    if (!m_open)
        return;
    try {
        m_c.run("ROLLBACK");
    } catch (const StoreError&) {
        // The connection is gone; the server has rolled back already.
    }
}

void Transaction::commit()
{
    m_c.run("COMMIT");
    m_open = false;
}

bool checkConninfo(const QByteArray& conninfo, QString* error)
{
    char* message = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.constData(), &message);
    if (!options) {
        if (error)
            *error = QStringLiteral("数据库地址“%1”无法识别：%2")
                         .arg(QString::fromUtf8(conninfo), QString::fromUtf8(message ? message : "").trimmed());
        PQfreemem(message);
        return false;
    }
    bool password = false;
    for (PQconninfoOption* o = options; o->keyword; ++o)
        if (std::strcmp(o->keyword, "password") == 0 && o->val && *o->val)
            password = true;
    PQconninfoFree(options);
    if (password && error)
        *error = QStringLiteral("数据库地址中不能写口令，请把口令写在 ~/.pgpass 中或放在环境变量 PGPASSWORD 里。");
    return !password;
}

}  // namespace qm::pg
