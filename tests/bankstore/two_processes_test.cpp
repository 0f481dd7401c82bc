// Two programs on one bank file at once, as on a shared work path.

#include "bankstore/bank_file.h"
#include "bankstore/sqlite_file.h"
#include "support/temp_dirs.h"

#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

TEST(TwoProcesses, BothKeepWorkingAndNothingIsLost)
{
    TempProgramDir dir(false);
    const QString path = dir.file("共享.tik");
    ASSERT_TRUE(BankFile::createEmpty(path));
    BankFile bank(path);
    constexpr int kCount = 60;
    constexpr int kDeletions = 20;
    // Questions that the two programs' deletions of the first question use up.
    for (int i = 0; i < 2 * kDeletions; ++i) {
        Question q;
        q.remark = "v-" + QString::number(i);
        q.text = q.remark.toUtf8();
        q.answer = q.remark.toUtf8();
        ASSERT_TRUE(bank.add(q));
    }

    QProcess a, b;
    for (auto [p, tag] : {std::pair{&a, "A"}, std::pair{&b, "B"}})
        p->start(QStringLiteral(QM_BANK_WORKER), {path, tag, QString::number(kCount), QString::number(kDeletions)});
    for (QProcess* p : {&a, &b}) {
        ASSERT_TRUE(p->waitForFinished(240000));
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }

    ASSERT_EQ(bank.count(), 2 * kCount);
    QStringList a_tags, b_tags;
    QSet<qint64> ids;
    for (int i = 0; i < 2 * kCount; ++i) {
        const Question q = bank.read(i)->question;
        ids.insert(q.id);
        (q.type == "A" ? a_tags : b_tags) << q.remark;
        EXPECT_TRUE(q.text.startsWith(q.remark.toUtf8()));
    }
    EXPECT_EQ(ids.size(), 2 * kCount);
    QStringList expectA, expectB;
    for (int i = 0; i < kCount; ++i) {
        expectA << "A-" + QString::number(i);
        expectB << "B-" + QString::number(i);
    }
    EXPECT_EQ(a_tags, expectA);  // each program's questions, in its order
    EXPECT_EQ(b_tags, expectB);
    auto db = openDbFile(path, DbKind::Bank);
    EXPECT_EQ(db->execAndGet("PRAGMA integrity_check").getString(), "ok");
}
