#include "bankstore/bank_file.h"
#include "core/gbk.h"
#include "import/import_run.h"
#include "rtf/rich_text.h"
#include "support/qstring_print.h"
#include "support/scripted_prompt.h"
#include "support/temp_bank.h"
#include "support/temp_dirs.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::import;
using qm::test::question;
using qm::test::TempBank;

namespace {

// Imports `text`, asking for names through `prompt`.
ImportOutcome importText(const QString& bankPath, const QString& text, Prompt& prompt)
{
    BatchImport batch(text, *detectFormat(text));
    ImportRun run(bankPath, batch);
    run.setOldFormatUnit(QStringLiteral("一单元"));
    return run.run(askThrough(prompt));
}

}  // namespace

TEST(ImportRun, OldFormatStoresTextWithBlanksScoreOneAndAddsMissingNames)
{
    TempBank b;
    ASSERT_TRUE(b.bank().appendToList(AttributeList::Types, QStringLiteral("问答题")));
    test::ScriptedPrompt prompt;
    prompt
        .expectInput(QStringLiteral("请输入下列题目的章节名称：\r\n 请回答1+1=? "), QStringLiteral("导入题库"),
                     QStringLiteral("第一章"))
        .expectInput(QStringLiteral("请输入下列题目的难度等级：\r\n 请回答1+1=? "), QStringLiteral("导入题库"),
                     QStringLiteral("容易"))
        .expectInput(QStringLiteral("请输入下列题目的题目类型：\r\n 请回答1+1=? "), QStringLiteral("导入题库"),
                     QStringLiteral("问答题"));
    EXPECT_EQ(
        importText(b.path, QStringLiteral("题库\r\n$CP01SZ1LV1 请回答1+1=? $\r\n$cp01sz1lv1 第二行\r\n续行$"), prompt),
        ImportOutcome::Finished);
    prompt.verify();
    const QList<Question> qs = b.questions();
    ASSERT_EQ(qs.size(), 2);
    EXPECT_EQ(rtfPlainText(qs[0].text), QStringLiteral(" 请回答1+1=? "));
    EXPECT_EQ(rtfPlainText(qs[0].answer), QStringLiteral(" "));
    EXPECT_EQ(qs[0].score, 1.0);
    EXPECT_EQ(QStringList({qs[0].chapter, qs[0].difficulty, qs[0].type, qs[0].unit}),
              QStringList({"第一章", "容易", "问答题", "一单元"}));
    EXPECT_EQ(rtfPlainText(qs[1].text), QStringLiteral(" 第二行\n续行"));
    // The type was listed already; the old format adds no unit.
    EXPECT_EQ(b.list(AttributeList::Types), QStringList{"问答题"});
    EXPECT_EQ(b.list(AttributeList::Chapters), QStringList{"第一章"});
    EXPECT_EQ(b.list(AttributeList::Difficulties), QStringList{"容易"});
    EXPECT_TRUE(b.list(AttributeList::Units).isEmpty());
}

TEST(ImportRun, NewFormatStoresScoresAnswersAndListsNonEmptyNames)
{
    TempBank b;
    ASSERT_TRUE(b.bank().add(question(QStringLiteral("旧章"), "{\\rtf1 old}")));
    // The unit of DY02 is answered empty: stored empty and not listed. The last record
    // has no closing "$" and is kept up to the end of the file.
    test::ScriptedPrompt prompt;
    prompt.expectInput(QStringLiteral("请输入下列题目的单元名称：DY2\r\n 无答案"), QStringLiteral("导入题库"),
                       QString());
    EXPECT_EQ(importText(
                  b.path,
                  QStringLiteral("新题库\r\n&CP01第一章&\r\n&SZ1问答题&\r\n&LV2一般&\r\n&PT01 2.5 &\r\n&DY01甲单元&\r\n"
                                 "$CP01DY01SZ1LV2PT01 请回答1+1=?    {填答案}$\r\n"
                                 "$DY02xxxxxxxxxxxxxx 无答案$\r\n"
                                 "$DY01xxxxxxxxxxxxxx 没有结尾 {答"),
                  prompt),
              ImportOutcome::Finished);
    prompt.verify();
    const QList<Question> qs = b.questions();
    ASSERT_EQ(qs.size(), 4);
    EXPECT_EQ(rtfPlainText(qs[1].text), QStringLiteral(" 请回答1+1=?    "));
    EXPECT_EQ(rtfPlainText(qs[1].answer), QStringLiteral("填答案"));
    EXPECT_EQ(qs[1].score, 2.5);
    EXPECT_EQ(QStringList({qs[1].chapter, qs[1].type, qs[1].difficulty, qs[1].unit}),
              QStringList({"第一章", "问答题", "一般", "甲单元"}));
    EXPECT_EQ(rtfPlainText(qs[2].answer), QStringLiteral(" "));
    EXPECT_EQ(qs[2].unit, QString());
    EXPECT_EQ(rtfPlainText(qs[3].text) + u'|' + rtfPlainText(qs[3].answer), QStringLiteral(" 没有结尾 |答"));
    EXPECT_EQ(b.list(AttributeList::Units), QStringList{"甲单元"});
    EXPECT_EQ(b.list(AttributeList::Chapters), QStringList{"第一章"});
}

