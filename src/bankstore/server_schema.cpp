// The server store's tables, their version and upgrade, the paths naming server banks and
// the session of one operation.

#include "bankstore/server_bank.h"

#include <QStringEncoder>
#include <cstring>

namespace qm {

namespace {

// Version 1. One row of qm_bank per bank, holding its particulars and the highest 编号 it
// gave (so that no 编号 is given twice, whatever is deleted). Rows kept in stored order
// carry the key ord: the questions' per bank (the sort renumbers them above the highest),
// the lists', fragments' and usage records' from one sequence.
const char* const kSchemaVersion1 = R"(
CREATE TABLE qm_bank (
  bank bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  subject text NOT NULL,
  name text NOT NULL,
  last_id bigint NOT NULL DEFAULT 0,
  mc text NOT NULL DEFAULT '', zy text NOT NULL DEFAULT '', dg text NOT NULL DEFAULT '',
  jk text NOT NULL DEFAULT '', sd text NOT NULL DEFAULT '', qy text NOT NULL DEFAULT '',
  UNIQUE (subject, name));
CREATE TABLE qm_question (
  bank bigint NOT NULL REFERENCES qm_bank ON DELETE CASCADE,
  id bigint NOT NULL,
  ord bigint NOT NULL,
  text bytea NOT NULL,
  answer bytea NOT NULL,
  type text NOT NULL,
  chapter text NOT NULL,
  unit text NOT NULL,
  difficulty text NOT NULL,
  score double precision NOT NULL,
  remark text NOT NULL,
  used text NOT NULL,
  PRIMARY KEY (bank, id));
CREATE UNIQUE INDEX qm_question_order ON qm_question (bank, ord);
CREATE INDEX qm_question_attributes ON qm_question (bank, type, chapter, unit, difficulty, score, ord);
CREATE SEQUENCE qm_order;
CREATE TABLE qm_list (
  bank bigint NOT NULL REFERENCES qm_bank ON DELETE CASCADE,
  kind smallint NOT NULL,
  ord bigint NOT NULL DEFAULT nextval('qm_order'),
  name text NOT NULL,
  PRIMARY KEY (bank, kind, ord));
CREATE TABLE qm_fragment (
  bank bigint NOT NULL REFERENCES qm_bank ON DELETE CASCADE,
  kind smallint NOT NULL,
  ord bigint NOT NULL DEFAULT nextval('qm_order'),
  rtf bytea NOT NULL,
  PRIMARY KEY (bank, kind, ord));
CREATE TABLE qm_usage (
  bank bigint NOT NULL REFERENCES qm_bank ON DELETE CASCADE,
  id bigint NOT NULL,
  day text NOT NULL,
  library text NOT NULL DEFAULT '',
  paper text NOT NULL DEFAULT '',
  ord bigint NOT NULL DEFAULT nextval('qm_order'),
  PRIMARY KEY (bank, ord));
CREATE INDEX qm_usage_question ON qm_usage (bank, id, day);
)";

// Version 2: paper libraries, one row of qm_library each with its papers in qm_paper; the
// users of the work path in qm_user, each password as a salted bcrypt hash made by the
// server's pgcrypto (null: no password). The searchable texts of the questions
// (bankstore/search_text.h) in qm_search, made by the program: a text is dropped with its
// question or when the question's text or answer changes, whoever changes it, and made
// again at the next search. qm_bank.changes counts the bank's write transactions, so that a
// search box knows when the texts it holds are still good.
const char* const kSchemaVersion2 = R"(
CREATE EXTENSION IF NOT EXISTS pgcrypto;
CREATE TABLE qm_library (
  library bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  subject text NOT NULL,
  name text NOT NULL,
  UNIQUE (subject, name));
CREATE TABLE qm_paper (
  library bigint NOT NULL REFERENCES qm_library ON DELETE CASCADE,
  ord bigint NOT NULL DEFAULT nextval('qm_order'),
  paper bytea NOT NULL,
  answers bytea NOT NULL,
  name text NOT NULL, setter text NOT NULL, grp text NOT NULL, department text NOT NULL,
  day text NOT NULL, remark text NOT NULL,
  PRIMARY KEY (library, ord));
CREATE TABLE qm_user (
  ord bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  name text NOT NULL,
  hash text);
ALTER TABLE qm_bank ADD COLUMN changes bigint NOT NULL DEFAULT 0;
CREATE TABLE qm_search (
  bank bigint NOT NULL,
  id bigint NOT NULL,
  text text NOT NULL,
  PRIMARY KEY (bank, id),
  FOREIGN KEY (bank, id) REFERENCES qm_question ON DELETE CASCADE);
CREATE FUNCTION qm_search_stale() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  DELETE FROM qm_search WHERE bank = OLD.bank AND id = OLD.id;
  RETURN NULL;
END $$;
CREATE TRIGGER qm_search_stale AFTER UPDATE OF text, answer ON qm_question
  FOR EACH ROW EXECUTE FUNCTION qm_search_stale();
)";

