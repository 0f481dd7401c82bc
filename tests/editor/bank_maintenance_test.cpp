#include "bankstore/bank_file.h"
#include "editor/bank_maintenance.h"
#include "support/qstring_print.h"
#include "support/scripted_prompt.h"
#include "support/temp_bank.h"
#include "support/temp_dirs.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qm;
using qm::test::question;
using qm::test::TempBank;

namespace {

const QString kMergeQuestion =
    QStringLiteral("　　合并题库将会将现在打开的题库与将指定的题库合并并不能自动恢复。建议合并之前检查两个题库的分值、"
                   "题型、难度是否一致！如不一致，请先进行修改。是否继续？");
// The second question of a merge names both files.
QString mergeFilesQuestion(const QString& openBank, const QString& chosen)
{
    return QStringLiteral("将“") + openBank + QStringLiteral("”与“") + chosen + QStringLiteral("”合并吗？");
}

}  // namespace

TEST(BankMaintenance, MergeAsksTwiceAndCopiesEmptyFieldsAsEmpty)
{
    TempBank target, source(QStringLiteral("来源.tik")), empty(QStringLiteral("空.tik"));
    ASSERT_TRUE(target.bank().add(question(QStringLiteral("甲"), "{\\rtf1 t}")));
    Question bare = question(QString());  // 题目 and 答案 empty
    bare.score = 3;
    bare.remark = QStringLiteral("备");
    ASSERT_TRUE(source.bank().add(bare));
    ASSERT_TRUE(source.bank().add(question(QStringLiteral("乙"), "{\\rtf1 s}", "{\\rtf1 a}")));
    const QString junk = target.dir.filePath(QStringLiteral("坏.tik"));
    ASSERT_TRUE(test::writeAll(junk, QByteArray(5000, '$')));

    test::ScriptedPrompt prompt;
    // Expects the dialogue up to the file question; `file` "" cancels the dialog.
    auto expect = [&](Answer first, const QString& file, std::optional<Answer> second) {
        prompt.expectMessage(kMergeQuestion, QStringLiteral("警告"), Icon::Question, Buttons::YesNo, first, Answer::No);
        if (first == Answer::Yes)
            prompt.expectOpenFile(QStringLiteral("合并题库"), QStringLiteral("*.tik"), file);
        if (second)
            prompt.expectMessage(mergeFilesQuestion(target.path, file), QStringLiteral("警告"), Icon::Question,
                                 Buttons::YesNo, *second, Answer::No);
    };
    expect(Answer::No, {}, {});
    EXPECT_FALSE(mergeBanks(prompt, target.path));
    expect(Answer::Yes, {}, {});
    EXPECT_FALSE(mergeBanks(prompt, target.path));
    expect(Answer::Yes, source.path, Answer::No);
    EXPECT_FALSE(mergeBanks(prompt, target.path));
    EXPECT_EQ(target.bank().count(), 1);

    // A bank with no questions merges with success and adds nothing.
    expect(Answer::Yes, empty.path, Answer::Yes);
    prompt.expectMessage(QStringLiteral("合并成功!"), QStringLiteral("提示"), Icon::Warning);
    EXPECT_TRUE(mergeBanks(prompt, target.path));
    EXPECT_EQ(target.bank().count(), 1);

    expect(Answer::Yes, source.path, Answer::Yes);
    prompt.expectMessage(QStringLiteral("合并成功!"), QStringLiteral("提示"), Icon::Warning);
    EXPECT_TRUE(mergeBanks(prompt, target.path));
    const QList<Question> qs = target.questions();
    ASSERT_EQ(qs.size(), 3);
    EXPECT_TRUE(qs[1].text.isEmpty() && qs[1].answer.isEmpty());
    EXPECT_EQ(qs[1].score, 3.0);
    EXPECT_EQ(qs[1].remark, QStringLiteral("备"));
    EXPECT_EQ(qs[2].answer, QByteArray("{\\rtf1 a}"));

    // A chosen file that is not a bank: the store's message naming it, nothing changed.
    expect(Answer::Yes, junk, Answer::Yes);
    prompt.expectMessageStartingWith(QString(), QStringLiteral("错误"), Icon::Critical);
    EXPECT_FALSE(mergeBanks(prompt, target.path));
    EXPECT_TRUE(prompt.calls().last().text.contains(QStringLiteral("坏.tik")));
    EXPECT_EQ(target.bank().count(), 3);
    prompt.verify();
}

TEST(BankMaintenance, SortByChapterListKeepsNumbersAndUnlistedChapters)
{
    TempBank b;
    for (const char16_t* c : {u"第一章", u"其他", u"第二章", u"第一章", u"第二章"})
        ASSERT_TRUE(b.bank().add(question(QString::fromUtf16(c))));
    const QList<Question> before = b.questions();

    test::ScriptedPrompt prompt;
    prompt.expectMessage(QStringLiteral("排序成功！"), QStringLiteral("Quellmark"), Icon::Information);
    EXPECT_TRUE(sortBankByChapter(prompt, b.path, {QStringLiteral("第二章"), QStringLiteral("第一章")}));
    QList<qint64> ids;
    for (const Question& q : b.questions())
        ids << q.id;
    EXPECT_EQ(ids, QList<qint64>({before[2].id, before[4].id, before[0].id, before[3].id, before[1].id}));

    QTemporaryDir dir;
    prompt.expectMessageStartingWith(QString(), QStringLiteral("错误"), Icon::Critical);
    EXPECT_FALSE(sortBankByChapter(prompt, dir.filePath(QStringLiteral("没有.tik")), {}));
    prompt.verify();
}