TEST(ImportRun, CommitsBeforeEachQuestionAndCancelKeepsWhatIsStored)
{
    TempBank b;
    const QString text = QStringLiteral("新题库&CP01一&\r\n&SZ1二&\r\n&LV1三&\r\n&PT01 1&\r\n&DY01四&\r\n"
                                        "$CP01DY01SZ1LV1PT01 一$$CP02DY01SZ1LV1PT01 二$$CP01DY01SZ1LV1PT01 三$"
                                        "$CP01DY01SZ1LV1PT01 四$");
    BatchImport batch(text, BatchFormat::New);
    ImportRun run(b.path, batch);
    QList<ImportProgress> reports;
    run.setProgress([&](const ImportProgress& p) {
        reports << p;
        return p.stored < 3;
    });
    int asked = 0;
    EXPECT_EQ(run.run([&](const NameRequest&) -> std::optional<QString> {
        ++asked;
        // The question before is in the bank, and the bank is free for other writers.
        EXPECT_EQ(b.bank().count(), 1);
        EXPECT_TRUE(b.bank().appendToList(AttributeList::Chapters, QStringLiteral("别处加的")));
        return std::nullopt;
    }),
              ImportOutcome::Cancelled);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(run.stored(), 3);
    EXPECT_EQ(b.bank().count(), 3);
    ASSERT_EQ(reports.size(), 3);
    EXPECT_EQ(reports[0].stored, 1);
    EXPECT_LT(reports[0].position, reports[1].position);
    EXPECT_EQ(reports[2].size, text.size());
    // A cancelled box stores an empty chapter, which is not listed.
    EXPECT_EQ(b.questions()[1].chapter, QString());
    EXPECT_EQ(b.list(AttributeList::Chapters), QStringList({"一", "别处加的"}));
}

TEST(ImportRun, TwoImportsIntoOneBankListEachNameOnce)
{
    TempBank b;
    // Listed twice on purpose by the user: neither import adds a third.
    ASSERT_TRUE(b.bank().appendToList(AttributeList::Types, QStringLiteral("问答题")));
    ASSERT_TRUE(b.bank().appendToList(AttributeList::Types, QStringLiteral("问答题")));
    const QString names = QStringLiteral("新题库&CP01第一章&\r\n&SZ1问答题&\r\n&LV1容易&\r\n&PT01 1&\r\n");
    // The first import asks for the unit of its first question; while the user thinks,
    // a second import stores questions with the same names.
    BatchImport first(names + QStringLiteral("$CP01DY01SZ1LV1PT01 甲$$CP01DY01SZ1LV1PT01 乙$"), BatchFormat::New);
    ImportRun firstRun(b.path, first);
    int asked = 0;
    const auto outcome = firstRun.run([&](const NameRequest&) -> std::optional<QString> {
        ++asked;
        BatchImport second(names + QStringLiteral("&DY01一单元&\r\n$CP01DY01SZ1LV1PT01 丙$"), BatchFormat::New);
        ImportRun secondRun(b.path, second);
        EXPECT_EQ(secondRun.run({}), ImportOutcome::Finished);
        return QStringLiteral("一单元");
    });
    EXPECT_EQ(outcome, ImportOutcome::Finished);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(b.bank().count(), 3);
    EXPECT_EQ(b.list(AttributeList::Types), QStringList({"问答题", "问答题"}));
    EXPECT_EQ(b.list(AttributeList::Chapters), QStringList{"第一章"});
    EXPECT_EQ(b.list(AttributeList::Difficulties), QStringList{"容易"});
    EXPECT_EQ(b.list(AttributeList::Units), QStringList{"一单元"});
}