// Version 3: the subjects of the work path as rows of their own, so that a subject keeps
// being one without banks or libraries, as a directory does. A subject that a bank or a
// library names is one whether or not it has its row.
const char* const kSchemaVersion3 = R"(
CREATE TABLE qm_subject (name text PRIMARY KEY);
INSERT INTO qm_subject SELECT subject FROM qm_bank UNION SELECT subject FROM qm_library;
)";

// The steps from each version to the next: step n makes version n + 1 of version n.
const char* const kUpgrades[] = {kSchemaVersion1, kSchemaVersion2, kSchemaVersion3};
static_assert(std::size(kUpgrades) == kServerSchemaVersion);

// Serialises the upgrades of one database among all its clients.
constexpr const char* kUpgradeLock = "SELECT pg_advisory_xact_lock(7235001)";

// The tables' version: 0 when the database has none of ours.
int schemaVersion(pg::Connection& c)
{
    if (c.exec("SELECT to_regclass('qm_schema') IS NOT NULL").integer(0, 0) == 0)
        return 0;
    const pg::Result r = c.exec("SELECT max(version) FROM qm_schema");
    return r.isNull(0, 0) ? 0 : int(r.integer(0, 0));
}

// The same in one round trip, outside a transaction (a failed statement would end it): a
// database without the table has none of ours (undefined_table).
int schemaVersionAtOpening(pg::Connection& c)
{
    QByteArray state;
    const std::optional<pg::Result> r = c.tryExec("SELECT max(version) FROM qm_schema", &state);
    if (!r && state == "42P01")
        return 0;
    if (!r)
        return int(c.exec("SELECT max(version) FROM qm_schema").integer(0, 0));  // says what went wrong
    return r->isNull(0, 0) ? 0 : int(r->integer(0, 0));
}

// Inside a write transaction: runs the steps from the version found to the current one.
void upgradeSchema(pg::Connection& c)
{
    c.run(kUpgradeLock);
    int version = schemaVersion(c);
    if (version == 0)
        c.run("CREATE TABLE IF NOT EXISTS qm_schema (version integer NOT NULL)");
    for (; version < kServerSchemaVersion; ++version)
        c.run(kUpgrades[version]);
    c.run("DELETE FROM qm_schema");
    c.exec("INSERT INTO qm_schema (version) VALUES ($1)", pg::Params().integer(kServerSchemaVersion));
}

void refuseNewer(int version, const QString& display)
{
    if (version > kServerSchemaVersion)
        throw StoreError{QStringLiteral("数据库“%1”由更新版本的程序建立（格式版本%2），本程序无法使用，请升级本程序。")
                             .arg(display)
                             .arg(version)};
}

QString uriOf(const QString& path)
{
    const qsizetype hash = path.indexOf(QLatin1Char('#'));
    return hash < 0 ? path : path.left(hash);
}

}  // namespace

bool isServerPath(const QString& path)
{
    return path.startsWith(QLatin1String("postgresql://")) || path.startsWith(QLatin1String("postgres://"));
}

std::optional<ServerBankName> parseServerPath(const QString& path, QString* error)
{
    const qsizetype hash = path.indexOf(QLatin1Char('#'));
    const QString bank = hash < 0 ? QString() : path.mid(hash + 1);
    const qsizetype slash = bank.lastIndexOf(QLatin1Char('/'));
    if (!isServerPath(path) || slash <= 0 || slash == bank.size() - 1) {
        if (error)
            *error =
                QStringLiteral("题库地址“%1”不完整，应写成“postgresql://服务器/数据库#学科/题库名.TIK”。").arg(path);
        return std::nullopt;
    }
    ServerBankName n{path.left(hash).toUtf8(), bank.left(slash), bank.mid(slash + 1)};
    if (!pg::checkConninfo(n.conninfo, error))
        return std::nullopt;
    return n;
}

