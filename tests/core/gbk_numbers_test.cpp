#include "core/gbk.h"
#include "core/numbers.h"

#include <gtest/gtest.h>

using namespace qm;

TEST(Gbk, RoundTripsChineseAndAscii)
{
    const QString text = QStringLiteral("题库样本－生物 abc 123　“引号”€");
    const auto bytes = gbkEncode(text);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->left(4), QByteArray("\xCC\xE2\xBF\xE2"));  // 题库
    EXPECT_EQ(gbkDecode(*bytes), text);
}

TEST(Gbk, ReportsCharactersItCannotHold)
{
    QString bad;
    EXPECT_FALSE(gbkEncode(QStringLiteral("中文😀한x😀"), &bad));
    EXPECT_EQ(bad, QStringLiteral("😀한"));
    EXPECT_FALSE(gbkEncode(QStringLiteral("한")));
    EXPECT_FALSE(gbkCanEncode(U'한'));
    EXPECT_TRUE(gbkCanEncode(U'生'));
}

TEST(Gbk, MalformedBytesDecodeWithoutLosingTheRest)
{
    // A lone lead byte at the end, an invalid trail byte, and 0xFF.
    EXPECT_EQ(gbkDecode(QByteArray("a\xB0")), QStringLiteral("a\uFFFD"));
    EXPECT_EQ(gbkDecode(QByteArray("\xB0\x0A"
                                   "b")),
              QStringLiteral("\uFFFD\nb"));
    EXPECT_EQ(gbkDecode(QByteArray("\xFF"
                                   "c")),
              QStringLiteral("\uFFFDc"));
}

TEST(Numbers, ValReadsTheLeadingNumber)
{
    EXPECT_EQ(Val(u"2.5分"), 2.5);
    EXPECT_EQ(Val(u"  12"), 12);
    EXPECT_EQ(Val(u"-1"), -1);
    EXPECT_EQ(Val(u"abc"), 0);
    EXPECT_EQ(Val(u""), 0);
    EXPECT_EQ(Val(u"."), 0);
    EXPECT_EQ(Val(u".5"), 0.5);
    EXPECT_EQ(Val(u"3e2x"), 300);
    EXPECT_EQ(Val(u"3e"), 3);
    EXPECT_EQ(Val(u"1e999"), 0);  // no infinities from a box
}

TEST(Numbers, RoundsHalvesToEven)
{
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.6), 3);
    EXPECT_DOUBLE_EQ(roundHalfEven(0.125, 2), 0.12);
    EXPECT_DOUBLE_EQ(roundHalfEven(0.375, 2), 0.38);
    EXPECT_DOUBLE_EQ(roundHalfEven(10.0 / 3, 2), 3.33);
}

TEST(Numbers, NumTextIsShortest)
{
    EXPECT_EQ(numText(2), QStringLiteral("2"));
    EXPECT_EQ(numText(1.5), QStringLiteral("1.5"));
    EXPECT_EQ(numText(roundHalfEven(10.0 / 3, 2)), QStringLiteral("3.33"));
    EXPECT_EQ(numText(-0.25), QStringLiteral("-0.25"));
    EXPECT_EQ(numText(0), QStringLiteral("0"));
    EXPECT_EQ(numText(100), QStringLiteral("100"));
}
