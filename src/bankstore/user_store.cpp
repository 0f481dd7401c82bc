#include "bankstore/user_store.h"

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

bool UserStore::create(const QString& path, QString* error)
{
    return createDbFile(path, DbKind::Users, error);
}

}  // namespace qm
