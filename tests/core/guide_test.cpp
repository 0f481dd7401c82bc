// The user guide's contents and pictures as the help window and the picture check read them,
// and where the guide is found.

#include "core/guide.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qm;

TEST(Guide, HeadingsWithAnAnchorMakeTheContentsInOrder)
{
    const QString html = QStringLiteral("<h1 id=\"first\">第一章　十分钟出<b>第一份</b>试卷</h1><p>text</p>"
                                        "<H2 ID=\"login\" class=\"x\">1. 登录\n   和口令</H2>"
                                        "<h2>没有锚点的小节</h2><h3 id=\"deep\">三级标题</h3>"
                                        "<h1 id=\"batch-format\">批量导入 &amp; 合并：&lt;题库&gt;</h1>");
    const QList<GuideHeading> headings = guideHeadings(html);
    ASSERT_EQ(headings.size(), 3);
    // The full-width space stays as written; line breaks and markup go.
    EXPECT_EQ(headings[0], (GuideHeading{1, "first", "第一章　十分钟出第一份试卷"}));
    EXPECT_EQ(headings[1], (GuideHeading{2, "login", "1. 登录 和口令"}));
    EXPECT_EQ(headings[2], (GuideHeading{1, "batch-format", "批量导入 & 合并：<题库>"}));
    EXPECT_TRUE(guideHeadings(QString()).isEmpty());
    EXPECT_TRUE(guideHeadings("<h1 id=\"open\">never closed").isEmpty());
}

TEST(Guide, PicturesAreListedOnceEachInOrder)
{
    const QString html = QStringLiteral("<img src=\"shots/login.png\"><p><IMG alt=\"x\" src=\"shots/banks.png\">"
                                        "<img src=\"shots/login.png\"><img alt=\"no source\">");
    EXPECT_EQ(guidePictures(html), (QStringList{"shots/login.png", "shots/banks.png"}));
}

TEST(Guide, TheFirstDirectoryHoldingTheGuideIsTaken)
{
    QTemporaryDir tmp;
    const QString a = tmp.path() + "/a", b = tmp.path() + "/b", c = tmp.path() + "/c";
    for (const QString& d : {a, b + "/guide", c + "/guide"})
        QDir().mkpath(d);
    QFile(b + "/guide/index.html").open(QIODevice::WriteOnly);
    QFile(c + "/guide/index.html").open(QIODevice::WriteOnly);
    // A directory named guide/index.html is no guide.
    QDir().mkpath(a + "/guide/index.html");
    EXPECT_EQ(findGuide({QString(), a, b, c}), b + "/guide/index.html");
    EXPECT_EQ(findGuide({a}), QString());
    // Beside the program first, then the installation's share, then the program directory.
    EXPECT_EQ(guideDirs("/usr/bin", "/home/t/.local/share/Quellmark/"),
              (QStringList{"/usr/bin", "/usr/bin/../share/quellmark", "/home/t/.local/share/Quellmark/"}));
    EXPECT_EQ(findGuide(guideDirs(tmp.path() + "/none/bin", c)), c + "/guide/index.html");
}
