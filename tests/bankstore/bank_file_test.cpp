#include "bankstore/bank_file.h"
#include "bankstore/sqlite_file.h"
#include "support/temp_dirs.h"
#include "support/store_test.h"
#include "support/test_server.h"

#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <thread>

using namespace qm;
using namespace qm::test;

namespace {

Question makeQuestion(const QString& tag, const QString& type = "单选题", const QString& chapter = "第一章",
                      const QString& unit = "第一节", const QString& difficulty = "容易", double score = 2)
{
    Question q;
    q.text = "{\\rtf1\\ansi\\ansicpg936 " + tag.toUtf8() + QByteArray("\0\xff", 2) + "}";
    q.answer = "{\\rtf1 answer " + tag.toUtf8() + "}";
    q.type = type;
    q.chapter = chapter;
    q.unit = unit;
    q.difficulty = difficulty;
    q.score = score;
    q.remark = tag;
    return q;
}

// The same cases for a bank file and for a bank on a server.
class BankTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        QString error;
        ASSERT_TRUE(BankFile::createEmpty(path, &error)) << error.toStdString();
    }


    // The tags (remarks) of the questions in row order, read one by one and all at once.
    QStringList tags()
    {
        QStringList byPosition, all;
        const int n = *bank.count();
        for (int i = 0; i < n; ++i)
            byPosition << bank.read(i)->question.remark;
        EXPECT_TRUE(bank.forEachQuestion([&](int position, const Question& q) {
            EXPECT_EQ(position, all.size());
            all << q.remark;
        }));
        EXPECT_EQ(all, byPosition);
        return byPosition;
    }

    void addAll(const QStringList& tagList)
    {
        for (const QString& t : tagList)
            ASSERT_TRUE(bank.add(makeQuestion(t)));
    }

    QString path = place("生物.tik");
    BankFile bank{path};
};

// The cases that are about the file itself.
class FileBankTest : public BankTest {};

}  // namespace

TEST_P(BankTest, EmptyBankReadsAsNoQuestion)
{
    for (int position : {-1, 0, 3}) {
        auto at = bank.read(position);
        ASSERT_TRUE(at);
        EXPECT_EQ(at->position, -1);
        EXPECT_EQ(at->count, 0);
        EXPECT_EQ(at->question, Question());
    }
}

TEST_P(BankTest, ReadsByPositionWithMinusOneForTheLast)
{
    EXPECT_EQ(bank.add(makeQuestion("a")), 0);
    EXPECT_EQ(bank.add(makeQuestion("b")), 1);
    EXPECT_EQ(bank.add(makeQuestion("c")), 2);
    auto last = bank.read(-1);
    EXPECT_EQ(last->position, 2);
    EXPECT_EQ(last->count, 3);
    EXPECT_EQ(last->question.text, makeQuestion("c").text);
    EXPECT_EQ(bank.read(0)->question.answer, makeQuestion("a").answer);
    QString error;
    EXPECT_FALSE(bank.read(3, &error));
    EXPECT_TRUE(error.contains("第4道题"));
    EXPECT_FALSE(bank.read(-2));
}

TEST_P(BankTest, StoresEveryFieldWholeAndOverwriteKeepsTheNumber)
{
    addAll({"a", "b", "c"});
    const Question before0 = bank.read(0)->question;
    const Question before1 = bank.read(1)->question;
    const Question before2 = bank.read(2)->question;
    Question q = makeQuestion("新", "简答题", "第三章 'O'", "单元\\x", "较难", 1.5);
    q.text = QByteArray(300000, '\x81') + QByteArray(1, '\0');
    q.answer.clear();
    q.remark = "备注";
    q.use = "1";
    q.id = 999;
    ASSERT_TRUE(bank.overwrite(1, q));
    const Question after = bank.read(1)->question;
    EXPECT_EQ(after.id, 2);
    q.id = 2;
    // 使用 counts the question's uses: an edit leaves it.
    q.use = before1.use;
    EXPECT_EQ(after, q);
    EXPECT_EQ(bank.read(0)->question, before0);
    EXPECT_EQ(bank.read(2)->question, before2);
    EXPECT_EQ(bank.readById(2)->text, q.text);
    EXPECT_FALSE(bank.overwrite(3, q));
    EXPECT_FALSE(bank.overwrite(-1, q));
}

