// Numbers, truth values and GBK text in the forms the old program's files and boxes hold.

#include "core/delimited.h"
#include "core/gbk.h"
#include "core/numbers.h"

#include <QMap>
#include <gtest/gtest.h>

using namespace qm;

TEST(Numbers, ValReadsTheDExponentOfOldFiles)
{
    // The old runtime wrote and read doubles with "D" as well as "E" before the exponent.
    EXPECT_EQ(Val(u"1D2"), 100);
    EXPECT_EQ(Val(u"1d2"), 100);
    EXPECT_EQ(Val(u"1.5D+1分"), 15);
    EXPECT_DOUBLE_EQ(Val(u"25D-1"), 2.5);
    EXPECT_EQ(Val(u"-2D3"), -2000);
    EXPECT_EQ(Val(u"7D"), 7);  // no digits after the D: no exponent
    EXPECT_EQ(Val(u"7Dx2"), 7);
    EXPECT_EQ(Val(u"D2"), 0);  // no number before it
}

TEST(Numbers, NumTextKeepsUpToFifteenSignificantDigits)
{
    EXPECT_EQ(numText(1234567), QStringLiteral("1234567"));
    EXPECT_EQ(numText(12345678), QStringLiteral("12345678"));
    EXPECT_EQ(numText(2500000), QStringLiteral("2500000"));
    EXPECT_EQ(numText(1234567.891), QStringLiteral("1234567.891"));
    EXPECT_EQ(numText(-1234567.5), QStringLiteral("-1234567.5"));
    EXPECT_EQ(numText(0.1234567), QStringLiteral("0.1234567"));
    EXPECT_EQ(numText(123456789012345), QStringLiteral("123456789012345"));
    EXPECT_EQ(numText(1.0 / 3), QStringLiteral("0.333333333333333"));
    // The sixteenth digit is rounded away, as the old runtime showed such sums.
    EXPECT_EQ(numText(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(numText(2.675 * 100), QStringLiteral("267.5"));
}

TEST(Delimited, TruthValuesInAnyLetterCase)
{
    DelimitedReader r(QStringLiteral("#true#\r\n#False#\r\n  #TrUe#  ,#FALSE#\r\n#yes#"));
    EXPECT_EQ(r.boolean(), true);
    EXPECT_EQ(r.boolean(), false);
    EXPECT_EQ(r.boolean(), true);
    EXPECT_EQ(r.boolean(), false);
    EXPECT_FALSE(r.boolean());
    EXPECT_EQ(r.error(), QStringLiteral("此处应为#TRUE#或#FALSE#：#yes#"));
    EXPECT_EQ(r.text(), QStringLiteral("#yes#"));
}

TEST(Gbk, EveryDoubleByteCharacterRoundTrips)
{
    // Every pair of a lead byte 81-FE and a trail byte 40-FE (but 7F) that stands for a
    // character decodes to that one character, and the character encodes to the same pair.
    QMap<int, int> perLead;
    QByteArray allPairs;
    QString allChars;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const char bytes[2] = {char(lead), char(trail)};
            const QByteArray pair(bytes, 2);
            const QString decoded = gbkDecode(pair);
            if (decoded.size() != 1 || decoded[0] == QChar(0xFFFD))
                continue;
            ++perLead[lead];
            allPairs += pair;
            allChars += decoded;
            EXPECT_TRUE(gbkCanEncode(decoded[0].unicode())) << pair.toHex().constData();
            EXPECT_EQ(gbkEncode(decoded).value_or("none").toHex(), pair.toHex());
        }
    }
    // Code page 936 has 21791 such characters: full rows of 190 for the hanzi of 81-A0 and
    // B0-F7 (D7FA-D7FE are unassigned), 96 in the rows AA-AF and F8-FD, and in row FE
    // the 16 compatibility ideographs FE40-FE4F.
    int total = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        total += perLead.value(lead);
        if ((lead >= 0x81 && lead <= 0xA0) || (lead >= 0xB0 && lead <= 0xF7)) {
            EXPECT_EQ(perLead.value(lead), lead == 0xD7 ? 185 : 190) << std::hex << lead;
        } else if ((lead >= 0xAA && lead <= 0xAF) || (lead >= 0xF8 && lead <= 0xFD)) {
            EXPECT_EQ(perLead.value(lead), 96) << std::hex << lead;
        }
    }
    EXPECT_EQ(perLead.value(0xFE), 16);
    EXPECT_EQ(total, 21791);
    EXPECT_EQ(gbkDecode("\xFE\x40"), QString(QChar(0xFA0C)));
    EXPECT_EQ(gbkDecode("\xFE\x4F"), QString(QChar(0xFA29)));
    EXPECT_EQ(gbkEncode(QString(QChar(0xFA29))).value_or("none"), QByteArray("\xFE\x4F"));
    EXPECT_EQ(gbkDecode("\x81\x40"), QStringLiteral("丂"));
    EXPECT_EQ(gbkDecode("\xF7\xFE"), QStringLiteral("齄"));

    // All of them in one text, as a file holds them.
    EXPECT_EQ(gbkDecode(allPairs), allChars);
    EXPECT_EQ(gbkEncode(allChars).value_or("none"), allPairs);
}
