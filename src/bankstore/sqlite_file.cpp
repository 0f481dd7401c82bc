#include "bankstore/sqlite_file.h"

#include "bankstore/search_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringEncoder>
#include <algorithm>
#include <cstring>
#include <iterator>
#include <sqlite3.h>

namespace qm {

namespace {

// The tables of each kind of file. Rows kept in stored order carry the key 次序, which is
// declared last so that the named fields come first in their documented order.
const char* const kBankSchema = R"(
CREATE TABLE 题库 (
  编号 INTEGER PRIMARY KEY AUTOINCREMENT,
  题目 BLOB NOT NULL DEFAULT x'',
  答案 BLOB NOT NULL DEFAULT x'',
  题型 TEXT NOT NULL DEFAULT '',
  章节 TEXT NOT NULL DEFAULT '',
  单元 TEXT NOT NULL DEFAULT '',
  难度 TEXT NOT NULL DEFAULT '',
  分值 REAL NOT NULL DEFAULT 0,
  备注 TEXT NOT NULL DEFAULT '',
  使用 TEXT NOT NULL DEFAULT '',
  次序 INTEGER NOT NULL UNIQUE);
CREATE INDEX 题库属性 ON 题库 (题型, 章节, 单元, 难度, 分值, 次序);
CREATE TABLE 参数 (
  mc TEXT NOT NULL DEFAULT '', zy TEXT NOT NULL DEFAULT '', dg TEXT NOT NULL DEFAULT '',
  jk TEXT NOT NULL DEFAULT '', sd TEXT NOT NULL DEFAULT '', qy TEXT NOT NULL DEFAULT '');
INSERT INTO 参数 DEFAULT VALUES;
CREATE TABLE 题型 (题型 TEXT NOT NULL, 次序 INTEGER PRIMARY KEY);
CREATE TABLE 章节 (章节 TEXT NOT NULL, 次序 INTEGER PRIMARY KEY);
CREATE TABLE 难度 (难度 TEXT NOT NULL, 次序 INTEGER PRIMARY KEY);
CREATE TABLE 单元 (单元 TEXT NOT NULL, 次序 INTEGER PRIMARY KEY);
CREATE TABLE 评分表 (评分表 BLOB NOT NULL, 次序 INTEGER PRIMARY KEY);
CREATE TABLE 阅卷人 (阅卷人 BLOB NOT NULL, 次序 INTEGER PRIMARY KEY);
)";

// What version 2 adds to a bank: one row for each time a question went into a paper that
// was filed in a paper library, with the filing date (yyyy-MM-dd), the library's name and
// the paper's 卷名. The index finds a question's uses, its latest first.
const char* const kUsageSchema = R"(
CREATE TABLE IF NOT EXISTS 使用记录 (
  编号 INTEGER NOT NULL,
  日期 TEXT NOT NULL,
  试卷库 TEXT NOT NULL DEFAULT '',
  卷名 TEXT NOT NULL DEFAULT '',
  次序 INTEGER PRIMARY KEY);
CREATE INDEX IF NOT EXISTS 使用记录题目 ON 使用记录 (编号, 日期);
)";

// What version 3 adds to a bank: the folded plain text of each question and its answer
// (bankstore/search_text.h), which search and duplicate finding read instead of the RTF.
// The store writes a question's row with the question; the triggers drop a row whose
// question another program added or changed, so that a text is never stale: a question
// without one gets it at the next search (BankFile::search fills in what is missing).
const char* const kSearchSchema = R"(
CREATE TABLE IF NOT EXISTS 检索 (编号 INTEGER PRIMARY KEY, 文本 TEXT NOT NULL);
CREATE TRIGGER IF NOT EXISTS 检索加题 AFTER INSERT ON 题库 BEGIN DELETE FROM 检索 WHERE 编号 = new.编号; END;
CREATE TRIGGER IF NOT EXISTS 检索改题 AFTER UPDATE OF 题目, 答案 ON 题库 BEGIN
  DELETE FROM 检索 WHERE 编号 = new.编号; END;
CREATE TRIGGER IF NOT EXISTS 检索删题 AFTER DELETE ON 题库 BEGIN DELETE FROM 检索 WHERE 编号 = old.编号; END;
)";

const char* const kUsersSchema = R"(
CREATE TABLE 用户 (用户名 TEXT NOT NULL, 口令 TEXT, 次序 INTEGER PRIMARY KEY);
)";

