#include "import/chapter_sort.h"

#include <gtest/gtest.h>

using qm::import::chapterSortOrder;

TEST(ChapterSort, GroupsByListOrderAndKeepsUnlistedChaptersAfter)
{
    const QStringList rows = {"第一章", "X", "第二章", "第一章", "", "第二章", "第一章 "};
    // The list holds 第二章 twice; "X", "" and "第一章 " are in no entry.
    const QStringList list = {"第二章", "第三章", "第一章", "第二章"};
    EXPECT_EQ(chapterSortOrder(rows, list), (QList<qsizetype>{2, 5, 0, 3, 1, 4, 6}));
    EXPECT_EQ(chapterSortOrder(rows, {}), (QList<qsizetype>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(chapterSortOrder({}, list).isEmpty());
}