QString serverBankPath(const QString& uri, const QString& subject, const QString& name)
{
    return uri + QLatin1Char('#') + subject + QLatin1Char('/') + name;
}

bool initServer(const QString& uri, QString* error)
{
    if (!isServerPath(uri) || uri.contains(QLatin1Char('#'))) {
        if (error)
            *error = QStringLiteral("数据库地址“%1”无效，应写成“postgresql://服务器/数据库”。").arg(uri);
        return false;
    }
    if (!pg::checkConninfo(uri.toUtf8(), error))
        return false;
    try {
        pg::Connection c(uri.toUtf8(), uri);
        pg::Transaction tx(c);
        c.run(kUpgradeLock);
        const int version = schemaVersion(c);
        refuseNewer(version, uri);
        if (version < kServerSchemaVersion)
            upgradeSchema(c);
        tx.commit();
        return true;
    } catch (const StoreError& e) {
        if (error)
            *error = e.message;
    }
    return false;
}

namespace {

// The (subject, name) rows of qm_bank or qm_library, ordered by subject and name.
std::optional<QList<ServerBankEntry>> serverEntries(const QString& uri, bool libraries, QString* error)
{
    if (!pg::checkConninfo(uri.toUtf8(), error))
        return std::nullopt;
    try {
        pg::Connection c(uri.toUtf8(), uri);
        const int version = schemaVersion(c);
        refuseNewer(version, uri);
        QList<ServerBankEntry> banks;
        if (version == 0 || (libraries && version < 2))
            return banks;
        const pg::Result r =
            c.exec(libraries ? "SELECT subject, name FROM qm_library" : "SELECT subject, name FROM qm_bank");
        for (int i = 0; i < r.rows(); ++i)
            banks.append({r.text(i, 0), r.text(i, 1)});
        std::sort(banks.begin(), banks.end(), [](const ServerBankEntry& a, const ServerBankEntry& b) {
            return a.subject != b.subject ? server::gbkLess(a.subject, b.subject) : server::gbkLess(a.name, b.name);
        });
        return banks;
    } catch (const StoreError& e) {
        if (error)
            *error = e.message;
    }
    return std::nullopt;
}

}  // namespace

std::optional<QList<ServerBankEntry>> serverBanks(const QString& uri, QString* error)
{
    return serverEntries(uri, false, error);
}

std::optional<QList<ServerBankEntry>> serverLibraries(const QString& uri, QString* error)
{
    return serverEntries(uri, true, error);
}

