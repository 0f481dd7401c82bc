// A merge after a sort by chapter: the questions keep the order the sort stored.

#include "bankstore/bank_file.h"
#include "editor/bank_maintenance.h"
#include "support/qstring_print.h"
#include "support/scripted_prompt.h"
#include "support/temp_bank.h"

#include <gtest/gtest.h>

using namespace qm;
using qm::test::TempBank;

namespace {

Question tagged(const QString& chapter, const QString& remark)
{
    Question q = test::question(chapter, "{\\rtf1 " + remark.toUtf8() + "}");
    q.remark = remark;
    return q;
}

QStringList remarks(const TempBank& b)
{
    QStringList out;
    for (const Question& q : b.questions())
        out << q.remark;
    return out;
}

QList<qint64> ids(const TempBank& b)
{
    QList<qint64> out;
    for (const Question& q : b.questions())
        out << q.id;
    return out;
}

void sortByChapter(test::ScriptedPrompt& prompt, const TempBank& b, const QStringList& chapters)
{
    prompt.expectMessage(QStringLiteral("排序成功！"), QStringLiteral("Quellmark"), Icon::Information);
    EXPECT_TRUE(sortBankByChapter(prompt, b.path, chapters));
    prompt.verify();
}

// Merges `source` into `target`; with `same` questions the target has already, the
// question about them is answered "否" (merge them all the same).
void merge(test::ScriptedPrompt& prompt, const TempBank& target, const QString& source, int same = 0)
{
    prompt
        .expectMessage(
            QStringLiteral("　　合并题库将会将现在打开的题库与将指定的题库合并并不能自动恢复。建议合并之前检查两个"
                           "题库的分值、题型、难度是否一致！如不一致，请先进行修改。是否继续？"),
            QStringLiteral("警告"), Icon::Question, Buttons::YesNo, Answer::Yes, Answer::No)
        .expectOpenFile(QStringLiteral("合并题库"), QStringLiteral("*.tik"), source)
        .expectMessage(QStringLiteral("将“") + target.path + QStringLiteral("”与“") + source
                           + QStringLiteral("”合并吗？"),
                       QStringLiteral("警告"), Icon::Question, Buttons::YesNo, Answer::Yes, Answer::No);
    if (same > 0)
        prompt.expectMessage(
            QStringLiteral("来源题库中有%1道题与本题库中已有的题目（或来源题库中前面的题目）相同。\r\n\r\n"
                           "是否跳过这些重复的题？选“是”跳过，选“否”照样合并，选“取消”不合并。")
                .arg(same),
            QStringLiteral("警告"), Icon::Question, Buttons::YesNoCancel, Answer::No, Answer::Yes);
    prompt.expectMessage(QStringLiteral("合并成功!"), QStringLiteral("提示"), Icon::Warning);
    EXPECT_TRUE(mergeBanks(prompt, target.path));
    prompt.verify();
}

}  // namespace

TEST(BankMaintenance, MergeAfterASortKeepsTheStoredOrder)
{
    const QString one = QStringLiteral("第一章"), two = QStringLiteral("第二章");
    TempBank source(QStringLiteral("来源.tik")), target;
    for (const auto& [chapter, tag] : {std::pair{two, "a1"}, {one, "b1"}, {two, "a2"}, {one, "b2"}})
        ASSERT_TRUE(source.bank().add(tagged(chapter, QString::fromLatin1(tag))));
    for (const auto& [chapter, tag] : {std::pair{two, "x"}, {one, "y"}})
        ASSERT_TRUE(target.bank().add(tagged(chapter, QString::fromLatin1(tag))));

    test::ScriptedPrompt prompt;
    sortByChapter(prompt, source, {one, two});
    sortByChapter(prompt, target, {one, two});
    ASSERT_EQ(remarks(source), QStringList({"b1", "b2", "a1", "a2"}));
    ASSERT_EQ(ids(source), QList<qint64>({2, 4, 1, 3}));  // the sort keeps 编号
    ASSERT_EQ(remarks(target), QStringList({"y", "x"}));

    // The source's questions follow the target's in the source's stored order, not in the
    // order of their 编号, and get new 编号 in that order.
    merge(prompt, target, source.path);
    EXPECT_EQ(remarks(target), QStringList({"y", "x", "b1", "b2", "a1", "a2"}));
    EXPECT_EQ(ids(target), QList<qint64>({2, 1, 3, 4, 5, 6}));
    EXPECT_EQ(remarks(source), QStringList({"b1", "b2", "a1", "a2"}));

    // A sorted bank merged into itself repeats its stored order (every question is there
    // already: the teacher merges them all the same).
    merge(prompt, source, source.path, 4);
    EXPECT_EQ(remarks(source), QStringList({"b1", "b2", "a1", "a2", "b1", "b2", "a1", "a2"}));
    EXPECT_EQ(ids(source), QList<qint64>({2, 4, 1, 3, 5, 6, 7, 8}));

    // A question added afterwards comes last.
    ASSERT_TRUE(target.bank().add(tagged(one, QStringLiteral("z"))));
    EXPECT_EQ(remarks(target).last(), QStringLiteral("z"));
}
