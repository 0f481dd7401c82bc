// Two qmtool imports into one bank at once, as from two computers on a shared work path.

#include "bankstore/bank_file.h"
#include "bankstore/sqlite_file.h"
#include "core/gbk.h"
#include "support/temp_bank.h"
#include "support/temp_dirs.h"

#include <QProcess>
#include <QSet>
#include <QTest>
#include <gtest/gtest.h>

using namespace qm;
using qm::test::TempBank;

namespace {

// A new-format batch file of `count` questions, every name declared; `difficulty` is the
// name of the one difficulty, which tells the two files' questions apart.
QByteArray batchFile(int count, const QString& difficulty)
{
    QString text =
        QStringLiteral("新题库\r\n&CP01第一章&\r\n&CP02第二章&\r\n&DY01一单元&\r\n&SZ1问答题&\r\n&SZ2填空题&\r\n"
                       "&PT01 1 &\r\n&LV1%1&\r\n")
            .arg(difficulty);
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("$CP0%1DY01SZ%2LV1PT01 第%3题：细胞膜的主要成分是什么？{脂质和蛋白质}$\r\n")
                    .arg(i % 2 + 1)
                    .arg(i % 2 + 1)
                    .arg(i + 1);
    return *gbkEncode(text);
}

void startImport(QProcess& p, const QString& bank, const QString& file)
{
    p.start(test::shippedDir() + QStringLiteral("qmtool"), {QStringLiteral("import"), bank, file});
}

}  // namespace

TEST(TwoImports, ASecondImportFinishesWhileALongOneRuns)
{
    TempBank b;
    // The long import would take far longer than the short one; it is ended once the
    // short one is done.
    constexpr int kLong = 400000;
    constexpr int kShort = 300;
    const QString longFile = b.dir.filePath(QStringLiteral("长.txt"));
    const QString shortFile = b.dir.filePath(QStringLiteral("短.txt"));
    ASSERT_TRUE(test::writeAll(longFile, batchFile(kLong, QStringLiteral("容易"))));
    ASSERT_TRUE(test::writeAll(shortFile, batchFile(kShort, QStringLiteral("较难"))));

    QProcess first, second;
    startImport(first, b.path, longFile);
    // The long import is under way once it has committed questions.
    ASSERT_TRUE(QTest::qWaitFor([&] { return b.bank().count().value_or(0) > 0; }, 60000));
    ASSERT_EQ(first.state(), QProcess::Running);

    startImport(second, b.path, shortFile);
    ASSERT_TRUE(second.waitForFinished(60000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    // Every question of the short import is in, and the long one has not stored all of its
    // own yet: it was still running when the short one finished.
    EXPECT_EQ(b.bank().countMatching({.difficulty = QStringLiteral("较难")}), kShort);
    EXPECT_LT(b.bank().countMatching({.difficulty = QStringLiteral("容易")}).value_or(kLong), kLong);
    EXPECT_EQ(first.state(), QProcess::Running);

    // Ended half-way, the long import leaves the bank whole with what it committed.
    first.kill();
    ASSERT_TRUE(first.waitForFinished(60000));
    auto db = openDbFile(b.path, DbKind::Bank);
    ASSERT_TRUE(db);
    EXPECT_EQ(db->execAndGet("PRAGMA integrity_check").getString(), "ok");
    db.reset();
    EXPECT_EQ(b.bank().countMatching({.difficulty = QStringLiteral("较难")}), kShort);
    // Both imports listed the names they share once.
    EXPECT_EQ(b.list(AttributeList::Chapters), QStringList({"第一章", "第二章"}));
    EXPECT_EQ(b.list(AttributeList::Types), QStringList({"问答题", "填空题"}));
    EXPECT_EQ(b.list(AttributeList::Units), QStringList{"一单元"});
    EXPECT_EQ(b.list(AttributeList::Difficulties), QStringList({"容易", "较难"}));
}
