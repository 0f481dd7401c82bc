// What a bank remembers of its questions' uses: recording them on filing, reading them
// back, carrying them through merge and sort, and the upgrade of banks of the first format.

#include "bankstore/bank_file.h"
#include "bankstore/filing.h"
#include "bankstore/paper_library.h"
#include "bankstore/sqlite_file.h"
#include "support/qstring_print.h"
#include "support/temp_dirs.h"
#include "support/store_test.h"
#include "support/test_server.h"

#include <QFile>
#include <QProcess>
#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

Question tagged(const QString& tag, const QString& chapter = "第一章")
{
    Question q;
    q.text = "{\\rtf1 " + tag.toUtf8() + "}";
    q.chapter = chapter;
    q.type = "单选题";
    q.remark = tag;
    return q;
}

int versionOf(const QString& path)
{
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READONLY);
    return db.execAndGet("PRAGMA user_version").getInt();
}

bool hasTable(const QString& path, const char* table)
{
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READONLY);
    SQLite::Statement st(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?");
    st.bind(1, table);
    st.executeStep();
    return st.getColumn(0).getInt() > 0;
}

// Makes `path` a bank as the first format has it: no usage records, version 1.
void makeVersion1(const QString& path)
{
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE);
    db.exec("DROP TABLE 使用记录; PRAGMA user_version = 1; VACUUM;");
}

UsageRecord use(const char* date, const QString& paper, const QString& library = "期末")
{
    return {QDate::fromString(QString::fromLatin1(date), Qt::ISODate), library, paper};
}

// The same cases for a bank file and for a bank on a server.
class UsageTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(BankFile::createEmpty(path));
        for (const char* t : {"a", "b", "c", "d"})
            ASSERT_TRUE(bank.add(tagged(t)));
        ids = *bank.idsMatching({});
    }


    QString path = place("生物.tik");
    BankFile bank{path};
    QList<qint64> ids;
};

}  // namespace

TEST_P(UsageTest, EachQuestionIsRecordedOncePerFilingAndCountedIn使用)
{
    EXPECT_EQ(bank.usageOf(ids[0]), UsageSummary{});
    EXPECT_EQ(usageText(*bank.usageOf(ids[0])), "未用过");
    // A question listed twice is one use; a 编号 the bank lacks is passed over.
    EXPECT_EQ(bank.recordUsage({ids[0], ids[1], ids[0], 999}, use("2026-01-10", "高一《数学》期末试卷")), 2);
    EXPECT_EQ(bank.recordUsage({ids[0]}, use("2025-06-30", "旧卷")), 1);
    EXPECT_EQ(bank.recordUsage({ids[0]}, use("2026-01-10", "补考卷")), 1);

    const UsageSummary a = *bank.usageOf(ids[0]);
    EXPECT_EQ(a.count, 3);
    // The latest by date, and of one day the one filed last.
    EXPECT_EQ(a.last, use("2026-01-10", "补考卷"));
    EXPECT_EQ(usageText(a), "已用 3 次，最近 2026-01-10《补考卷》");
    EXPECT_EQ(bank.readById(ids[0])->use, "3");
    EXPECT_EQ(bank.readById(ids[1])->use, "1");
    EXPECT_EQ(bank.readById(ids[2])->use, "");

    const QMap<qint64, UsageSummary> all = *bank.usage();
    EXPECT_EQ(all.keys(), (QList<qint64>{ids[0], ids[1]}));
    EXPECT_EQ(all[ids[0]], a);

    // An edit of the question leaves its count, whatever the window held.
    Question edited = tagged("a2");
    edited.use = "0";
    bool found = false;
    ASSERT_TRUE(bank.overwriteById(ids[0], edited, &found));
    EXPECT_EQ(bank.readById(ids[0])->use, "3");

    // A deleted question goes with its records.
    ASSERT_TRUE(bank.removeById(ids[1], &found));
    EXPECT_EQ(bank.usage()->keys(), QList<qint64>{ids[0]});
}

