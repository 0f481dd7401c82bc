#pragma once
// The server store of the users (bankstore/user_store.h): what UserStore does when its path
// is a database URI. The server keeps no password, only its salted hash (pgcrypto's
// crypt() with a bcrypt salt): the users read back have empty passwords, and a login is
// checked by the server. Not for use outside src/bankstore.

#include "bankstore/user_store.h"

namespace qm::server {

std::optional<QList<UserRecord>> users(const QString& uri, QString* error);
bool addUser(const QString& uri, const UserRecord& user, QString* error);
bool updateUser(const QString& uri, int position, const UserRecord& user, QString* error);
bool removeUser(const QString& uri, int position, QString* error);
std::optional<LoginCheck> checkLogin(const QString& uri, const QString& name, const QString& password, QString* error);

}  // namespace qm::server
