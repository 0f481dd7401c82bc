// The order in which a bank's attribute values are offered for choosing: the bank's own
// lists first, then the rest with numbers compared by value.

#include "bankstore/bank_file.h"
#include "bankstore/list_order.h"
#include "core/gbk.h"
#include "support/qstring_print.h"
#include "support/temp_bank.h"

#include <gtest/gtest.h>
#include <memory>

using namespace qm;
using qm::test::TempBank;

namespace {

QStringList chapters(int from, int to)
{
    static const QStringList numerals{"一", "二", "三", "四", "五", "六", "七", "八", "九", "十", "十一", "十二"};
    QStringList names;
    for (int i = from; i <= to; ++i)
        names << "第" + numerals[i - 1] + "章";
    return names;
}

QStringList units(int from, int to)
{
    QStringList names;
    for (int i = from; i <= to; ++i)
        names << QStringLiteral("第%1单元").arg(i);
    return names;
}

// The values the way the bank's query hands them over, by their GBK bytes.
QStringList byBytes(QStringList values)
{
    std::sort(values.begin(), values.end(),
              [](const QString& a, const QString& b) { return *gbkEncode(a) < *gbkEncode(b); });
    return values;
}

}  // namespace

TEST(InListOrder, ListedValuesFollowTheListAndTheRestFollowByNumber)
{
    // The teacher moved 第三章 to the front; 第五章 is listed but no question uses it.
    const QStringList list{"第三章", "第一章", "第二章", "第五章"};
    QStringList used = chapters(1, 12);
    used.removeOne("第五章");
    EXPECT_EQ(inListOrder(byBytes(used), list), QStringList({"第三章", "第一章", "第二章", "第四章", "第六章", "第七章",
                                                             "第八章", "第九章", "第十章", "第十一章", "第十二章"}));
    // No list: everything by number.
    EXPECT_EQ(inListOrder(byBytes(units(1, 12)), {}), units(1, 12));
    // A name listed twice stands where the list first names it; an empty value is not listed.
    EXPECT_EQ(inListOrder({"", "难", "中", "易"}, {"易", "中", "易", "难"}), QStringList({"易", "中", "难", ""}));
}

TEST(InListOrder, TheBankListsItsDistinctValuesInListOrder)
{
    TempBank b(QStringLiteral("语文.tik"));
    BankFile bank = b.bank();
    const std::unique_ptr<BankAppender> appender = BankAppender::open(b.path);
    ASSERT_TRUE(appender);
    const auto add = [&](const QString& type, const QString& chapter, const QString& unit, const QString& difficulty,
                         double score) {
        Question q;
        q.type = type;
        q.chapter = chapter;
        q.unit = unit;
        q.difficulty = difficulty;
        q.score = score;
        ASSERT_TRUE(appender->add(q));
    };
    for (const QString& chapter : chapters(1, 12))
        for (const QString& unit : units(1, 12))
            add("阅读题", chapter, unit, chapter == "第二章" ? "易" : "难", 2);
    add("作文", "第十二章", "第1单元", "中", 40);
    add("填空题", "第三章", "第2单元", "易", 1.5);
    ASSERT_TRUE(appender->commit());
    for (const char* d : {"易", "中", "难"})
        ASSERT_TRUE(bank.appendToList(AttributeList::Difficulties, d));
    for (const char* u : {"第10单元", "第2单元"})
        ASSERT_TRUE(bank.appendToList(AttributeList::Units, u));

    // Difficulties by the bank's list, not by their bytes (难 中 易 would be 难, 易, 中).
    EXPECT_EQ(bank.distinctValues(Attribute::Difficulty), QStringList({"易", "中", "难"}));
    EXPECT_EQ(bank.distinctValues(Attribute::Difficulty, {.chapter = "第二章"}), QStringList{"易"});
    // An empty chapter list: 第一章 to 第十二章 by number.
    EXPECT_EQ(bank.distinctValues(Attribute::Chapter), chapters(1, 12));
    // The units of one chapter: the two listed first, in the list's order.
    QStringList expected{"第10单元", "第2单元", "第1单元"};
    expected << units(3, 9) << units(11, 12);
    EXPECT_EQ(bank.distinctValues(Attribute::Unit, {.chapter = "第五章"}), expected);
    EXPECT_EQ(bank.distinctValues(Attribute::Unit, {.chapter = "第三章", .difficulty = "易"}), QStringList{"第2单元"});
    // Moving a chapter in the bank's list moves it among the values offered.
    ASSERT_TRUE(bank.rewriteList(AttributeList::Chapters, {"第十二章", "第十一章"}));
    EXPECT_EQ(bank.distinctValues(Attribute::Chapter)->mid(0, 4),
              QStringList({"第十二章", "第十一章", "第一章", "第二章"}));
    EXPECT_EQ(bank.distinctValues(Attribute::Type), QStringList({"填空题", "阅读题", "作文"}));
    // Scores stay numbers, ascending.
    EXPECT_EQ(bank.distinctScores(), QList<double>({1.5, 2, 40}));
}