namespace server {

Session::Session(const QString& path, pg::ConnectionSlot* slot) : m_slot(slot)
{
    QString error;
    const std::optional<ServerBankName> n = parseServerPath(path, &error);
    if (!n)
        throw StoreError{error};
    m_name = *n;
    open(path);
}

Session::Session(const QString& uri, WholeDatabase)
{
    QString error;
    if (!isServerPath(uri) || uri.contains(QLatin1Char('#')))
        throw StoreError{QStringLiteral("数据库地址“%1”无效，应写成“postgresql://服务器/数据库”。").arg(uri)};
    m_name.conninfo = uri.toUtf8();
    if (!pg::checkConninfo(m_name.conninfo, &error))
        throw StoreError{error};
    open(uri);
}

Session::~Session()
{
    if (m_slot)
        m_slot->give(std::move(m_c));
}

void Session::open(const QString& display)
{
    if (m_slot && (m_c = m_slot->take(m_name.conninfo))) {
        m_c->setDisplay(display);
        try {
            m_version = schemaVersionAtOpening(*m_c);
        } catch (const StoreError&) {
            if (m_c->reusable())
                throw;
            m_c.reset();  // the server dropped the connection it kept: connect again
        }
    }
    if (!m_c) {
        m_c = std::make_unique<pg::Connection>(m_name.conninfo, display);
        m_version = schemaVersionAtOpening(*m_c);
    }
    if (m_version == 0)
        throw StoreError{
            QStringLiteral("数据库“%1”中还没有题库表，请先用“qmtool server-init”建立。").arg(uriOf(display))};
    refuseNewer(m_version, uriOf(display));
}

qint64 Session::find()
{
    const pg::Result r = m_c->execPrepared("find", "SELECT bank FROM qm_bank WHERE subject = $1 AND name = $2",
                                           pg::Params().text(m_name.subject).text(m_name.name));
    if (r.rows() == 0)
        throw StoreError{QStringLiteral("找不到题库“%1”。").arg(m_c->display())};
    return r.integer(0, 0);
}

void Session::upgrade()
{
    if (m_version < kServerSchemaVersion) {
        upgradeSchema(*m_c);
        m_version = kServerSchemaVersion;
    }
}

qint64 Session::findLibrary()
{
    if (m_version < 2)  // tables from before there were libraries on the server
        throw StoreError{QStringLiteral("找不到试卷库“%1”。").arg(m_c->display())};
    return libraryKey("");
}

qint64 Session::lockLibrary()
{
    upgrade();
    return libraryKey(" FOR UPDATE");
}

qint64 Session::libraryKey(const char* lock)
{
    const pg::Result r =
        m_c->exec((std::string("SELECT library FROM qm_library WHERE subject = $1 AND name = $2") + lock).c_str(),
                  pg::Params().text(m_name.subject).text(m_name.name));
    if (r.rows() == 0)
        throw StoreError{QStringLiteral("找不到试卷库“%1”。").arg(m_c->display())};
    return r.integer(0, 0);
}

qint64 Session::lock()
{
    upgrade();
    // The update locks the row as a writer's lock must, and counts the write.
    const pg::Result r = m_c->execPrepared(
        "lock", "UPDATE qm_bank SET changes = changes + 1 WHERE subject = $1 AND name = $2 RETURNING bank",
        pg::Params().text(m_name.subject).text(m_name.name));
    if (r.rows() == 0)
        throw StoreError{QStringLiteral("找不到题库“%1”。").arg(m_c->display())};
    return r.integer(0, 0);
}

Session::Numbered Session::lockForAdd()
{
    upgrade();
    const pg::Result r = m_c->execPrepared("lockadd",
                                           "UPDATE qm_bank SET changes = changes + 1, last_id = last_id + 1 "
                                           "WHERE subject = $1 AND name = $2 RETURNING bank, last_id",
                                           pg::Params().text(m_name.subject).text(m_name.name));
    if (r.rows() == 0)
        throw StoreError{QStringLiteral("找不到题库“%1”。").arg(m_c->display())};
    return {r.integer(0, 0), r.integer(0, 1)};
}

bool gbkLess(const QString& a, const QString& b)
{
    // As the files' collation: GBK bytes (characters without a GBK form as '?'), then the
    // UTF-8 bytes, so that only equal texts compare equal.
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    const QByteArray ga = encoder.encode(a);
    const QByteArray gb = encoder.encode(b);
    if (ga != gb)
        return ga < gb;
    return bytesLess(a, b);
}

bool bytesLess(const QString& a, const QString& b)
{
    return a.toUtf8() < b.toUtf8();
}

QString textArray(const QStringList& values)
{
    QString s = QStringLiteral("{");
    for (qsizetype i = 0; i < values.size(); ++i) {
        QString v = values[i];
        v.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
        s += (i ? QLatin1String(",\"") : QLatin1String("\"")) + v + QLatin1Char('"');
    }
    return s + QLatin1Char('}');
}

int listKind(AttributeList which)
{
    return int(which);
}

}  // namespace server

Question serverQuestion(const pg::Result& r, int row)
{
    Question q;
    q.id = r.integer(row, 0);
    q.text = r.bytes(row, 1);
    q.answer = r.bytes(row, 2);
    q.type = r.text(row, 3);
    q.chapter = r.text(row, 4);
    q.unit = r.text(row, 5);
    q.difficulty = r.text(row, 6);
    q.score = r.real(row, 7);
    q.remark = r.text(row, 8);
    q.use = r.text(row, 9);
    return q;
}

}  // namespace qm
