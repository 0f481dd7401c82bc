// Line spacing "at least" against "exactly", and Chinese punctuation in the font of the
// Chinese text around it.

#include "describe.h"

#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"
#include "rtf/rtf_writer.h"
#include "support/qstring_print.h"

#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace qm;

namespace {

struct Spacing {
    int type;
    double height;
    bool operator==(const Spacing&) const = default;
};

void PrintTo(const Spacing& s, std::ostream* os)
{
    *os << "{type " << s.type << ", height " << s.height << "}";
}

QList<Spacing> spacings(const QTextDocument& doc)
{
    QList<Spacing> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        out << Spacing{b.blockFormat().lineHeightType(), b.blockFormat().lineHeight()};
    return out;
}

QString familyAt(const QTextDocument& doc, const QString& text)
{
    const QTextCursor found = doc.find(text);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(found.selectionStart() + 1);
    return fontFamilyOf(c.charFormat(), {});
}

QTextCharFormat inFont(const QString& family)
{
    QTextCharFormat f;
    f.setFontFamilies({family});
    f.setFontPointSize(12);
    return f;
}

// The control words that open the run holding `bytes`, from the run's "{" to its text,
// ended by a backslash so that the last word can be looked for like the others.
QByteArray runWordsBefore(const QByteArray& rtf, const QByteArray& bytes)
{
    const qsizetype at = rtf.indexOf(bytes);
    if (at < 0)
        return "(not written)";
    const qsizetype open = rtf.lastIndexOf('{', at);
    return rtf.mid(open, rtf.indexOf(' ', open) - open) + '\\';
}

}  // namespace

TEST(RtfLineSpacing, AtLeastExactlyAndMultiple)
{
    // \slN is "at least N twips", \sl-N "exactly N twips", with \slmult1 N/240 lines.
    QTextDocument doc;
    RtfReader::read("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}"
                    "\\pard\\sl360\\slmult0 least\\par"
                    "\\pard\\sl-360\\slmult0 exact\\par"
                    "\\pard\\sl360\\slmult1 one and a half\\par"
                    "\\pard\\sl-240 exact without slmult\\par"
                    "\\pard single\\par}",
                    &doc);
    ASSERT_EQ(doc.toPlainText(), QStringLiteral("least\nexact\none and a half\nexact without slmult\nsingle"));
    const QList<Spacing> expected = {{QTextBlockFormat::MinimumHeight, 24},
                                     {QTextBlockFormat::FixedHeight, 24},
                                     {QTextBlockFormat::ProportionalHeight, 150},
                                     {QTextBlockFormat::FixedHeight, 16},
                                     {QTextBlockFormat::SingleHeight, 0}};
    EXPECT_EQ(spacings(doc), expected);

    // Written and read again, each keeps its kind.
    const QByteArray rtf = RtfWriter::write(doc);
    EXPECT_TRUE(rtf.contains("\\sl360\\slmult0")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\sl-360\\slmult0")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\sl360\\slmult1")) << rtf.constData();
    QTextDocument back;
    RtfReader::read(rtf, &back);
    EXPECT_EQ(spacings(back), expected);
}

TEST(RtfChinesePunctuation, WrittenInTheDoubleByteFontOfItsRun)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("他说：《红楼梦》。甲、乙"), inFont(QStringLiteral("宋体")));
    c.insertText(QStringLiteral(" Word "), inFont(QStringLiteral("Arial")));
    c.insertText(QStringLiteral("，“好”"), inFont(QStringLiteral("黑体")));
    const QByteArray rtf = RtfWriter::write(doc);

    // The font numbers the table gives the two Chinese fonts, which hold GBK.
    auto fontNumber = [&](const QString& family) {
        const QRegularExpression entry(QStringLiteral("\\{\\\\f(\\d+)\\\\fnil\\\\fcharset134 ")
                                       + QRegularExpression::escape(QString::fromLatin1(gbkHex(family))) + ";\\}");
        const QRegularExpressionMatch m = entry.match(QString::fromLatin1(rtf));
        return m.hasMatch() ? m.captured(1).toLatin1() : QByteArray("(none)");
    };
    const QByteArray song = fontNumber(QStringLiteral("宋体"));
    const QByteArray hei = fontNumber(QStringLiteral("黑体"));
    // Each punctuation mark is a GBK pair inside the run that names its Chinese font as
    // the font of double-byte text.
    for (const QString& mark : {QStringLiteral("：《"), QStringLiteral("》。"), QStringLiteral("、")})
        EXPECT_TRUE(runWordsBefore(rtf, gbkHex(mark)).contains("\\dbch\\af" + song + "\\"))
            << mark.toStdString() << ' ' << runWordsBefore(rtf, gbkHex(mark)).constData();
    EXPECT_TRUE(runWordsBefore(rtf, gbkHex(QStringLiteral("，“好”"))).contains("\\dbch\\af" + hei + "\\"))
        << rtf.constData();
    EXPECT_FALSE(runWordsBefore(rtf, " Word ").contains("\\dbch"));

    // Read back, the marks keep the font of the Chinese text.
    QTextDocument back;
    RtfReader::read(rtf, &back);
    ASSERT_EQ(back.toPlainText(), doc.toPlainText());
    for (const QString mark : {"他", "：", "《", "》", "。", "、"})
        EXPECT_EQ(familyAt(back, mark), QStringLiteral("宋体")) << mark.toStdString();
    for (const QString mark : {"，", "“", "好"})
        EXPECT_EQ(familyAt(back, mark), QStringLiteral("黑体")) << mark.toStdString();
    EXPECT_EQ(familyAt(back, "Word"), QStringLiteral("Arial"));
}

