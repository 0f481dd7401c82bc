#include "bankstore/sqlite_file.h"
#include "bankstore/user_store.h"
#include "support/temp_dirs.h"

#include <QFile>
#include <gtest/gtest.h>

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