TEST_P(UsageTest, FiltersLeaveOutWhatWasUsedSinceADate)
{
    ASSERT_TRUE(bank.recordUsage({ids[0]}, use("2025-01-01", "旧")));
    ASSERT_TRUE(bank.recordUsage({ids[1]}, use("2026-03-01", "新")));
    QuestionFilter never;
    never.notUsedSince = QDate();
    EXPECT_EQ(bank.idsMatching(never), (QList<qint64>{ids[2], ids[3]}));
    QuestionFilter recent;
    recent.notUsedSince = QDate(2026, 1, 1);
    EXPECT_EQ(bank.idsMatching(recent), (QList<qint64>{ids[0], ids[2], ids[3]}));
    EXPECT_EQ(bank.countMatching(recent), 3);
    // The day itself counts as used since.
    recent.notUsedSince = QDate(2026, 3, 1);
    EXPECT_EQ(bank.countMatching(recent), 3);
    recent.notUsedSince = QDate(2026, 3, 2);
    EXPECT_EQ(bank.countMatching(recent), 4);
    EXPECT_EQ(bank.idsMatchingEach({never, recent})->at(0).size(), 2);
}

TEST_P(UsageTest, MergeAndSortCarryTheUsesAlong)
{
    ASSERT_TRUE(bank.recordUsage({ids[1]}, use("2026-01-10", "A卷")));
    ASSERT_TRUE(bank.recordUsage({ids[1], ids[3]}, use("2026-02-10", "B卷")));

    const QString target = place("合并.tik");
    ASSERT_TRUE(BankFile::createEmpty(target));
    BankFile merged(target);
    ASSERT_TRUE(merged.add(tagged("x")));
    ASSERT_EQ(merged.mergeFrom(path), 4);
    const QList<qint64> now = *merged.idsMatching({});
    // The questions have new 编号 there; their uses follow them.
    EXPECT_EQ(*merged.usageOf(now[2]), (UsageSummary{2, use("2026-02-10", "B卷")}));
    EXPECT_EQ(merged.usageOf(now[4])->count, 1);
    EXPECT_EQ(merged.usage()->size(), 2);
    EXPECT_EQ(merged.readById(now[2])->use, "2");

    // Merged into itself: the copies carry the uses of their originals, once.
    ASSERT_EQ(bank.mergeFrom(path), 4);
    EXPECT_EQ(bank.usage()->size(), 4);
    const QList<qint64> doubled = *bank.idsMatching({});
    EXPECT_EQ(bank.usageOf(doubled[5])->count, 2);
    EXPECT_EQ(bank.usageOf(doubled[1])->count, 2);

    // The sort keeps every question's 编号 and so its uses.
    bool found = false;
    ASSERT_TRUE(bank.overwriteById(ids[3], tagged("d", "第零章"), &found));
    ASSERT_TRUE(bank.sortByChapters({"第零章", "第一章"}));
    EXPECT_EQ(bank.read(0)->question.id, ids[3]);
    EXPECT_EQ(bank.usageOf(ids[3])->count, 1);
    EXPECT_EQ(bank.usageOf(ids[1])->count, 2);
}

TEST_P(UsageTest, FilingRecordsUnderTheLibraryThePaperAndItsDate)
{
    const QString library = dir.file("高一期末.Juk");
    ASSERT_TRUE(PaperLibrary::createEmpty(library));
    Paper a{"{\\rtf1 A}", "{\\rtf1 a}", {"A卷", "王", "", "", "2026年1月10日"}, {}};
    Paper b{"{\\rtf1 B}", "{\\rtf1 b}", {"B卷", "王", "", "", "不是日期"}, {}};
    const QString gone = place("不在.tik");
    const auto filed = fileInLibrary(library, {{a, {{path, ids[0]}, {path, ids[1]}}}, {b, {{path, ids[2]}, {gone, 5}}}},
                                     QDate(2026, 2, 1));
    ASSERT_TRUE(filed);
    EXPECT_EQ(filed->firstPosition, 0);
    EXPECT_EQ(filed->recorded, 3);
    // The papers stand; the bank that could not be written is named.
    EXPECT_EQ(PaperLibrary(library).count(), 2);
    ASSERT_EQ(filed->usageProblems.size(), 1);
    EXPECT_TRUE(usageProblemsMessage(*filed).startsWith("试卷已存入试卷库，但下列题库没有记下题目的使用：\n"));
    EXPECT_EQ(*bank.usageOf(ids[0]), (UsageSummary{1, use("2026-01-10", "A卷", "高一期末")}));
    // A paper whose 时间 is no date is recorded under the day of filing.
    EXPECT_EQ(bank.usageOf(ids[2])->last.date, QDate(2026, 2, 1));

    // Deleting the paper from its library leaves the history.
    ASSERT_TRUE(PaperLibrary(library).remove(0));
    EXPECT_EQ(bank.usageOf(ids[0])->count, 1);
    EXPECT_EQ(usageDate("2026/1/5", QDate(2000, 1, 1)), QDate(2026, 1, 5));
    EXPECT_EQ(usageDate("2026-02-30", QDate(2000, 1, 1)), QDate(2000, 1, 1));
}

