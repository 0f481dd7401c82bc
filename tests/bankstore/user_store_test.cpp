#include "bankstore/server_store.h"
#include "bankstore/sqlite_file.h"
#include "bankstore/user_store.h"
#include "support/temp_dirs.h"
#include "support/store_test.h"
#include "support/test_server.h"

#include <QFile>
#include <gtest/gtest.h>
#include <libpq-fe.h>

using namespace qm;
using namespace qm::test;

namespace {

QStringList names(const QList<UserRecord>& users)
{
    QStringList n;
    for (const auto& u : users)
        n << u.name + QLatin1Char('/') + u.password;
    return n;
}

}  // namespace

TEST(UserStore, KeepsUsersInStoredOrderThroughEdits)
{
    TempProgramDir dir(false);
    const QString path = dir.file("tiku.psw");
    ASSERT_TRUE(UserStore::create(path));
    UserStore store(path);
    EXPECT_EQ(store.users()->size(), 0);

    ASSERT_TRUE(store.add({"SYSTEM", ""}));
    ASSERT_TRUE(store.add({"王老师", "Abc"}));
    ASSERT_TRUE(store.add({"O'Brien\\x", "p'w\""}));
    ASSERT_TRUE(store.add({"李老师", "123"}));
    EXPECT_EQ(names(*store.users()), QStringList({"SYSTEM/", "王老师/Abc", "O'Brien\\x/p'w\"", "李老师/123"}));

    ASSERT_TRUE(store.update(1, {"王老师", "xyz"}));
    ASSERT_TRUE(store.remove(2));
    EXPECT_EQ(names(*store.users()), QStringList({"SYSTEM/", "王老师/xyz", "李老师/123"}));

    // A user added after a deletion still comes last.
    ASSERT_TRUE(store.add({"赵老师", ""}));
    EXPECT_EQ(store.users()->last().name, "赵老师");
}

TEST(UserStore, EmptyPasswordIsStoredAsNull)
{
    TempProgramDir dir(false);
    const QString path = dir.file("tiku.psw");
    ASSERT_TRUE(UserStore::create(path));
    UserStore store(path);
    ASSERT_TRUE(store.add({"SYSTEM", ""}));
    auto db = openDbFile(path, DbKind::Users);
    ASSERT_TRUE(db);
    EXPECT_TRUE(db->execAndGet("SELECT 口令 FROM 用户").isNull());
}

TEST(UserStore, PositionOutsideTheTableChangesNothing)
{
    TempProgramDir dir(false);
    const QString path = dir.file("tiku.psw");
    ASSERT_TRUE(UserStore::create(path));
    UserStore store(path);
    ASSERT_TRUE(store.add({"SYSTEM", ""}));
    QString error;
    EXPECT_FALSE(store.update(1, {"X", "y"}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(store.remove(-1));
    EXPECT_FALSE(store.remove(5));
    EXPECT_EQ(names(*store.users()), QStringList({"SYSTEM/"}));
}

TEST(UserStore, CreateRefusesAnExistingFile)
{
    TempProgramDir dir(false);
    const QString path = dir.file("tiku.psw");
    writeAll(path, "keep");
    QString error;
    EXPECT_FALSE(UserStore::create(path, &error));
    EXPECT_TRUE(error.contains("tiku.psw"));
    EXPECT_EQ(readAll(path), "keep");
}

TEST(UserStore, MissingFileGivesNothing)
{
    TempProgramDir dir(false);
    QString error;
    EXPECT_FALSE(UserStore(dir.file("tiku.psw")).users(&error));
    EXPECT_TRUE(error.contains("tiku.psw"));
    EXPECT_FALSE(QFile::exists(dir.file("tiku.psw")));
}

// The same cases for a user file and for the users on a server, where only the password
// cannot be read back.
class UsersTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (!onServer()) {
            ASSERT_TRUE(UserStore::create(path));
        }
    }

    QString path = onServer() ? server.uri() : dir.file("tiku.psw");
    UserStore store{path};
};

INSTANTIATE_TEST_SUITE_P(Stores, UsersTest, bothStores(), storeName);