TEST(ImportRun, AQuestionAnotherWriterAddsMeanwhileKeepsItsPlace)
{
    TempBank b;
    ASSERT_TRUE(b.bank().add(question(QStringLiteral("第一章"), rtfFromPlainText(QStringLiteral("原有")))));
    // 丙 names a chapter the file does not declare: the import commits 甲 and 乙 and asks.
    // Meanwhile the bank window on another computer adds a question and lists its chapter.
    BatchImport batch(QStringLiteral("新题库&CP01第一章&\r\n&SZ1问答题&\r\n&LV1容易&\r\n&PT01 1&\r\n&DY01一单元&\r\n"
                                     "$CP01DY01SZ1LV1PT01 甲$$CP01DY01SZ1LV1PT01 乙$"
                                     "$CP02DY01SZ1LV1PT01 丙$$CP02DY01SZ1LV1PT01 丁$"),
                      BatchFormat::New);
    ImportRun run(b.path, batch);
    int asked = 0;
    const ImportOutcome outcome = run.run([&](const NameRequest&) -> std::optional<QString> {
        ++asked;
        EXPECT_EQ(b.bank().count(), 3);
        EXPECT_EQ(b.bank().add(question(QStringLiteral("第二章"), rtfFromPlainText(QStringLiteral("别处")))), 3);
        EXPECT_TRUE(b.bank().appendToList(AttributeList::Chapters, QStringLiteral("第二章")));
        return QStringLiteral("第二章");
    });
    EXPECT_EQ(outcome, ImportOutcome::Finished) << run.error().toStdString();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(run.stored(), 4);

    // The import goes on behind the other question, which stays where it was added, with
    // its 编号; nothing is listed twice.
    QStringList texts;
    QSet<qint64> ids;
    for (const Question& q : b.questions()) {
        texts << rtfPlainText(q.text).trimmed();
        ids << q.id;
    }
    EXPECT_EQ(texts, QStringList({"原有", "甲", "乙", "别处", "丙", "丁"}));
    EXPECT_EQ(ids.size(), 6);
    EXPECT_EQ(b.bank().read(3)->question.chapter, QStringLiteral("第二章"));
    EXPECT_EQ(b.list(AttributeList::Chapters), QStringList({"第一章", "第二章"}));
}

TEST(ImportRun, AFileThatIsNotABankFailsUntouched)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("坏.tik"));
    ASSERT_TRUE(test::writeAll(path, "not a database"));
    BatchImport batch(QStringLiteral("题库$CP01SZ1LV1 题$"), BatchFormat::Old);
    ImportRun run(path, batch);
    EXPECT_EQ(run.run({}), ImportOutcome::Failed);
    EXPECT_TRUE(run.error().contains(QStringLiteral("坏.tik"))) << run.error().toStdString();
    EXPECT_EQ(test::readAll(path), QByteArray("not a database"));
}

