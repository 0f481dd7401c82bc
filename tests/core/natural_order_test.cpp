#include "core/natural_order.h"
#include "support/qstring_print.h"

#include <gtest/gtest.h>
#include <random>

using namespace qm;

namespace {

// The names shuffled and sorted again.
QStringList sorted(QStringList names)
{
    std::mt19937 random(7);
    std::shuffle(names.begin(), names.end(), random);
    sortNaturally(names);
    return names;
}

}  // namespace

TEST(NaturalOrder, ChaptersAndUnitsGoByTheirNumbers)
{
    const QStringList chapters{"第一章", "第二章", "第三章", "第四章", "第五章",   "第六章",
                               "第七章", "第八章", "第九章", "第十章", "第十一章", "第十二章"};
    EXPECT_EQ(sorted(chapters), chapters);
    const QStringList units{"第1单元", "第2单元", "第3单元", "第4单元",  "第5单元",  "第6单元",
                            "第7单元", "第8单元", "第9单元", "第10单元", "第11单元", "第12单元"};
    EXPECT_EQ(sorted(units), units);
    // Full-width digits, a title after the number, grades and parts of a course.
    EXPECT_EQ(sorted({"第１０课", "第２课", "第１课"}), QStringList({"第１课", "第２课", "第１０课"}));
    EXPECT_EQ(sorted({"第十章　电磁感应", "第二章　匀变速直线运动", "第九章　静电场"}),
              QStringList({"第二章　匀变速直线运动", "第九章　静电场", "第十章　电磁感应"}));
    EXPECT_EQ(sorted({"九年级", "七年级上", "八年级", "七年级下"}),
              QStringList({"七年级上", "七年级下", "八年级", "九年级"}));
    EXPECT_EQ(sorted({"必修三", "必修一", "必修二"}), QStringList({"必修一", "必修二", "必修三"}));
}

TEST(NaturalOrder, ChineseNumeralsAreReadByTheirValue)
{
    const QStringList numbers{"第〇讲",       "第一讲",   "第两讲",     "第三讲",      "第九讲",       "第十讲",
                              "第十九讲",     "第二十讲", "第九十九讲", "第百讲",      "第一百零五讲", "第一百一十讲",
                              "第二〇二四讲", "第三千讲", "第一万讲",   "第三万五千讲"};
    EXPECT_EQ(sorted(numbers), numbers);
    // A Chinese numeral compares with digits by value: 9 < 十 < 11.
    EXPECT_EQ(sorted({"第11章", "第十章", "第9章"}), QStringList({"第9章", "第十章", "第11章"}));
    // Long runs of numerals or digits stay in order instead of overflowing.
    EXPECT_EQ(sorted({"万万万万万万万万", "99999999999999999999999", "1"}),
              QStringList({"1", "万万万万万万万万", "99999999999999999999999"}));
}

TEST(NaturalOrder, TextWithoutNumbersKeepsTheGbkOrder)
{
    // Common hanzi in pinyin order, as their GBK bytes put them.
    EXPECT_EQ(sorted({"中等", "容易", "较难", "单选题", "填空题", "判断题"}),
              QStringList({"单选题", "较难", "判断题", "容易", "填空题", "中等"}));
    // ASCII before hanzi; a number where the digit 0 would stand among the characters.
    EXPECT_EQ(sorted({"细胞", "Unit 1", "(1)", "", "A", "1"}), QStringList({"", "(1)", "1", "A", "Unit 1", "细胞"}));
    // A shorter name before the longer one it begins.
    EXPECT_EQ(sorted({"第1章第2节", "第1章", "第1"}), QStringList({"第1", "第1章", "第1章第2节"}));
}

TEST(NaturalOrder, OnlyEqualNamesCompareEqual)
{
    // Equal numbers written differently: the GBK bytes decide, the same way both ways.
    EXPECT_LT(naturalCompare(u"第01章", u"第1章"), 0);
    EXPECT_GT(naturalCompare(u"第1章", u"第01章"), 0);
    EXPECT_LT(naturalCompare(u"第2章", u"第二章"), 0);
    EXPECT_LT(naturalCompare(u"第二章", u"第两章"), 0);
    EXPECT_GT(naturalCompare(u"第两章", u"第二章"), 0);
    // Characters GBK lacks sort as '?', and still differ from each other.
    EXPECT_NE(naturalCompare(u"한", u"😀"), 0);
    EXPECT_EQ(naturalCompare(u"한", u"😀"), -naturalCompare(u"😀", u"한"));
    EXPECT_EQ(naturalCompare(u"第十一章", u"第十一章"), 0);
    EXPECT_EQ(naturalCompare(u"", u""), 0);
}

TEST(NaturalOrder, IsAConsistentOrderOverMixedNames)
{
    // Every pair of a mixed set compares the same both ways, and sorting gives one order
    // whatever order the names came in.
    const QStringList names{"第一章", "第1章", "第01章", "第十章", "第10章", "第二章", "第2章", "二",
                            "两",     "十",    "一般",   "较难",   "10",     "2",      "零",    "〇",
                            "0",      "",      "a1",     "a/",     "a",      "é",      "한",    "第章"};
    for (const QString& a : names)
        for (const QString& b : names)
            EXPECT_EQ(naturalCompare(a, b) < 0, naturalCompare(b, a) > 0) << a.toStdString() << " " << b.toStdString();
    QStringList once = names;
    sortNaturally(once);
    EXPECT_EQ(sorted(names), once);
    for (qsizetype i = 1; i < once.size(); ++i)
        EXPECT_LT(naturalCompare(once[i - 1], once[i]), 0);
}
