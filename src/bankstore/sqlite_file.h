#pragma once
// Opening the program's SQLite files: question banks (.tik, the template qm.qm), the user
// file (tiku.psw) and paper libraries (.Juk, the template jk.jk).
//
// Every operation opens its file, works in one transaction and closes the file again, so
// that several computers can share a work path. The files keep SQLite's rollback journal
// (WAL needs shared memory, which a network share cannot give) and an operation waits for
// a file that another computer is writing instead of failing at once.
//
// Before SQLite is let near a file it is checked to be a whole SQLite database holding the
// tables of its kind; a text file, a truncated file or an old Access database gives a
// Chinese message naming the file, and nothing is written to it.

#include <QByteArray>
#include <QString>
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <optional>
#include <type_traits>

namespace qm {

enum class DbKind { Bank, Users, PaperLibrary };

// The format version of each kind of file, kept in SQLite's user_version. A file without
// one (0) is of version 1, the first format. A file of an older version is read as it is
// and upgraded by its next write, in the transaction of that write, so that a failure or a
// crash leaves it as it was; a file of a newer version, written by a later program, is
// refused before anything touches it.
//   Banks: 1 the questions, particulars, lists and fragments; 2 adds the usage records
//   (使用记录), which 使用 counts; 3 the searchable texts (检索).
//   User files and paper libraries: 1.
constexpr int kBankFormatVersion = 3;
constexpr int kUsersFormatVersion = 1;
constexpr int kLibraryFormatVersion = 1;
int formatVersion(DbKind kind);

// How long an operation waits for a file that another computer holds.
constexpr int kBusyTimeoutMs = 10000;
// While it waits it looks at the file again at least this often, so that a writer that
// lets go of the file only for a moment between two transactions is noticed.
constexpr int kBusyPollMs = 10;
// A writer that has kept the file for kWriterHoldMs, in one long transaction or in many
// that follow each other closely, leaves it alone for kWriterPauseMs after its next commit
// (several times kBusyPollMs), so that whoever waits for the file gets a turn. The hold is
// shorter than the second that a batch import's transaction lasts, so that the import
// makes the break after every commit.
constexpr int kWriterHoldMs = 500;
constexpr int kWriterPauseMs = 50;

// Name of the collation that orders text by its GBK bytes (common hanzi in pinyin order).
inline constexpr const char* kGbkCollation = "GBK";

// A failure with a message for the user; thrown inside store operations.
struct StoreError {
    QString message;
};

// Opens an existing file of the kind after the checks above. Nothing on failure.
std::optional<SQLite::Database> openDbFile(const QString& path, DbKind kind, QString* error = nullptr);

// Creates a new file of the kind holding its empty tables (a bank also gets its one row of
// particulars). Fails, leaving everything as it was, when the file already exists.
bool createDbFile(const QString& path, DbKind kind, QString* error = nullptr);

// Makes `path` a copy of the template `templatePath` after checking that the template is a
// file of the kind. Fails, creating nothing, when `path` exists.
bool copyTemplate(const QString& templatePath, const QString& path, DbKind kind, QString* error = nullptr);

// Makes the SQL function qm_search_text(题目, 答案), the searchable text of a question
// (search_text.h), known to a connection. openDbFile does this for every file.
void registerSearchText(SQLite::Database& db);

// Makes the connection wait for a file that another connection holds, for kBusyTimeoutMs
// and looking again at least every kBusyPollMs. openDbFile does this for every file.
void waitWhenBusy(SQLite::Database& db);

// After a deletion: compacts the file when a quarter of it or more is free space, so that a
// large file is not rewritten for every deleted row. Skipped at once if another program is
// using the file; the deletion, already committed, stands either way.
void compactIfWasteful(SQLite::Database& db);

// True when both paths name one existing file.
bool isSameFile(const QString& a, const QString& b);

// The user's message for a database failure on `path`.
QString dbErrorMessage(const QString& path, const SQLite::Exception& e);

// The file's name for messages: "题库文件", "用户文件" or "试卷库文件".
QString kindName(DbKind kind);

// The path as the user knows it, for messages.
QString displayPath(const QString& path);

// Opens the file, runs `work(db)` and closes it. A StoreError or database error thrown by
// `work` rolls back its transaction and becomes nothing plus the message in `error`.
template <typename F>
auto withDbFile(const QString& path, DbKind kind, QString* error, F&& work)
    -> std::optional<std::invoke_result_t<F&, SQLite::Database&>>
{
    std::optional<SQLite::Database> db = openDbFile(path, kind, error);
    if (!db)
        return std::nullopt;
    try {
        return work(*db);
    } catch (const StoreError& e) {
        if (error)
            *error = e.message;
    } catch (const SQLite::Exception& e) {
        if (error)
            *error = dbErrorMessage(path, e);
    }
    return std::nullopt;
}

// Write transactions take the write lock at once: two computers that both read and then
// write would otherwise deadlock instead of waiting for each other. A file of an older
// format is upgraded first, within the transaction: the upgrade is kept only with the
// write, and a failing upgrade throws like a failing write.
class WriteTransaction : public SQLite::Transaction {
public:
    explicit WriteTransaction(SQLite::Database& db);
};

// True when the bank has the usage records of version 2 (a bank of version 1 has none).
bool hasUsageTable(SQLite::Database& db);
// True when the bank has the searchable texts of version 3.
bool hasSearchTable(SQLite::Database& db);

// Rows of the tables kept in stored order carry the key `次序`; position n is the n-th row
// in ascending key order. Returns the value of `column` of the row at `position` (-1 = the
// last row), or nothing when there is no such row. `table` and `column` are our own names.
std::optional<int64_t> columnAtPosition(SQLite::Database& db, const char* table, const char* column, int position);
int rowCount(SQLite::Database& db, const char* table);

void bindText(SQLite::Statement& st, int index, const QString& text);
void bindBlob(SQLite::Statement& st, int index, const QByteArray& bytes);
QString columnText(const SQLite::Column& c);
QByteArray columnBlob(const SQLite::Column& c);

}  // namespace qm