const char* const kLibrarySchema = R"(
CREATE TABLE 卷库 (
  试卷 BLOB NOT NULL DEFAULT x'',
  答卷 BLOB NOT NULL DEFAULT x'',
  卷名 TEXT NOT NULL DEFAULT '',
  出卷人 TEXT NOT NULL DEFAULT '',
  教研组 TEXT NOT NULL DEFAULT '',
  科室 TEXT NOT NULL DEFAULT '',
  时间 TEXT NOT NULL DEFAULT '',
  备注 TEXT NOT NULL DEFAULT '',
  次序 INTEGER PRIMARY KEY);
)";

const char* schemaOf(DbKind kind)
{
    switch (kind) {
    case DbKind::Bank: return kBankSchema;
    case DbKind::Users: return kUsersSchema;
    case DbKind::PaperLibrary: return kLibrarySchema;
    }
    return "";
}

// "table.column" for every field the program relies on in a file of `version`.
QSet<QString> requiredFields(DbKind kind, int version)
{
    auto fields = [](const char* table, std::initializer_list<const char*> columns) {
        QSet<QString> s;
        for (const char* c : columns)
            s.insert(QString::fromUtf8(table) + QLatin1Char('.') + QString::fromUtf8(c));
        return s;
    };
    switch (kind) {
    case DbKind::Bank: {
        QSet<QString> bank =
            fields("题库", {"编号", "题目", "答案", "题型", "章节", "单元", "难度", "分值", "备注", "使用", "次序"})
            | fields("参数", {"mc", "zy", "dg", "jk", "sd", "qy"}) | fields("题型", {"题型", "次序"})
            | fields("章节", {"章节", "次序"}) | fields("难度", {"难度", "次序"}) | fields("单元", {"单元", "次序"})
            | fields("评分表", {"评分表", "次序"}) | fields("阅卷人", {"阅卷人", "次序"});
        if (version >= 2)
            bank |= fields("使用记录", {"编号", "日期", "试卷库", "卷名", "次序"});
        if (version >= 3)
            bank |= fields("检索", {"编号", "文本"});
        return bank;
    }
    case DbKind::Users: return fields("用户", {"用户名", "口令", "次序"});
    case DbKind::PaperLibrary:
        return fields("卷库", {"试卷", "答卷", "卷名", "出卷人", "教研组", "科室", "时间", "备注", "次序"});
    }
    return {};
}

// Orders text by its GBK bytes; characters without a GBK form sort as '?', and texts that
// encode alike are told apart by their UTF-8 bytes, so only equal texts compare equal.
int compareGbk(void*, int n1, const void* p1, int n2, const void* p2)
{
    thread_local QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    const QByteArray a = encoder.encode(QString::fromUtf8(static_cast<const char*>(p1), n1));
    const QByteArray b = encoder.encode(QString::fromUtf8(static_cast<const char*>(p2), n2));
    if (const int c = std::memcmp(a.constData(), b.constData(), size_t(std::min(a.size(), b.size()))))
        return c;
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    if (const int c = std::memcmp(p1, p2, size_t(std::min(n1, n2))))
        return c;
    return n1 == n2 ? 0 : (n1 < n2 ? -1 : 1);
}

// The busy handler of every connection. SQLite's own one sleeps longer and longer between
// attempts, up to 100 ms, so it almost never sees a file that a long writer frees for a
// moment between two transactions; this one backs off only up to kBusyPollMs. The time
// waited is counted from the sleeps, as SQLite does.
int waitForFile(void*, int attempt)
{
    constexpr int kFirstDelays[] = {1, 2, 5};
    constexpr int kFirst = int(std::size(kFirstDelays));
    int waited = 0;
    for (int i = 0; i < std::min(attempt, kFirst); ++i)
        waited += kFirstDelays[i];
    waited += std::max(attempt - kFirst, 0) * kBusyPollMs;
    if (waited >= kBusyTimeoutMs)
        return 0;
    const int delay = attempt < kFirst ? kFirstDelays[attempt] : kBusyPollMs;
    sqlite3_sleep(std::min(delay, kBusyTimeoutMs - waited));
    return 1;
}

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

// Looks at the first bytes before SQLite opens the file, which would otherwise take an
// empty or foreign file for a new database and write to it.
bool checkHeader(const QString& path, DbKind kind, QString* error)
{
    QFile f(path);
    if (!f.exists())
        return fail(error, QStringLiteral("找不到文件“%1”。").arg(displayPath(path)));
    // Opening a pipe would wait for a writer: only an ordinary file can be ours.
    if (!QFileInfo(path).isFile())
        return fail(error, QStringLiteral("文件“%1”不是本程序的%2，无法打开。").arg(displayPath(path), kindName(kind)));
    if (!f.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("无法读取文件“%1”。").arg(displayPath(path)));
    const QByteArray head = f.read(100);
    if (head.size() == 100 && head.startsWith(QByteArrayView("SQLite format 3\0", 16)))
        return true;
    if (head.mid(4).startsWith("Standard Jet DB") || head.mid(4).startsWith("Standard ACE DB"))
        return fail(error, QStringLiteral("文件“%1”是旧格式的 Access 数据库，本程序不能使用。").arg(displayPath(path)));
    return fail(error, QStringLiteral("文件“%1”不是本程序的%2，无法打开。").arg(displayPath(path), kindName(kind)));
}