TEST(RtfChinesePunctuation, ReadInTheDoubleByteFontBesideALatinOne)
{
    // As word processors write it: the Latin font as \f, the Chinese one as \dbch\af; the
    // Chinese punctuation is Chinese text.
    QTextDocument doc;
    RtfReader::read("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fnil\\fcharset134 "
                        + gbkHex(QStringLiteral("宋体")) + ";}}\\f0\\dbch\\af1 abc"
                        + gbkHex(QStringLiteral("《书》。、：")) + " def\\par}",
                    &doc);
    ASSERT_EQ(doc.toPlainText(), QStringLiteral("abc《书》。、： def"));
    EXPECT_EQ(familyAt(doc, "abc"), QStringLiteral("Times New Roman"));
    for (const QString mark : {"《", "书", "》", "。", "、", "："})
        EXPECT_EQ(familyAt(doc, mark), QStringLiteral("宋体")) << mark.toStdString();
    EXPECT_EQ(familyAt(doc, " def"), QStringLiteral("Times New Roman"));
}

TEST(RtfChinesePunctuation, TheKindOfTextDecidesTheFontNotTheCodePoint)
{
    // Quotes, ellipses, dashes, the middle dot, circled numbers and Greek letters read as
    // double-byte text take the Chinese font; read as \loch text the Latin one. ASCII
    // always takes the Latin font, ideographs always the Chinese one.
    QTextDocument doc;
    RtfReader::read("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fnil\\fcharset134 "
                        + gbkHex(QStringLiteral("宋体")) + ";}}\\f0\\dbch\\af1 "
                        + gbkHex(QStringLiteral("“甲”……——·①αΩ"))
                        + " ok{\\loch \\u8220?L\\u8221?\\u8230?\\u945?"
                          "\\u9312?\\u20057?}\\par}",
                    &doc);
    ASSERT_EQ(doc.toPlainText(), QStringLiteral("“甲”……——·①αΩ ok“L”…α①乙"));
    for (const QString mark : {"“", "甲", "”", "…", "—", "·", "①", "α", "Ω"})
        EXPECT_EQ(familyAt(doc, mark), QStringLiteral("宋体")) << mark.toStdString();
    EXPECT_EQ(familyAt(doc, " ok"), QStringLiteral("Times New Roman"));
    for (const QString mark : {"“L", "L”…", "”…α", "…α①", "α①乙", "①乙"})
        EXPECT_EQ(familyAt(doc, mark), QStringLiteral("Times New Roman")) << mark.toStdString();
    EXPECT_EQ(familyAt(doc, "乙"), QStringLiteral("宋体"));

    // Our writer keeps each mark in the font it had.
    QTextDocument mixed;
    QTextCursor c(&mixed);
    c.insertText(QStringLiteral("“①α……”"), inFont(QStringLiteral("宋体")));
    c.insertText(QStringLiteral("“①α……”"), inFont(QStringLiteral("Arial")));
    QTextDocument back;
    RtfReader::read(RtfWriter::write(mixed), &back);
    ASSERT_EQ(back.toPlainText(), mixed.toPlainText());
    for (int i = 0; i < back.characterCount() - 1; ++i) {
        QTextCursor at(&back);
        at.setPosition(i + 1);
        EXPECT_EQ(fontFamilyOf(at.charFormat(), {}), i < 6 ? QStringLiteral("宋体") : QStringLiteral("Arial")) << i;
    }
}
