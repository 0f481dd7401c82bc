// The users of a work path kept on a server.

#include "bankstore/server_users.h"

#include "bankstore/server_bank.h"
#include "bankstore/server_store.h"

namespace qm::server {

namespace {

qint64 userKeyAt(Session& s, int position)
{
    if (position >= 0) {
        const pg::Result r =
            s.c().exec("SELECT ord FROM qm_user ORDER BY ord OFFSET $1 LIMIT 1", pg::Params().integer(position));
        if (r.rows() > 0)
            return r.integer(0, 0);
    }
    throw StoreError{QStringLiteral("用户表中没有第%1个用户。").arg(position + 1)};
}

// The user's name and the hash of the password, as parameters $1 and $2 of a statement
// that stores `crypt($2, gen_salt('bf'))`, or null for an empty password.
pg::Params userParams(const UserRecord& user)
{
    return pg::Params().text(user.name).text(user.password);
}

constexpr const char* kHash = "CASE WHEN $2 = '' THEN NULL ELSE crypt($2, gen_salt('bf', 8)) END";

void insertUser(Session& s, const UserRecord& user)
{
    s.c().exec((QByteArray("INSERT INTO qm_user (name, hash) VALUES ($1, ") + kHash + ")").constData(),
               userParams(user));
}

}  // namespace

std::optional<QList<UserRecord>> users(const QString& uri, QString* error)
{
    return withServerDatabase(uri, error, [](Session& s) {
        QList<UserRecord> list;
        if (s.version() < 2)
            return list;
        const pg::Result r = s.c().exec("SELECT name FROM qm_user ORDER BY ord");
        for (int i = 0; i < r.rows(); ++i)
            list.append({r.text(i, 0), QString()});
        return list;
    });
}

bool addUser(const QString& uri, const UserRecord& user, QString* error)
{
    return withServerDatabase(uri, error,
                              [&](Session& s) {
                                  pg::Transaction tx(s.c());
                                  s.upgrade();
                                  insertUser(s, user);
                                  tx.commit();
                                  return true;
                              })
        .value_or(false);
}

bool updateUser(const QString& uri, int position, const UserRecord& user, QString* error)
{
    return withServerDatabase(
               uri, error,
               [&](Session& s) {
                   pg::Transaction tx(s.c());
                   s.upgrade();
                   pg::Params p = userParams(user);
                   p.integer(userKeyAt(s, position));
                   s.c().exec(
                       (QByteArray("UPDATE qm_user SET name = $1, hash = ") + kHash + " WHERE ord = $3").constData(),
                       p);
                   tx.commit();
                   return true;
               })
        .value_or(false);
}

bool removeUser(const QString& uri, int position, QString* error)
{
    return withServerDatabase(uri, error,
                              [&](Session& s) {
                                  pg::Transaction tx(s.c());
                                  s.upgrade();
                                  s.c().exec("DELETE FROM qm_user WHERE ord = $1",
                                             pg::Params().integer(userKeyAt(s, position)));
                                  tx.commit();
                                  return true;
                              })
        .value_or(false);
}

std::optional<LoginCheck> checkLogin(const QString& uri, const QString& name, const QString& password, QString* error)
{
    return withServerDatabase(uri, error, [&](Session& s) {
        LoginCheck check;
        if (s.version() < 2)
            return check;
        // The names are compared here as the files' login compares them (Qt's upper case);
        // the password by the server.
        const pg::Result r = s.c().exec("SELECT ord, name FROM qm_user ORDER BY ord");
        for (int i = 0; i < r.rows(); ++i) {
            if (r.text(i, 1).toUpper() != name.toUpper())
                continue;
            check.known = true;
            check.name = r.text(i, 1);
            check.passwordRight =
                s.c()
                    .exec("SELECT CASE WHEN hash IS NULL THEN $2 = '' ELSE hash = crypt($2, hash) END "
                          "FROM qm_user WHERE ord = $1",
                          pg::Params().integer(r.integer(i, 0)).text(password))
                    .integer(0, 0)
                != 0;
            break;
        }
        return check;
    });
}

}  // namespace qm::server

namespace qm {

std::optional<int> copyUsersToServer(const QString& from, const QString& uri, QString* error)
{
    const std::optional<QList<UserRecord>> list = UserStore(from).users(error);
    if (!list)
        return std::nullopt;
    return server::withServerDatabase(uri, error, [&](server::Session& s) {
        pg::Transaction tx(s.c());
        s.upgrade();
        if (s.c().exec("SELECT count(*) FROM qm_user").integer(0, 0) > 0)
            throw StoreError{QStringLiteral("数据库“%1”中已有用户，没有复制用户。").arg(uri)};
        for (const UserRecord& user : *list)
            server::insertUser(s, user);
        tx.commit();
        return int(list->size());
    });
}

}  // namespace qm
