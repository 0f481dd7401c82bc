#include "bankstore/user_store.h"

#include "bankstore/server_store.h"
#include "bankstore/server_users.h"
#include "bankstore/sqlite_file.h"

namespace qm {

namespace {

int64_t userKeyAt(SQLite::Database& db, int position)
{
    const auto key = position >= 0 ? columnAtPosition(db, "用户", "次序", position) : std::nullopt;
    if (!key)
        throw StoreError{QStringLiteral("用户表中没有第%1个用户。").arg(position + 1)};
    return *key;
}

void bindUser(SQLite::Statement& st, const UserRecord& user)
{
    bindText(st, 1, user.name);
    if (user.password.isEmpty())
        st.bind(2);
    else
        bindText(st, 2, user.password);
}

}  // namespace

UserStore::UserStore(QString path) : m_path(std::move(path)) {}

std::optional<QList<UserRecord>> UserStore::users(QString* error) const
{
    if (isServerPath(m_path))
        return server::users(m_path, error);
    return withDbFile(m_path, DbKind::Users, error, [](SQLite::Database& db) {
        QList<UserRecord> list;
        SQLite::Statement st(db, "SELECT 用户名, 口令 FROM 用户 ORDER BY 次序");
        while (st.executeStep())
            list.append({columnText(st.getColumn(0)), columnText(st.getColumn(1))});
        return list;
    });
}

bool UserStore::add(const UserRecord& user, QString* error)
{
    if (isServerPath(m_path))
        return server::addUser(m_path, user, error);
    return withDbFile(m_path, DbKind::Users, error,
                      [&](SQLite::Database& db) {
                          WriteTransaction tx(db);
                          SQLite::Statement st(db, "INSERT INTO 用户 (用户名, 口令) VALUES (?, ?)");
                          bindUser(st, user);
                          st.exec();
                          tx.commit();
                          return true;
                      })
        .has_value();
}

bool UserStore::update(int position, const UserRecord& user, QString* error)
{
    if (isServerPath(m_path))
        return server::updateUser(m_path, position, user, error);
    return withDbFile(m_path, DbKind::Users, error,
                      [&](SQLite::Database& db) {
                          WriteTransaction tx(db);
                          SQLite::Statement st(db, "UPDATE 用户 SET 用户名 = ?, 口令 = ? WHERE 次序 = ?");
                          bindUser(st, user);
                          st.bind(3, userKeyAt(db, position));
                          st.exec();
                          tx.commit();
                          return true;
                      })
        .has_value();
}

bool UserStore::remove(int position, QString* error)
{
    if (isServerPath(m_path))
        return server::removeUser(m_path, position, error);
    return withDbFile(m_path, DbKind::Users, error,
                      [&](SQLite::Database& db) {
                          WriteTransaction tx(db);
                          SQLite::Statement st(db, "DELETE FROM 用户 WHERE 次序 = ?");
                          st.bind(1, userKeyAt(db, position));
                          st.exec();
                          tx.commit();
                          return true;
                      })
        .has_value();
}

std::optional<LoginCheck> UserStore::checkLogin(const QString& name, const QString& password, QString* error) const
{
    if (isServerPath(m_path))
        return server::checkLogin(m_path, name, password, error);
    const std::optional<QList<UserRecord>> list = users(error);
    if (!list)
        return std::nullopt;
    LoginCheck check;
    for (const UserRecord& user : *list) {
        if (user.name.toUpper() == name.toUpper()) {
            check = {true, user.name, user.password == password};
            break;
        }
    }
    return check;
}

bool UserStore::passwordsReadable() const
{
    return !isServerPath(m_path);
}

bool UserStore::create(const QString& path, QString* error)
{
    if (isServerPath(path))
        return initServer(path, error);
    return createDbFile(path, DbKind::Users, error);
}

}  // namespace qm
