#pragma once
// Banks kept on a PostgreSQL server instead of in files. A bank there is named by a path
//
//   postgresql://[user@]host[:port]/dbname#学科/名称.TIK
//
// the part before '#' a libpq connection URI (a Unix socket: postgresql://user@/dbname?host=/socket/dir),
// after it the subject and the bank's name as a work path would hold them. BankFile,
// BankReader and BankAppender take such a path wherever they take a file; a paper library is
// named alike (URI#学科/名称.Juk) and PaperLibrary takes it. Passwords are
// never part of the path: libpq reads them from ~/.pgpass or PGPASSWORD.
//
// One database holds any number of banks, in the tables that initServer() makes. The
// tables carry a version (table qm_schema) as the files carry theirs: an older schema is
// brought up to date by initServer() or by the first write of a newer program, in the
// transaction of that write; a newer one is refused.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace qm {

// The version of the server's tables.
//   1: banks with their questions, lists, particulars, fragments and usage records.
//   2: paper libraries with their papers; the users with their password hashes; the
//      searchable texts of the questions and a count of each bank's writes.
//   3: the subjects (bankstore/places.h).
constexpr int kServerSchemaVersion = 3;

// True when `path` names a bank on a server (it starts with postgresql:// or postgres://).
bool isServerPath(const QString& path);

// A server bank's path taken apart.
struct ServerBankName {
    QByteArray conninfo;  // the URI before '#'
    QString subject;      // 学科
    QString name;         // 名称.TIK
};
// Nothing, with a message, when the path lacks the subject or the name, or holds a password.
std::optional<ServerBankName> parseServerPath(const QString& path, QString* error = nullptr);
// "URI#subject/name".
QString serverBankPath(const QString& uri, const QString& subject, const QString& name);

// Makes the tables in the database `uri` names, or brings older ones up to date; tables that
// are current are left as they are.
bool initServer(const QString& uri, QString* error = nullptr);

// The banks the database holds, ordered by subject and name.
struct ServerBankEntry {
    QString subject;
    QString name;
};
std::optional<QList<ServerBankEntry>> serverBanks(const QString& uri, QString* error = nullptr);
// The paper libraries the database holds, in the same order.
std::optional<QList<ServerBankEntry>> serverLibraries(const QString& uri, QString* error = nullptr);

// Copies the bank `from` whole, as a new bank `to`, either of them a file or on a server:
// particulars, lists, fragments, the questions with their 编号 and the usage records, read at
// one moment and written all or nothing. Fails when `to` exists, unless it is to be replaced:
// then the old bank is there until the copy takes its place whole. Returns the number of
// questions copied.
enum class ExistingBank { Refuse, Replace };
std::optional<int> copyBank(const QString& from, const QString& to, QString* error = nullptr,
                            ExistingBank existing = ExistingBank::Refuse);
// Copies the users of the user file `from` to the database `uri`, all or none, keeping only
// salted hashes of their passwords; refused when the database has users already. Returns how
// many were copied. (The server cannot give the passwords back: users are not copied from it.)
std::optional<int> copyUsersToServer(const QString& from, const QString& uri, QString* error = nullptr);

// The same for a paper library (URI#学科/名称.Juk or a .Juk file): its papers in their order.
// Returns the number of papers copied.
std::optional<int> copyLibrary(const QString& from, const QString& to, QString* error = nullptr);

}  // namespace qm