TEST(QmTool, ImportListsUndeclaredNamesAndPrintsTheEndMessage)
{
    TempBank b;
    auto runTool = [&](const QString& name, const QByteArray& bytes, QString* out, QString* err) {
        const QString file = b.dir.filePath(name);
        EXPECT_TRUE(test::writeAll(file, bytes));
        QProcess tool;
        tool.start(test::shippedDir() + QStringLiteral("qmtool"), {QStringLiteral("import"), b.path, file});
        EXPECT_TRUE(tool.waitForFinished(60000));
        *out = QString::fromUtf8(tool.readAllStandardOutput());
        *err = QString::fromUtf8(tool.readAllStandardError());  // Qt may add notes of its own
        return tool.exitCode();
    };
    QString out, err;
    EXPECT_EQ(runTool(QStringLiteral("题.txt"),
                      *gbkEncode(QStringLiteral("新题库&CP01第一章&\r\n&SZ1问答题&\r\n&LV1易&\r\n&PT01 1 &\r\n"
                                                "$CP01DY01SZ1LV1PT01 甲$$CP01DY01SZ1LV1PT01 乙$")),
                      &out, &err),
              0);
    EXPECT_EQ(out, QStringLiteral("导入文件执行完毕！\n已导入2道题。\n"));
    EXPECT_TRUE(err.contains(QStringLiteral("单元 DY1 未声明，存为空名称。\n"))) << err.toStdString();
    EXPECT_EQ(err.count(QStringLiteral("未声明")), 1);
    EXPECT_EQ(b.bank().count(), 2);

    EXPECT_EQ(runTool(QStringLiteral("utf8.txt"), QStringLiteral("题库$CP01SZ1LV1 甲$").toUtf8(), &out, &err), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("文件不是规定格式的！\r\n")));
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(b.bank().count(), 2);

    // The number is what this run stored: not the bank's total, not an empty record.
    EXPECT_EQ(
        runTool(QStringLiteral("旧.txt"), *gbkEncode(QStringLiteral("题库$CP01SZ1LV1 乙$$CP01SZ1LV1$")), &out, &err),
        0);
    EXPECT_EQ(out,
              QStringLiteral("导入文件执行完毕！题库中分值一律按１分计算，如需改变，请自行修改！\n已导入1道题。\n"));
    EXPECT_EQ(b.bank().count(), 3);
}

TEST(QmTool, ImportRefusesADeviceWithoutReadingIt)
{
    TempBank b;
    QProcess tool;
    tool.start(test::shippedDir() + QStringLiteral("qmtool"),
               {QStringLiteral("import"), b.path, QStringLiteral("/dev/zero")});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(tool.readAllStandardError())
                    .contains(QStringLiteral("“/dev/zero”不是普通文件，无法读取！\n")));
    EXPECT_EQ(b.bank().count(), 0);
}

TEST(ImportRun, QuestionsTheBankHasAreSkippedOrStoredAsTheTeacherChooses)
{
    const QString file = QStringLiteral("新题库&CP01第一章&\r\n&SZ1问答题&\r\n&LV1易&\r\n&PT01 2 &\r\n&DY01一单元&\r\n"
                                        "$CP01DY01SZ1LV1PT01 细胞是什么？{单位}$\r\n"
                                        "$CP01DY01SZ1LV1PT01 叶绿体在哪里？$\r\n"
                                        "$CP01DY01SZ1LV1PT01 叶绿体在哪里？ $\r\n"
                                        "$CP01DY01SZ1LV1PT01 ＡＴＰ是什么？$\r\n");
    for (const bool skip : {true, false}) {
        TempBank b;
        ASSERT_TRUE(b.bank().add(question("第一章", rtfFromPlainText(" 细胞是什么？"), rtfFromPlainText("单位"))));
        ASSERT_TRUE(b.bank().add(question("第一章", rtfFromPlainText("ATP是什么？"))));
        BatchImport batch(file, BatchFormat::New);
        ImportRun run(b.path, batch);
        int asked = 0;
        run.setDuplicateChoice([&] {
            ++asked;
            return skip;
        });
        EXPECT_EQ(run.run({}), ImportOutcome::Finished);
        EXPECT_EQ(asked, 1);  // once, at the first
        EXPECT_EQ(run.stored(), skip ? 1 : 4);
        EXPECT_EQ(run.skipped(), skip ? 3 : 0);
        EXPECT_EQ(b.bank().count(), skip ? 3 : 6);
    }

    // qmtool import --skip-duplicates.
    TempBank b;
    QTemporaryDir dir;
    const QString path = dir.filePath("题.txt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(*gbkEncode(file));
    f.close();
    QProcess tool;
    tool.start(test::shippedDir() + QStringLiteral("qmtool"), {"import", b.path, path, "--skip-duplicates"});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(tool.readAllStandardOutput()).endsWith("已导入3道题。\n跳过重复的题1道。\n"));
}