INSTANTIATE_TEST_SUITE_P(Stores, UsageTest, bothStores(), storeName);

TEST(UsageUpgrade, AFirstFormatSampleIsReadAsItIsAndUpgradedByItsFirstWrite)
{
    TempProgramDir dir;
    const QString path = dir.file("旧样例.tik");
    ASSERT_TRUE(QFile::copy(dir.file("sample.tik"), path));
    makeVersion1(path);
    BankFile bank(path);
    const int count = *bank.count();
    ASSERT_GT(count, 10);
    QList<Question> before;
    for (int i = 0; i < count; ++i)
        before << bank.read(i)->question;
    QList<QStringList> lists;
    for (AttributeList l :
         {AttributeList::Types, AttributeList::Chapters, AttributeList::Difficulties, AttributeList::Units})
        lists << *bank.list(l);

    // Readable as it is: no uses, and the filters on uses leave every question.
    const QByteArray untouched = readAll(path);
    EXPECT_TRUE(bank.usage()->isEmpty());
    EXPECT_EQ(bank.usageOf(before[0].id), UsageSummary{});
    QuestionFilter unused;
    unused.notUsedSince = QDate();
    EXPECT_EQ(bank.countMatching(unused), count);
    EXPECT_EQ(readAll(path), untouched);
    EXPECT_EQ(versionOf(path), 1);

    // The first write upgrades it and keeps every question and list.
    EXPECT_EQ(bank.recordUsage({before[0].id}, use("2026-01-10", "期末卷")), 1);
    EXPECT_EQ(versionOf(path), 3);
    EXPECT_TRUE(hasTable(path, "使用记录"));
    for (int i = 0; i < count; ++i) {
        Question q = bank.read(i)->question;
        if (i == 0) {
            EXPECT_EQ(q.use, "1");
            q.use = before[0].use;
        }
        EXPECT_EQ(q, before[i]) << i;
    }
    int k = 0;
    for (AttributeList l :
         {AttributeList::Types, AttributeList::Chapters, AttributeList::Difficulties, AttributeList::Units})
        EXPECT_EQ(*bank.list(l), lists[k++]);
    EXPECT_EQ(bank.usageOf(before[0].id)->count, 1);
}

TEST(UsageUpgrade, AFailedOrInterruptedUpgradeLeavesTheFirstFormat)
{
    TempProgramDir dir;
    const QString path = dir.file("旧样例.tik");
    ASSERT_TRUE(QFile::copy(dir.file("sample.tik"), path));
    makeVersion1(path);
    const int count = *BankFile(path).count();

    // A write that fails takes the upgrade back with it.
    QString error;
    EXPECT_FALSE(BankFile(path).overwrite(count + 5, tagged("x"), &error));
    EXPECT_EQ(versionOf(path), 1);
    EXPECT_FALSE(hasTable(path, "使用记录"));

    // A program that dies in the middle of the upgrade leaves the first format; the next
    // program to open the bank finds it whole.
    QProcess worker;
    worker.start(QStringLiteral(QM_BANK_WORKER), {path, "--die-upgrading"});
    ASSERT_TRUE(worker.waitForFinished(60000));
    EXPECT_EQ(worker.exitCode(), 3) << worker.readAllStandardError().toStdString();
    EXPECT_TRUE(QFile::exists(path + "-journal"));
    EXPECT_EQ(BankFile(path).count(), count);
    EXPECT_EQ(versionOf(path), 1);
    EXPECT_FALSE(hasTable(path, "使用记录"));
    EXPECT_TRUE(BankFile(path).recordUsage({*BankFile(path).idsMatching({})->begin()}, use("2026-01-10", "卷")));
    EXPECT_EQ(versionOf(path), 3);
}
