// Text in the code pages documents and fonts declare, in none (Windows-1252, or GBK from
// old Chinese programs), and in symbol fonts and SYMBOL fields.

#include "rtf/rtf_reader.h"
#include "support/qstring_print.h"

#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

QString text(const QByteArray& rtf)
{
    QTextDocument doc;
    qm::RtfReader::read(rtf, &doc);
    return doc.toPlainText();
}

}  // namespace

TEST(RtfCodePages, EveryDeclaredCodePage)
{
    // Font character sets, \cpg, \ansicpg and \mac, with a letter typical of each.
    EXPECT_EQ(text("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 A;}{\\f1\\fcharset238 B;}{\\f2\\fcharset161 C;}"
                   "{\\f3\\fcharset128 D;}{\\f4\\fcharset129 E;}{\\f5\\fcharset136 F;}{\\f6\\fcharset222 G;}"
                   "{\\f7\\fcharset177 H;}{\\f8\\fcharset178 I;}{\\f9\\fcharset186 J;}{\\f10\\fcharset162 K;}"
                   "{\\f11\\cpg1253 L;}{\\f12\\fcharset77 M;}{\\f13\\fcharset89 N;}{\\f14\\fcharset163 O;}"
                   "{\\f15\\fcharset204 P;}{\\f16\\fcharset134 Q;}}"
                   "\\f0 \\'c0|\\f1 \\'b9|\\f2 \\'e1|\\f3 \\'82\\'a0|\\f4 \\'b0\\'a1|\\f5 \\'a4\\'a4|\\f6 \\'a1|"
                   "\\f7 \\'e0|\\f8 \\'c7|\\f9 \\'e0|\\f10 \\'f0|\\f11 \\'e1|\\f12 \\'8e|\\f13 \\'80|\\f14 \\'d0|"
                   "\\f15 \\'df|\\f16 \\'d6\\'d0}"),
              QStringLiteral("А|ą|α|あ|가|中|ก|א|ا|ą|ğ|α|é|А|Đ|Я|中"));
    EXPECT_EQ(text("{\\rtf1\\mac \\'8e\\'a5}"), QStringLiteral("é•"));
    EXPECT_EQ(text("{\\rtf1\\ansi\\ansicpg1250 \\'9a\\'e8}"), QStringLiteral("šč"));
    EXPECT_EQ(text("{\\rtf1\\ansi\\ansicpg10007 \\'80\\'df}"), QStringLiteral("Ая"));
    EXPECT_EQ(text("{\\rtf1\\pc \\'82\\'b0}"), QStringLiteral("é░"));
    // A code page nobody knows reads as Windows-1252.
    EXPECT_EQ(text("{\\rtf1\\ansi\\ansicpg4242 caf\\'e9}"), QStringLiteral("café"));
}

TEST(RtfCodePages, UndeclaredIsWindows1252UnlessTheBytesAreChinese)
{
    EXPECT_EQ(text("{\\rtf1\\ansi \\'93hi\\'94\\par}"), QStringLiteral("“hi”"));
    EXPECT_EQ(text("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}Toc toc Il a ferm\\'e9 la porte, "
                   "Gr\\'fc\\'dfe \\'80 5}"),
              QStringLiteral("Toc toc Il a fermé la porte, Grüße € 5"));
    // Old Chinese programs declare nothing: their GBK pairs stay Chinese, word by word.
    EXPECT_EQ(text("{\\rtf1\\ansi \\'d6\\'d0\\'ce\\'c4 caf\\'e9 \\'b5\\'da1\\'cc\\'e2}"),
              QStringLiteral("中文 café 第1题"));
    EXPECT_EQ(text("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset1 Default;}}\\f0 \\'d6\\'d0}"), QStringLiteral("中"));
    // Once a font declares a character set, undeclared bytes are Windows-1252.
    EXPECT_EQ(text("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1 Other;}}\\f1 \\'d6\\'d0}"),
              QStringLiteral("ÖÐ"));
}