// Inside a read transaction, so that no writer is half-way through the file: the file must
// be as long as its header says and hold the kind's tables.
bool checkContent(SQLite::Database& db, const QString& path, DbKind kind, QString* error)
{
    SQLite::Transaction read(db);
    QSet<QString> present;
    SQLite::Statement fields(db, "SELECT m.name, p.name FROM sqlite_master AS m, pragma_table_info(m.name) AS p "
                                 "WHERE m.type = 'table'");
    while (fields.executeStep())
        present.insert(columnText(fields.getColumn(0)) + QLatin1Char('.') + columnText(fields.getColumn(1)));
    const int64_t pages = db.execAndGet("PRAGMA page_count").getInt64();
    const int64_t pageSize = db.execAndGet("PRAGMA page_size").getInt64();
    if (QFileInfo(path).size() < pages * pageSize)
        return fail(error, QStringLiteral("文件“%1”不完整或已损坏，无法打开。").arg(displayPath(path)));
    const int version = db.execAndGet("PRAGMA user_version").getInt();
    if (!present.contains(requiredFields(kind, version)))
        return fail(error, QStringLiteral("文件“%1”不是本程序的%2，无法打开。").arg(displayPath(path), kindName(kind)));
    // No program of ours writes a negative version.
    if (version < 0)
        return fail(error, QStringLiteral("文件“%1”的格式版本（%2）无效，不是本程序的%3，无法打开。")
                               .arg(displayPath(path))
                               .arg(version)
                               .arg(kindName(kind)));
    if (version > formatVersion(kind))
        return fail(error, QStringLiteral("文件“%1”由更新版本的程序建立（格式版本%2），本程序无法使用，请升级本程序。")
                               .arg(displayPath(path))
                               .arg(version));
    read.commit();
    return true;
}

}  // namespace

QString kindName(DbKind kind)
{
    switch (kind) {
    case DbKind::Bank: return QStringLiteral("题库文件");
    case DbKind::Users: return QStringLiteral("用户文件");
    case DbKind::PaperLibrary: return QStringLiteral("试卷库文件");
    }
    return {};
}

QString displayPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString dbErrorMessage(const QString& path, const SQLite::Exception& e)
{
    const QString file = displayPath(path);
    switch (e.getErrorCode() & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return QStringLiteral("文件“%1”正被其他程序或计算机使用，请稍后再试。").arg(file);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return QStringLiteral("文件“%1”不完整或已损坏，无法打开。").arg(file);
    case SQLITE_FULL: return QStringLiteral("磁盘已满，文件“%1”未能写入。").arg(file);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR: return QStringLiteral("无法读写文件“%1”，请检查文件是否只读或路径是否可用。").arg(file);
    default: return QStringLiteral("读写文件“%1”时出错：%2").arg(file, QString::fromUtf8(e.what()));
    }
}

std::optional<SQLite::Database> openDbFile(const QString& path, DbKind kind, QString* error)
{
    if (!checkHeader(path, kind, error))
        return std::nullopt;
    try {
        // Without OPEN_CREATE: a file that vanished after the check is not made anew.
        SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE);
        waitWhenBusy(db);
        sqlite3_create_collation_v2(db.getHandle(), kGbkCollation, SQLITE_UTF8, nullptr, compareGbk, nullptr);
        registerSearchText(db);
        if (!checkContent(db, path, kind, error))
            return std::nullopt;
        return db;
    } catch (const SQLite::Exception& e) {
        fail(error, dbErrorMessage(path, e));
    }
    return std::nullopt;
}