TEST_P(BankTest, DeletionClosesTheGapAndNumbersAreNeverReused)
{
    addAll({"a", "b", "c", "d"});
    EXPECT_EQ(bank.remove(1), 3);  // middle: c now stands at 1
    EXPECT_EQ(tags(), QStringList({"a", "c", "d"}));
    EXPECT_EQ(bank.remove(2), 2);  // the last
    EXPECT_EQ(tags(), QStringList({"a", "c"}));
    EXPECT_EQ(bank.remove(2), 2);  // past the end: nothing
    EXPECT_EQ(bank.remove(-1), 2);
    EXPECT_EQ(bank.add(makeQuestion("e")), 2);
    EXPECT_EQ(bank.read(-1)->question.id, 5);  // 4 was deleted and is not given again
    EXPECT_EQ(bank.remove(0), 2);
    EXPECT_EQ(bank.remove(0), 1);
    EXPECT_EQ(bank.remove(0), 0);
    EXPECT_EQ(bank.read(-1)->position, -1);
    QString error;
    EXPECT_FALSE(bank.readById(5, &error));
    EXPECT_TRUE(error.contains("5"));
}

TEST_P(BankTest, ManyQuestionsByIdLeaveOutTheDeletedOnes)
{
    addAll({"a", "b", "c"});
    bool found = false;
    ASSERT_TRUE(bank.removeById(2, &found));
    const auto read = bank.readByIds({3, 2, 1, 3, 77});
    ASSERT_TRUE(read);
    EXPECT_EQ(read->size(), 2);
    EXPECT_EQ(read->value(1), bank.read(0)->question);
    EXPECT_EQ(read->value(3).text, bank.read(1)->question.text);
    EXPECT_FALSE(read->contains(2));
    EXPECT_TRUE(bank.readByIds({})->isEmpty());
    QString error;
    EXPECT_FALSE(BankFile(bank.path() + "-无").readByIds({1}, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_P(FileBankTest, CompactionFollowsLargeDeletionsButNotEverySmallOne)
{
    for (int i = 0; i < 40; ++i) {
        Question q = makeQuestion(QString::number(i));
        q.text.append(QByteArray(20000, 'x'));
        ASSERT_TRUE(bank.add(q));
    }
    const qint64 full = QFileInfo(path).size();
    ASSERT_EQ(bank.remove(0), 39);
    EXPECT_EQ(QFileInfo(path).size(), full);  // one question of many: no rewrite
    auto db = openDbFile(path, DbKind::Bank);
    EXPECT_GT(db->execAndGet("PRAGMA freelist_count").getInt(), 0);
    db.reset();
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(bank.remove(0));
    EXPECT_LT(QFileInfo(path).size(), full / 2);
    EXPECT_EQ(tags().first(), "31");
}

TEST_P(FileBankTest, DeletionWaitsForAReaderAndCompactsOnceTheFileIsFree)
{
    for (int i = 0; i < 4; ++i) {
        Question q = makeQuestion(QString::number(i));
        q.text.append(QByteArray(20000, 'x'));
        ASSERT_TRUE(bank.add(q));
    }
    const qint64 full = QFileInfo(path).size();
    auto idle = openDbFile(path, DbKind::Bank);  // another program has the bank open
    std::promise<void> reading;
    std::atomic<bool> removed = false;
    bool overlapped = false;
    std::thread reader([&] {
        auto db = openDbFile(path, DbKind::Bank);
        SQLite::Transaction read(*db);
        db->execAndGet("SELECT count(*) FROM 题库");
        reading.set_value();
        // The read lasts until the deletion has begun writing: its journal is there. The
        // deletion cannot commit before this read ends.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!QFile::exists(path + "-journal") && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        overlapped = QFile::exists(path + "-journal") && !removed;
        read.commit();
    });
    reading.get_future().wait();
    EXPECT_EQ(bank.remove(0), 3);
    removed = true;
    reader.join();
    EXPECT_TRUE(overlapped);
    EXPECT_EQ(bank.remove(0), 2);
    EXPECT_EQ(tags(), QStringList({"2", "3"}));
    EXPECT_LT(QFileInfo(path).size(), full * 3 / 4);
}

TEST_P(BankTest, QueriesTakeAnyNameAsDataAndOrderNamesByGbk)
{
    ASSERT_TRUE(bank.add(makeQuestion("1", "单选题", "植物", "根", "容易", 2)));
    ASSERT_TRUE(bank.add(makeQuestion("2", "填空题", "细胞", "细胞膜", "中等", 1.5)));
    ASSERT_TRUE(bank.add(makeQuestion("3", "单选题", "O'Neil\\章", "x' OR '1'='1", "容易", 2)));
    ASSERT_TRUE(bank.add(makeQuestion("4", "单选题", "细胞", "细胞核", "容易", 3)));
    ASSERT_TRUE(bank.add(makeQuestion("5", "单选题", "细胞", "细胞膜", "较难", 2)));
    ASSERT_TRUE(bank.add(makeQuestion("6", "判断题", "", "", "容易", 1)));

    EXPECT_EQ(*bank.distinctValues(Attribute::Chapter), QStringList({"", "O'Neil\\章", "细胞", "植物"}));
    EXPECT_EQ(*bank.distinctValues(Attribute::Type), QStringList({"单选题", "判断题", "填空题"}));
    QuestionFilter cell{.chapter = "细胞"};
    EXPECT_EQ(*bank.distinctValues(Attribute::Unit, cell), QStringList({"细胞核", "细胞膜"}));
    EXPECT_EQ(*bank.distinctValues(Attribute::Unit, {.chapter = "O'Neil\\章"}), QStringList({"x' OR '1'='1"}));
    EXPECT_EQ(*bank.distinctScores(), QList<double>({1, 1.5, 2, 3}));
    EXPECT_EQ(*bank.distinctScores({.type = "单选题", .difficulty = "容易"}), QList<double>({2, 3}));

    EXPECT_EQ(bank.countMatching({.type = "单选题"}), 4);
    EXPECT_EQ(bank.countMatching({.type = "单选题", .chapter = "细胞", .score = 2}), 1);
    EXPECT_EQ(bank.countMatching({.type = "单选题", .unit = "x' OR '1'='1"}), 1);
    EXPECT_EQ(bank.countMatching({.type = "单选题 "}), 0);  // exact comparison
    EXPECT_EQ(bank.countMatching({}), 6);
    EXPECT_EQ(*bank.idsMatching({.type = "单选题", .difficulty = "容易"}), QList<qint64>({1, 3, 4}));

    const QList<AttributeCount> stats = *bank.statistics();
    ASSERT_EQ(stats.size(), 6);
    EXPECT_EQ(stats[0], (AttributeCount{"单选题", "O'Neil\\章", "容易", 2, "x' OR '1'='1", 1}));
    EXPECT_EQ(stats[1], (AttributeCount{"单选题", "细胞", "较难", 2, "细胞膜", 1}));
    EXPECT_EQ(stats[2], (AttributeCount{"单选题", "细胞", "容易", 3, "细胞核", 1}));
}

TEST_P(BankTest, StatisticsCountQuestionsSharingAllAttributes)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(bank.add(makeQuestion(QString::number(i))));
    EXPECT_EQ(*bank.statistics(), QList<AttributeCount>({{"单选题", "第一章", "容易", 2, "第一节", 3}}));
}

TEST_P(BankTest, GroupCountsGroupByTheAttributesAskedFor)
{
    for (const Question& q :
         {makeQuestion("a"), makeQuestion("b"), makeQuestion("c", "单选题", "第一章", "第二节", "容易", 3),
          makeQuestion("d", "单选题", "第二章", "第一节", "较难"), makeQuestion("e", "It's \"多选\""),
          makeQuestion("f", "it's \"多选\""), makeQuestion("g", "判断题")})
        ASSERT_TRUE(bank.add(q));

    // Names with quotes are values like any other, compared exactly; groups by their bytes.
    const QStringList types{"单选题", "It's \"多选\""};
    EXPECT_EQ(*bank.groupCounts(types, true, true, true, true),
              QList<AttributeCount>({{"It's \"多选\"", "第一章", "容易", 2, "第一节", 1},
                                     {"单选题", "第一章", "容易", 2, "第一节", 2},
                                     {"单选题", "第一章", "容易", 3, "第二节", 1},
                                     {"单选题", "第二章", "较难", 2, "第一节", 1}}));
    EXPECT_EQ(*bank.groupCounts({"单选题"}, true, false, false, false),
              QList<AttributeCount>({{"单选题", "第一章", "", 0, "", 3}, {"单选题", "第二章", "", 0, "", 1}}));
    EXPECT_EQ(*bank.groupCounts({"单选题"}, false, false, false, true),
              QList<AttributeCount>({{"单选题", "", "", 2, "", 3}, {"单选题", "", "", 3, "", 1}}));
    EXPECT_EQ(*bank.groupCounts({"单选题", "单选题"}, false, false, true, false),
              QList<AttributeCount>({{"单选题", "", "容易", 0, "", 3}, {"单选题", "", "较难", 0, "", 1}}));
    EXPECT_TRUE(bank.groupCounts({}, true, true, true, true)->isEmpty());
    EXPECT_TRUE(bank.groupCounts({"x' OR '1'='1", "单选"}, true, true, true, true)->isEmpty());

    // Many names at once.
    QStringList many;
    for (int i = 0; i < 450; ++i)
        many << QStringLiteral("题型%1").arg(i);
    many << "判断题";
    EXPECT_EQ(*bank.groupCounts(many, false, false, false, false),
              QList<AttributeCount>({{"判断题", "", "", 0, "", 1}}));

    QString error;
    EXPECT_FALSE(BankFile(path + "x").groupCounts({"单选题"}, true, true, true, true, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_P(BankTest, IdsMatchingEachFilterAtOnce)
{
    for (const Question& q :
         {makeQuestion("a"), makeQuestion("b", "判断题"), makeQuestion("c"), makeQuestion("d", "单选题", "第二章"),
          makeQuestion("e", "单选题", "第一章", "第一节", "容易", 3)})
        ASSERT_TRUE(bank.add(q));
    const QList<qint64> ids = *bank.idsMatching({});
    QuestionFilter single, second, scored, none;
    single.type = "单选题";
    second.chapter = "第二章";
    scored.type = "单选题";
    scored.score = 2;
    none.type = "多选题";
    EXPECT_EQ(*bank.idsMatchingEach({single, second, scored, none, single}),
              QList<QList<qint64>>({{ids[0], ids[2], ids[3], ids[4]},
                                    {ids[3]},
                                    {ids[0], ids[2], ids[3]},
                                    {},
                                    {ids[0], ids[2], ids[3], ids[4]}}));
    EXPECT_TRUE(bank.idsMatchingEach({})->isEmpty());
}

TEST_P(BankTest, ListsKeepTheirOrderThroughEdits)
{
    for (const char* n : {"第一章", "第二章", "第一章", "第三章 'x'"})
        ASSERT_TRUE(bank.appendToList(AttributeList::Chapters, n));
    EXPECT_EQ(*bank.list(AttributeList::Chapters), QStringList({"第一章", "第二章", "第一章", "第三章 'x'"}));
    ASSERT_TRUE(bank.renameInList(AttributeList::Chapters, 2, "第四章"));
    ASSERT_TRUE(bank.removeFromList(AttributeList::Chapters, 0));
    EXPECT_EQ(*bank.list(AttributeList::Chapters), QStringList({"第二章", "第四章", "第三章 'x'"}));
    ASSERT_TRUE(bank.appendToList(AttributeList::Chapters, "第五章"));
    ASSERT_TRUE(bank.rewriteList(AttributeList::Chapters, {"第五章", "第二章", "第三章 'x'", "第四章"}));
    EXPECT_EQ(*bank.list(AttributeList::Chapters), QStringList({"第五章", "第二章", "第三章 'x'", "第四章"}));
    ASSERT_TRUE(bank.appendToList(AttributeList::Chapters, "第六章"));
    EXPECT_EQ(bank.list(AttributeList::Chapters)->last(), "第六章");

    EXPECT_FALSE(bank.renameInList(AttributeList::Chapters, 5, "x"));
    EXPECT_FALSE(bank.removeFromList(AttributeList::Chapters, -1));
    // The four lists are separate tables.
    ASSERT_TRUE(bank.appendToList(AttributeList::Types, "单选题"));
    ASSERT_TRUE(bank.appendToList(AttributeList::Difficulties, "容易"));
    ASSERT_TRUE(bank.appendToList(AttributeList::Units, "第一节"));
    EXPECT_EQ(*bank.list(AttributeList::Types), QStringList({"单选题"}));
    EXPECT_EQ(*bank.list(AttributeList::Difficulties), QStringList({"容易"}));
    EXPECT_EQ(*bank.list(AttributeList::Units), QStringList({"第一节"}));
    // Lists do not touch the questions.
    EXPECT_EQ(bank.count(), 0);
}

TEST_P(BankTest, ParticularsAreOneRow)
{
    EXPECT_EQ(*bank.particulars(), Particulars());
    const Particulars p{"题库样本－生物", "生物", "高中生物课程标准", "张老师", "李老师", "2024年9月"};
    ASSERT_TRUE(bank.setParticulars(p));
    ASSERT_TRUE(bank.setParticulars(p));
    EXPECT_EQ(*bank.particulars(), p);
    if (!onServer()) {
        auto db = openDbFile(path, DbKind::Bank);
        EXPECT_EQ(rowCount(*db, "参数"), 1);
    }
}

TEST_P(BankTest, MergeAppendsAnotherBanksQuestionsWithNewNumbers)
{
    addAll({"a", "b"});
    const QString other = place("other.tik");
    ASSERT_TRUE(BankFile::createEmpty(other));
    BankFile source(other);
    EXPECT_EQ(bank.mergeFrom(other), 0);  // an empty bank adds nothing
    Question big = makeQuestion("x", "简答题", "第二章", "u", "难", 5);
    big.text = QByteArray(100000, 'r');
    big.answer.clear();
    big.use = "用过";
    ASSERT_TRUE(source.add(big));
    ASSERT_TRUE(source.add(makeQuestion("y")));
    ASSERT_TRUE(source.remove(1));
    ASSERT_TRUE(source.add(makeQuestion("z")));

    EXPECT_EQ(bank.mergeFrom(other), 2);
    EXPECT_EQ(tags(), QStringList({"a", "b", "x", "z"}));
    Question copied = bank.read(2)->question;
    EXPECT_EQ(copied.id, 3);
    big.id = 3;
    EXPECT_EQ(copied, big);
    EXPECT_EQ(source.count(), 2);  // the source is unchanged

    EXPECT_EQ(bank.mergeFrom(path), 4);  // a bank merged into itself doubles
    EXPECT_EQ(tags(), QStringList({"a", "b", "x", "z", "a", "b", "x", "z"}));
}

TEST_P(BankTest, MergeFromAFileThatIsNotABankChangesNothing)
{
    addAll({"a"});
    const QString text = dir.file("坏.tik");
    writeAll(text, "not a bank");
    QString error;
    EXPECT_FALSE(bank.mergeFrom(text, &error));
    EXPECT_TRUE(error.contains("坏.tik"));
    EXPECT_FALSE(bank.mergeFrom(dir.file("无.tik"), &error));
    EXPECT_EQ(tags(), QStringList({"a"}));
    EXPECT_EQ(readAll(text), "not a bank");
}

TEST_P(BankTest, SortGroupsByTheChapterOrderAndKeepsNumbers)
{
    ASSERT_TRUE(bank.add(makeQuestion("1a", "单选题", "第一章")));
    ASSERT_TRUE(bank.add(makeQuestion("2a", "单选题", "第二章")));
    ASSERT_TRUE(bank.add(makeQuestion("xa", "单选题", "附录")));
    ASSERT_TRUE(bank.add(makeQuestion("1b", "单选题", "第一章")));
    ASSERT_TRUE(bank.add(makeQuestion("na", "单选题", "")));
    ASSERT_TRUE(bank.add(makeQuestion("2b", "单选题", "第二章")));
    ASSERT_TRUE(bank.add(makeQuestion("xb", "单选题", "附录")));
    ASSERT_TRUE(bank.remove(4));

    ASSERT_TRUE(bank.sortByChapters({"第二章", "第一章", "第二章", "无题章"}));
    // Chapters missing from the list keep their order after the listed ones.
    EXPECT_EQ(tags(), QStringList({"2a", "2b", "1a", "1b", "xa", "xb"}));
    EXPECT_EQ(bank.read(0)->question.id, 2);
    EXPECT_EQ(bank.read(1)->question.id, 6);
    EXPECT_EQ(*bank.idsMatching({.chapter = "第一章"}), QList<qint64>({1, 4}));

    ASSERT_TRUE(bank.sortByChapters({"第一章"}));
    EXPECT_EQ(tags(), QStringList({"1a", "1b", "2a", "2b", "xa", "xb"}));
    ASSERT_EQ(bank.add(makeQuestion("new")), 6);
    EXPECT_EQ(bank.read(-1)->question.id, 8);
    if (!onServer()) {
        auto db = openDbFile(path, DbKind::Bank);
        EXPECT_EQ(db->execAndGet("PRAGMA integrity_check").getString(), "ok");
    }
}

TEST(BankTemplate, FragmentsAreReadByRowAndBanksAreCopiesOfTheTemplate)
{
    TempProgramDir dir(false);
    const QString qm = dir.file("qm.qm");
    ASSERT_TRUE(BankFile::createEmpty(qm));
    BankFile tpl(qm);
    for (int k = 1; k <= 8; ++k)
        ASSERT_TRUE(tpl.appendScoringTable("table " + QByteArray::number(k)));
    ASSERT_TRUE(tpl.setGraderBox("grader"));
    ASSERT_TRUE(tpl.appendToList(AttributeList::Types, "单选题"));
    EXPECT_EQ(tpl.scoringTable(0), "table 1");
    EXPECT_EQ(tpl.scoringTable(1), "table 1");
    EXPECT_EQ(tpl.scoringTable(3), "table 3");
    EXPECT_EQ(tpl.scoringTable(8), "table 8");
    QString error;
    EXPECT_FALSE(tpl.scoringTable(9, &error));
    EXPECT_TRUE(error.contains("9"));
    EXPECT_EQ(tpl.graderBox(), "grader");

    const QString bank = dir.file("新题库.tik");
    ASSERT_TRUE(BankFile::createFromTemplate(qm, bank));
    EXPECT_EQ(*BankFile(bank).list(AttributeList::Types), QStringList({"单选题"}));
    EXPECT_EQ(readAll(bank), readAll(qm));
    EXPECT_FALSE(BankFile::createFromTemplate(qm, bank, &error));  // never over a bank
    EXPECT_TRUE(error.contains("新题库.tik"));

    writeAll(dir.file("坏.qm"), "text");
    EXPECT_FALSE(BankFile::createFromTemplate(dir.file("坏.qm"), dir.file("b.tik")));
    EXPECT_FALSE(QFile::exists(dir.file("b.tik")));

    writeAll(bank + "-journal", "left behind");
    EXPECT_TRUE(BankFile::removeFile(bank));
    EXPECT_FALSE(QFile::exists(bank));
    EXPECT_FALSE(QFile::exists(bank + "-journal"));
}

TEST_P(BankTest, AppenderKeepsCommittedWorkAndDropsTheRest)
{
    ASSERT_TRUE(bank.add(makeQuestion("first")));
    {
        auto appender = BankAppender::open(path);
        ASSERT_TRUE(appender);
        ASSERT_TRUE(appender->add(makeQuestion("a")));
        ASSERT_TRUE(appender->addToListIfMissing(AttributeList::Chapters, "第九章"));
        EXPECT_TRUE(appender->pending());
        ASSERT_TRUE(appender->commit());
        EXPECT_FALSE(appender->pending());
        ASSERT_TRUE(appender->add(makeQuestion("lost")));
    }  // gone without a commit: "lost" is rolled back
    EXPECT_EQ(tags(), (QStringList{"first", "a"}));
    EXPECT_EQ(bank.list(AttributeList::Chapters), QStringList{"第九章"});
    // Rows added by another writer meanwhile are not overtaken in the row order.
    auto appender = BankAppender::open(path);
    ASSERT_TRUE(bank.add(makeQuestion("other")));
    ASSERT_TRUE(appender->add(makeQuestion("b")));
    ASSERT_TRUE(appender->commit());
    EXPECT_EQ(tags(), (QStringList{"first", "a", "other", "b"}));

    QString error;
    EXPECT_FALSE(BankAppender::open(path + ".missing", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_P(BankTest, AppenderListsANameOnlyWhenTheListLacksItAtTheWrite)
{
    // A name the user listed twice on purpose stays listed twice.
    ASSERT_TRUE(bank.appendToList(AttributeList::Chapters, "甲"));
    ASSERT_TRUE(bank.appendToList(AttributeList::Chapters, "甲"));
    auto appender = BankAppender::open(path);
    ASSERT_TRUE(appender);
    for (const char* name : {"甲", "乙", "乙", "甲 ", "Ab", "ab"})
        ASSERT_TRUE(appender->addToListIfMissing(AttributeList::Chapters, name));
    ASSERT_TRUE(appender->addToListIfMissing(AttributeList::Types, "乙"));  // each list on its own
    ASSERT_TRUE(appender->commit());
    EXPECT_EQ(*bank.list(AttributeList::Chapters), QStringList({"甲", "甲", "乙", "甲 ", "Ab", "ab"}));
    EXPECT_EQ(*bank.list(AttributeList::Types), QStringList({"乙"}));

    // Between two transactions another program lists 丙 and takes 乙 out of the list.
    ASSERT_TRUE(bank.appendToList(AttributeList::Chapters, "丙"));
    ASSERT_TRUE(bank.removeFromList(AttributeList::Chapters, 2));
    for (const char* name : {"丙", "乙", "甲"})
        ASSERT_TRUE(appender->addToListIfMissing(AttributeList::Chapters, name));
    ASSERT_TRUE(appender->commit());
    EXPECT_EQ(*bank.list(AttributeList::Chapters), QStringList({"甲", "甲", "甲 ", "Ab", "ab", "丙", "乙"}));
}

TEST_P(BankTest, ReaderWalksTheBankAtOneMomentAndLetsGoAfterTheLastQuestion)
{
    ASSERT_TRUE(bank.setParticulars({"生物题库", "生物", "", "", "", ""}));
    ASSERT_TRUE(bank.appendToList(AttributeList::Units, "第一节"));
    ASSERT_TRUE(bank.appendToList(AttributeList::Units, "第一节"));
    addAll({"a", "b", "c", "d"});
    ASSERT_TRUE(bank.remove(1));
    ASSERT_TRUE(bank.sortByChapters({}));

    auto reader = BankReader::open(path);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->particulars().name, "生物题库");
    EXPECT_EQ(reader->list(AttributeList::Units), QStringList({"第一节", "第一节"}));
    EXPECT_TRUE(reader->list(AttributeList::Chapters).isEmpty());
    EXPECT_EQ(reader->count(), 3);
    const auto first = reader->next();
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, *bank.readById(1));

    QStringList rest;
    if (onServer()) {
        // The server lets another program write meanwhile; the walk goes on over the bank
        // as it was.
        ASSERT_TRUE(BankFile(path).add(makeQuestion("late")));
        while (const auto q = reader->next())
            rest << q->remark;
        EXPECT_EQ(rest, QStringList({"c", "d"}));
    } else {
        // Another program's write cannot be committed while the walk goes on ...
        SQLite::Database other(path.toStdString(), SQLite::OPEN_READWRITE);
        other.exec("BEGIN IMMEDIATE");
        other.exec("INSERT INTO 题库 (备注, 次序) VALUES ('late', 100)");
        EXPECT_THROW(other.exec("COMMIT"), SQLite::Exception);
        while (const auto q = reader->next())
            rest << q->remark;
        EXPECT_EQ(rest, QStringList({"c", "d"}));  // the walk sees the bank as it was
        EXPECT_TRUE(reader->error().isEmpty());
        // ... and can once the last question has been read, with the reader still there.
        EXPECT_NO_THROW(other.exec("COMMIT"));
    }
    EXPECT_TRUE(reader->error().isEmpty());
    EXPECT_FALSE(reader->next());
    EXPECT_EQ(tags(), QStringList({"a", "c", "d", "late"}));

    QString error;
    EXPECT_FALSE(BankReader::open(place("无.tik"), &error));
    EXPECT_TRUE(error.contains("无.tik"));
}

TEST_P(BankTest, ATypeCanMatchWhateverBlanksFollowIt)
{
    for (const Question& q : {makeQuestion("a", "填空题"), makeQuestion("b", "填空题 "), makeQuestion("c", "填空题  "),
                              makeQuestion("d", "填空题 !"), makeQuestion("e", "填空题\t"), makeQuestion("f", "填空"),
                              makeQuestion("g", "填空题", "第二章")})
        ASSERT_TRUE(bank.add(q));
    const QList<qint64> ids = *bank.idsMatching({});
    QuestionFilter loose;
    loose.type = "填空题 ";
    loose.typeIgnoresTrailingBlanks = true;
    loose.chapter = "第一章";
    EXPECT_EQ(*bank.idsMatching(loose), QList<qint64>({ids[0], ids[1], ids[2]}));
    loose.type = "填空题";
    EXPECT_EQ(*bank.idsMatching(loose), QList<qint64>({ids[0], ids[1], ids[2]}));
    // Without the option the type is compared exactly.
    loose.typeIgnoresTrailingBlanks = false;
    EXPECT_EQ(*bank.idsMatching(loose), QList<qint64>({ids[0]}));
}

INSTANTIATE_TEST_SUITE_P(Stores, BankTest, bothStores(), storeName);
INSTANTIATE_TEST_SUITE_P(Stores, FileBankTest, ::testing::Values(Store::File), storeName);
