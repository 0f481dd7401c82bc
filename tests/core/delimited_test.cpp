#include "core/delimited.h"
#include "core/gbk.h"
#include "support/temp_dirs.h"

#include <gtest/gtest.h>

using namespace qm;

TEST(Delimited, WritesOneItemALineInGbk)
{
    DelimitedWriter w;
    w.text(QStringLiteral("第一中学"));
    w.text(QString());
    w.number(2.5);
    w.boolean(true);
    w.boolean(false);
    EXPECT_EQ(w.content(), QStringLiteral("\"第一中学\"\r\n\"\"\r\n2.5\r\n#TRUE#\r\n#FALSE#\r\n"));

    test::TempProgramDir dir(false);
    ASSERT_TRUE(w.save(dir.file("a.cfg")));
    EXPECT_EQ(test::readAll(dir.file("a.cfg")).left(2), QByteArray("\"\xB5"));  // 第 in GBK

    DelimitedReader r = DelimitedReader::fromFile(dir.file("a.cfg"));
    EXPECT_EQ(r.text(), QStringLiteral("第一中学"));
    EXPECT_EQ(r.text(), QString());
    EXPECT_EQ(r.number(), 2.5);
    EXPECT_EQ(r.boolean(), true);
    EXPECT_EQ(r.boolean(), false);
    EXPECT_TRUE(r.atEnd());
}

TEST(Delimited, RefusesTextGbkCannotHold)
{
    DelimitedWriter w;
    w.text(QStringLiteral("한국"));
    test::TempProgramDir dir(false);
    QString error;
    EXPECT_FALSE(w.save(dir.file("b.cfg"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("한")));
    EXPECT_FALSE(QFile::exists(dir.file("b.cfg")));
}

TEST(Delimited, ReadsQuotedAndBareFields)
{
    DelimitedReader r(QStringLiteral("  \"a,b\"  ,c d  ,\r\n  /srv/x,y\n\"unclosed"));
    EXPECT_EQ(r.text(), QStringLiteral("a,b"));
    EXPECT_EQ(r.text(), QStringLiteral("c d"));
    EXPECT_EQ(r.text(), QString());  // empty item before the line end
    EXPECT_EQ(r.text(), QStringLiteral("/srv/x"));
    EXPECT_EQ(r.text(), QStringLiteral("y"));
    EXPECT_EQ(r.text(), QStringLiteral("unclosed"));
    EXPECT_TRUE(r.atEnd());
}

TEST(Delimited, ReportsMissingAndWrongItems)
{
    DelimitedReader r(QStringLiteral("abc\r\n\"#TRUE#\"\r\n12"));
    EXPECT_FALSE(r.number());
    EXPECT_FALSE(r.error().isEmpty());
    EXPECT_EQ(r.text(), QStringLiteral("abc"));  // a failed read does not move on
    EXPECT_FALSE(r.boolean());                   // quoted is text, not a truth value
    EXPECT_EQ(r.text(), QStringLiteral("#TRUE#"));
    EXPECT_EQ(r.number(), 12);
    EXPECT_FALSE(r.text());
    EXPECT_EQ(r.error(), QStringLiteral("文件内容不完整"));

    DelimitedReader missing = DelimitedReader::fromFile(QStringLiteral("/nonexistent/x.cfg"));
    EXPECT_TRUE(missing.atEnd());
    EXPECT_FALSE(missing.error().isEmpty());
}
