#pragma once
// The user file (tiku.psw): table 用户 with the fields 用户名 and 口令, used in stored order.
// Each call opens the file, works in one transaction and closes it. A failing call changes
// nothing and puts a Chinese message naming the file into `error` when given.

#include <QList>
#include <QString>
#include <optional>

namespace qm {

struct UserRecord {
    QString name;      // 用户名, as typed
    QString password;  // 口令, plain text; "" is stored as an empty (null) password
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

    // Makes a new user file without users. Fails when the file exists.
    static bool create(const QString& path, QString* error = nullptr);

private:
    QString m_path;
};

}  // namespace qm