TEST(RtfCodePages, UndeclaredGbkPairsWithAnAsciiTrailByteStayWhole)
{
    // 丂 is 81 40 and 癆 B0 41: their second byte is '@' or 'A', written as itself. Old
    // Chinese programs that declare no character set write them so, amid Chinese text, as
    // words of their own and in the font table.
    EXPECT_EQ(text("{\\rtf1\\ansi \\'d6\\'d0\\'81@\\'b0A\\'ce\\'c4}"), QStringLiteral("中丂癆文"));
    EXPECT_EQ(text("{\\rtf1\\ansi \\'b5\\'da1\\'cc\\'e2 \\'81@\\'b0A, \\'b0A\\'81@.\\par}"),
              QStringLiteral("第1题 丂癆, 癆丂."));
    EXPECT_EQ(text("{\\rtf1\\ansi \\'d6\\'d0\\'ce\\'c4\\par (\\'81@) 2\\'b0A\\par}"), QStringLiteral("中文\n(丂) 2癆"));
    EXPECT_EQ(text("{\\rtf1\\ansi \\'81@\\'81A\\'b0@\\'b0a}"), QStringLiteral("丂丄癅癮"));
    // Bytes of an 8-bit file, not written as \'hh.
    EXPECT_EQ(text("{\\rtf1\\ansi \xd6\xd0\x81@ \xb0"
                   "A}"),
              QStringLiteral("中丂 癆"));
    QTextDocument doc;
    qm::RtfReader::read("{\\rtf1\\ansi{\\fonttbl{\\f0 \\'81@\\'cb\\'ce;}}\\f0 \\'d6\\'d0}", &doc);
    QTextCursor c(&doc);
    c.setPosition(1);
    EXPECT_EQ(c.charFormat().fontFamilies().toStringList().value(0), QStringLiteral("丂宋"));
    // Western text with the same bytes stays Windows-1252 when nothing in it is Chinese.
    EXPECT_EQ(text("{\\rtf1\\ansi 20\\'b0C, \\'e9l\\'e8ve}"), QStringLiteral("20°C, élève"));
}

TEST(RtfSymbols, SymbolFontsHaveTablesOfTheirOwn)
{
    EXPECT_EQ(text("{\\rtf1\\ansi{\\fonttbl{\\f0 Times;}{\\f1\\fcharset2 Wingdings;}{\\f2\\fcharset2 Webdings;}"
                   "{\\f3 Zapf Dingbats;}{\\f4\\fcharset2 Symbol;}{\\f5\\fcharset2 MT Extra;}}"
                   "\\f1 \\'fc\\'a7\\'6f\\'d8\\'9f\\u61692 ?\\f0 |\\f2 \\'61\\'72\\f0 |\\f3 \\'34\\'a8\\'ac\\f0 |"
                   "\\f4 \\'b0\\'d7\\'61\\f0 |\\f1 \\'4a}"),
              QString::fromUtf16(u"✔▪□⮚•✔|✔🗙|✔♣①|°⋅α|☺"));
}

TEST(RtfSymbols, SymbolFieldsShowTheirCharacter)
{
    const QByteArray head = "{\\rtf1\\ansi{\\fonttbl{\\f0 Times;}{\\f3\\fcharset2 Symbol;}}\\f0 ";
    // An empty result: the character the instruction names, in the named font's table.
    EXPECT_EQ(text(head
                   + "90{\\field{\\*\\fldinst SYMBOL 176 \\\\f \"Symbol\"}{\\fldrslt }}|"
                     "{\\field{\\*\\fldinst SYMBOL 200 \\\\f \"Symbol\" \\\\s 12}{\\fldrslt\\f3\\fs24}}|"
                     "{\\field{\\*\\fldinst {SYMBOL 252 \\\\f \"Wingdings\"}}{\\fldrslt }}|"
                     "{\\field{\\*\\fldinst SYMBOL 0x41 \\\\f \"Zapf Dingbats\"}}|"
                     "{\\field{\\*\\fldinst SYMBOL 8364 \\\\u}{\\fldrslt }}|"
                     "{\\field{\\*\\fldinst SYMBOL 233}{\\fldrslt }}}"),
              QString::fromUtf16(u"90°|∪|✔|✡|€|é"));
    // A result that holds the character is shown, not the character a second time.
    EXPECT_EQ(text(head + "{\\field{\\*\\fldinst SYMBOL 176 \\\\f \"Symbol\"}{\\fldrslt {\\f3 \\'b0}}} C}"),
              QString::fromUtf16(u"° C"));
    // Other fields show their result only.
    EXPECT_EQ(text(head + "{\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}|{\\field{\\*\\fldinst SYMBOLIC 65}{\\fldrslt }}}"),
              "3|");
}