TEST_P(UsersTest, ALoginFindsTheFirstUserOfTheNameInAnyCaseAndChecksThePasswordExactly)
{
    ASSERT_TRUE(store.add({"SYSTEM", ""}));
    ASSERT_TRUE(store.add({"Wang", "Abc 'x'"}));
    ASSERT_TRUE(store.add({"WANG", "other"}));
    ASSERT_TRUE(store.add({"李老师", "123"}));
    EXPECT_EQ(store.passwordsReadable(), !onServer());
    const auto check = [&](const QString& name, const QString& password) {
        const std::optional<LoginCheck> c = store.checkLogin(name, password);
        EXPECT_TRUE(c);
        return c ? QString("%1 %2 %3").arg(c->known).arg(c->name).arg(c->passwordRight) : QString();
    };
    EXPECT_EQ(check("system", ""), "1 SYSTEM 1");
    EXPECT_EQ(check("SYSTEM", "x"), "1 SYSTEM 0");
    EXPECT_EQ(check("wang", "Abc 'x'"), "1 Wang 1");
    EXPECT_EQ(check("WANG", "abc 'x'"), "1 Wang 0");
    EXPECT_EQ(check("WANG", "other"), "1 Wang 0");
    EXPECT_EQ(check("李老师", ""), "1 李老师 0");
    EXPECT_EQ(check("张老师", ""), "0  0");

    // SYSTEM resets a password: the old one no longer logs in.
    ASSERT_TRUE(store.update(3, {"李老师", "新口令"}));
    EXPECT_EQ(check("李老师", "123"), "1 李老师 0");
    EXPECT_EQ(check("李老师", "新口令"), "1 李老师 1");
    ASSERT_TRUE(store.remove(1));
    EXPECT_EQ(check("wang", "other"), "1 WANG 1");
    QStringList listed;
    const std::optional<QList<UserRecord>> users = store.users();
    ASSERT_TRUE(users);
    for (const UserRecord& u : *users)
        listed << u.name + "/" + u.password;
    EXPECT_EQ(listed, onServer() ? QStringList({"SYSTEM/", "WANG/", "李老师/"})
                                 : QStringList({"SYSTEM/", "WANG/other", "李老师/新口令"}));
    EXPECT_FALSE(store.update(3, {"X", "y"}));
    EXPECT_FALSE(store.remove(-1));
}

TEST(ServerUsers, PasswordsAreKeptAsSaltedHashesAndAFileIsCopiedOnce)
{
    if (!TestDatabase::configured())
        GTEST_SKIP() << "no test server";
    TestDatabase server;
    ASSERT_TRUE(server.ready()) << server.error().toStdString();
    TempProgramDir dir(false);
    const QString file = dir.file("tiku.psw");
    ASSERT_TRUE(UserStore::create(file));
    for (const UserRecord& u : {UserRecord{"SYSTEM", ""}, UserRecord{"甲", "same"}, UserRecord{"乙", "same"}})
        ASSERT_TRUE(UserStore(file).add(u));

    EXPECT_EQ(copyUsersToServer(file, server.uri()), 3);
    QString error;
    EXPECT_FALSE(copyUsersToServer(file, server.uri(), &error));
    EXPECT_EQ(error, "数据库“" + server.uri() + "”中已有用户，没有复制用户。");
    EXPECT_EQ(UserStore(server.uri()).users()->size(), 3);

    // What the server holds tells nothing of the password, and equal passwords differ.
    PGconn* c = PQconnectdb(server.uri().toUtf8().constData());
    ASSERT_EQ(PQstatus(c), CONNECTION_OK);
    PGresult* r = PQexec(c, "SELECT coalesce(hash, '-') FROM qm_user ORDER BY ord");
    ASSERT_EQ(PQntuples(r), 3);
    const QString none = PQgetvalue(r, 0, 0), first = PQgetvalue(r, 1, 0), second = PQgetvalue(r, 2, 0);
    PQclear(r);
    PQfinish(c);
    EXPECT_EQ(none, "-");
    EXPECT_TRUE(first.startsWith("$2a$08$")) << first.toStdString();
    EXPECT_FALSE(first.contains("same"));
    EXPECT_NE(first, second);
    EXPECT_TRUE(UserStore(server.uri()).checkLogin("乙", "same")->passwordRight);
}