bool createDbFile(const QString& path, DbKind kind, QString* error)
{
    if (QFileInfo::exists(path))
        return fail(error, QStringLiteral("文件“%1”已存在。").arg(displayPath(path)));
    // Built under a scratch name and renamed, so that a failure leaves no half-made file.
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    QFile::remove(part + QStringLiteral("-journal"));
    try {
        SQLite::Database db(part.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        SQLite::Transaction tx(db);
        db.exec(schemaOf(kind));
        if (kind == DbKind::Bank) {
            db.exec(kUsageSchema);
            db.exec(kSearchSchema);
        }
        db.exec("PRAGMA user_version = " + std::to_string(formatVersion(kind)));
        tx.commit();
    } catch (const SQLite::Exception& e) {
        QFile::remove(part);
        return fail(error, dbErrorMessage(path, e));
    }
    if (!QFile::rename(part, path)) {
        QFile::remove(part);
        return fail(error, QStringLiteral("无法建立文件“%1”。").arg(displayPath(path)));
    }
    return true;
}

bool copyTemplate(const QString& templatePath, const QString& path, DbKind kind, QString* error)
{
    if (!openDbFile(templatePath, kind, error))
        return false;
    if (QFileInfo::exists(path))
        return fail(error, QStringLiteral("文件“%1”已存在。").arg(displayPath(path)));
    // QFile::copy writes a scratch file and renames it, so no half copy is ever seen.
    if (!QFile::copy(templatePath, path))
        return fail(error, QStringLiteral("无法建立文件“%1”。").arg(displayPath(path)));
    return true;
}

int formatVersion(DbKind kind)
{
    switch (kind) {
    case DbKind::Bank: return kBankFormatVersion;
    case DbKind::Users: return kUsersFormatVersion;
    case DbKind::PaperLibrary: return kLibraryFormatVersion;
    }
    return 1;
}

WriteTransaction::WriteTransaction(SQLite::Database& db)
    : SQLite::Transaction(db, SQLite::TransactionBehavior::IMMEDIATE)
{
    const int version = db.execAndGet("PRAGMA user_version").getInt();
    if (version >= kBankFormatVersion)
        return;
    // Only a bank has a version beyond the first; it is known by its table of questions.
    const bool bank =
        db.execAndGet("SELECT count(*) FROM main.sqlite_master WHERE type = 'table' AND name = '题库'").getInt() > 0;
    const int latest = bank ? kBankFormatVersion : 1;
    if (version == latest)
        return;
    // Version 1 to 2: the usage records. Every question is unused so far; a 使用 that an
    // earlier program left stays as it was until the question is next used.
    if (bank && version < 2)
        db.exec(kUsageSchema);
    // Version 2 to 3: the searchable texts, empty at first; the first search fills them in.
    if (bank && version < 3)
        db.exec(kSearchSchema);
    db.exec("PRAGMA user_version = " + std::to_string(latest));
}

bool hasUsageTable(SQLite::Database& db)
{
    return db.execAndGet("SELECT count(*) FROM main.sqlite_master WHERE type = 'table' AND name = '使用记录'").getInt()
           > 0;
}

bool hasSearchTable(SQLite::Database& db)
{
    return db.execAndGet("SELECT count(*) FROM main.sqlite_master WHERE type = 'table' AND name = '检索'").getInt() > 0;
}

bool isSameFile(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

void waitWhenBusy(SQLite::Database& db)
{
    sqlite3_busy_handler(db.getHandle(), waitForFile, nullptr);
}

void compactIfWasteful(SQLite::Database& db)
{
    const int64_t free = db.execAndGet("PRAGMA freelist_count").getInt64();
    const int64_t pages = db.execAndGet("PRAGMA page_count").getInt64();
    if (free * 4 < pages)
        return;
    sqlite3_busy_handler(db.getHandle(), nullptr, nullptr);
    db.tryExec("VACUUM");
    waitWhenBusy(db);
}

std::optional<int64_t> columnAtPosition(SQLite::Database& db, const char* table, const char* column, int position)
{
    if (position < -1)
        return std::nullopt;
    const std::string select = std::string("SELECT ") + column + " FROM " + table;
    SQLite::Statement st(db, position == -1 ? select + " ORDER BY 次序 DESC LIMIT 1"
                                            : select + " ORDER BY 次序 LIMIT 1 OFFSET ?");
    if (position >= 0)
        st.bind(1, position);
    if (!st.executeStep())
        return std::nullopt;
    return st.getColumn(0).getInt64();
}

int rowCount(SQLite::Database& db, const char* table)
{
    return db.execAndGet(std::string("SELECT count(*) FROM ") + table).getInt();
}

void bindText(SQLite::Statement& st, int index, const QString& text)
{
    st.bind(index, text.toStdString());
}

void bindBlob(SQLite::Statement& st, int index, const QByteArray& bytes)
{
    // constData() is never null, so an empty array binds an empty blob rather than NULL.
    st.bind(index, static_cast<const void*>(bytes.constData()), int(bytes.size()));
}

QString columnText(const SQLite::Column& c)
{
    return QString::fromUtf8(c.getText(), c.getBytes());
}

QByteArray columnBlob(const SQLite::Column& c)
{
    const void* data = c.getBlob();  // before getBytes(), as SQLite asks
    const int n = c.getBytes();
    return n > 0 ? QByteArray(static_cast<const char*>(data), n) : QByteArray();
}

}  // namespace qm
