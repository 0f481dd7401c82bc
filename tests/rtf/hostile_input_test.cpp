// Input made to do harm: \u numbers beyond 16 bits, and pictures that claim to be huge.

#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"
#include "rtf/rtf_writer.h"
#include "support/qstring_print.h"

#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

QString text(const QByteArray& rtf)
{
    QTextDocument doc;
    qm::RtfReader::read(rtf, &doc);
    return doc.toPlainText();
}

QList<QTextImageFormat> pictures(const QTextDocument& doc)
{
    QList<QTextImageFormat> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                out << it.fragment().charFormat().toImageFormat();
    return out;
}

}  // namespace

TEST(RtfHostile, UnicodeBeyondSixteenBitsIsDroppedAndItsFallbackKept)
{
    EXPECT_EQ(text("{\\rtf1\\ansi a\\u65536?b\\u-1?c\\u2147483647?d\\u-32768?e\\u-2147483648?f\\u-32769?g\\u0?}"),
              QString::fromUtf16(u"a?b?c?d耀e?f?g?"));
    // Negative numbers are the usual form of characters from U+8000 up.
    EXPECT_EQ(text("{\\rtf1\\ansi \\u-24894?\\u-3?\\u-10179?\\u-8704?}"),
              QString::fromUtf16(u"\u9EC2\uFFFD\U0001F600"));
}

TEST(RtfHostile, PicturesQtCannotDrawShareOnePlaceholder)
{
    // Two hundred metafiles that claim to be four feet wide.
    QByteArray rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < 200; ++i)
        rtf += "{\\pict\\wmetafile8\\picwgoal75000\\pichgoal75000 0100" + QByteArray::number(0x1000 + i, 16) + "}";
    rtf += "}";
    QTextDocument doc;
    qm::RtfReader::read(rtf, &doc);
    const QList<QTextImageFormat> pics = pictures(doc);
    ASSERT_EQ(pics.size(), 200);
    const QImage first = doc.resource(QTextDocument::ImageResource, QUrl(pics[0].name())).value<QImage>();
    ASSERT_FALSE(first.isNull());
    EXPECT_LE(qsizetype(first.sizeInBytes()), 64 * 1024);
    for (const QTextImageFormat& p : pics) {
        const QImage img = doc.resource(QTextDocument::ImageResource, QUrl(p.name())).value<QImage>();
        EXPECT_EQ(img.cacheKey(), first.cacheKey());  // the same pixels, not a copy
        EXPECT_DOUBLE_EQ(p.width(), 5000);
    }
    // Their bytes still go back out unchanged.
    const QByteArray again = qm::RtfWriter::write(doc);
    EXPECT_TRUE(again.contains("{\\pict\\wmetafile8\\picwgoal75000\\pichgoal75000\r\n01001000}"))
        << again.left(300).constData();
    EXPECT_TRUE(again.contains("\r\n010010c7}"));
}

TEST(RtfHostile, ACellEndAfterBodyTextAndAStrayRowKeepsTheDocumentWhole)
{
    // Found by fuzzing: text in the body, a \row with no table, more text marked as in a
    // table, then \cell. The paragraph moves into the table's cell; nothing of the body's
    // structure goes with it.
    QTextDocument doc;
    qm::RtfReader::read("{\\rtf\xff\\row\xff\\intbl\\cell", &doc);
    EXPECT_EQ(doc.toPlainText().count(QChar(0xFF)), 2);
    QTextDocument more;
    qm::RtfReader::read("{\\rtf1 a{\\pict\\pngblip 00}b\\par c\\intbl\\itap0 d\\nestcell e\\cell\\row f}", &more);
    EXPECT_TRUE(qm::documentText(more).startsWith("ab")) << qm::documentText(more).toStdString();
    EXPECT_TRUE(qm::documentText(more).endsWith("f"));
}
