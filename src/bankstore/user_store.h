#pragma once
// The user file (tiku.psw): table 用户 with the fields 用户名 and 口令, used in stored order.
// Each call opens the file, works in one transaction and closes it. A failing call changes
// nothing and puts a Chinese message naming the file into `error` when given.
//
// The path may instead be the URI of a database on a server (postgresql://…, no '#'): the
// users of a work path kept there. The server keeps only salted hashes of the passwords, so
// users() gives their names with empty passwords (passwordsReadable() is false) and a login
// is checked with checkLogin(); add and update set a password, which is how SYSTEM resets one.

#include <QList>
#include <QString>
#include <optional>

namespace qm {

struct UserRecord {
    QString name;      // 用户名, as typed
    QString password;  // 口令, plain text; "" is stored as an empty (null) password
};

// What a login found: whether a user has the name, the name as stored, and whether the
// password is theirs.
struct LoginCheck {
    bool known = false;
    QString name;
    bool passwordRight = false;
};

class UserStore {
public:
    explicit UserStore(QString path);
    const QString& path() const { return m_path; }

    // Every user in stored order; nothing when the file cannot be read.
    std::optional<QList<UserRecord>> users(QString* error = nullptr) const;
    // Appends a user after the last one.
    bool add(const UserRecord& user, QString* error = nullptr);
    // Rewrites the user at the 0-based position in stored order; the user keeps its place.
    bool update(int position, const UserRecord& user, QString* error = nullptr);
    // Deletes the user at the 0-based position; the users after it move up one place.
    bool remove(int position, QString* error = nullptr);

    // The first user in stored order whose name equals `name` without regard to letter case,
    // and whether `password` is exactly theirs.
    std::optional<LoginCheck> checkLogin(const QString& name, const QString& password, QString* error = nullptr) const;
    // False for a server, which cannot tell a password.
    bool passwordsReadable() const;

    // Makes a new user file without users. Fails when the file exists.
    static bool create(const QString& path, QString* error = nullptr);

private:
    QString m_path;
};

}  // namespace qm
