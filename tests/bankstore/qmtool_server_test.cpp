// The qmtool commands for banks on a PostgreSQL server.

#include "bankstore/bank_file.h"
#include "bankstore/paper_library.h"
#include "bankstore/server_store.h"
#include "bankstore/user_store.h"
#include "rtf/rich_text.h"
#include "support/qstring_print.h"
#include "support/run_qmtool.h"
#include "support/temp_dirs.h"
#include "support/test_server.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

class QmtoolServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!TestDatabase::configured())
            GTEST_SKIP() << "no test server";
        ASSERT_TRUE(db.ready()) << db.error().toStdString();
    }

    TestDatabase db{true, false};
};

}  // namespace

TEST_F(QmtoolServer, ImportThenExportGivesTheSameBanks)
{
    TempProgramDir dir(QStringList{"sample.tik"});
    // A work path keeps its banks in tiku/, one directory per subject.
    const QString workPath = dir.file("work/");
    const QString work = workPath + "TIKU/";
    ASSERT_TRUE(QDir().mkpath(work + "生物"));
    ASSERT_TRUE(QDir().mkpath(work + "数学"));
    ASSERT_TRUE(QFile::copy(dir.file("sample.tik"), work + "生物/题库样本－生物.TIK"));
    const QString algebra = work + "数学/代数.tik";
    ASSERT_TRUE(BankFile::createEmpty(algebra));
    BankFile bank(algebra);
    for (const char* text : {"一元二次方程？", "因式分解？", "删去的题"}) {
        Question q;
        q.text = rtfFromPlainText(QString::fromUtf8(text));
        q.type = "填空题";
        q.chapter = "第二章";
        q.score = 3;
        ASSERT_TRUE(bank.add(q));
    }
    ASSERT_TRUE(bank.remove(2));
    ASSERT_TRUE(bank.recordUsage({1}, {QDate(2026, 1, 10), "期末", "A卷"}));
    writeAll(work + "数学/说明.txt", "not a bank");
    // A paper library with two papers, the first without an answer sheet's text.
    writeAll(dir.file("卷.rtf"), "{\\rtf1\\ansi 第一题 \\par}");
    writeAll(dir.file("答.rtf"), "{\\rtf1\\ansi}");
    ASSERT_TRUE(PaperLibrary::createEmpty(work + "生物/期中.JUK"));
    ASSERT_EQ(qmtool({"library-add", work + "生物/期中.JUK", dir.file("卷.rtf"), dir.file("答.rtf"), "--name", "期中"})
                  .exitCode,
              0);
    ASSERT_EQ(qmtool({"library-add", work + "生物/期中.JUK", dir.file("答.rtf"), dir.file("卷.rtf"), "--name",
                      "补考 \"B\"", "--setter", "王老师"})
                  .exitCode,
              0);

    ASSERT_TRUE(UserStore::create(workPath + "TIKU.PSW"));
    ASSERT_TRUE(UserStore(workPath + "TIKU.PSW").add({"SYSTEM", ""}));
    ASSERT_TRUE(UserStore(workPath + "TIKU.PSW").add({"王老师", "abc"}));

    const QString uri = db.uri();
    ToolRun run = qmtool({"server-import", workPath, uri});
    EXPECT_EQ(run.exitCode, 1);
    // (Qt may warn on stderr before the message: only the message is compared.)
    EXPECT_TRUE(run.err.endsWith(
        QStringLiteral("qmtool: 数据库“%1”中还没有题库表，请先用“qmtool server-init”建立。\n").arg(uri)))
        << run.err.toStdString();
    run = qmtool({"server-init", uri});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "数据库已可存放题库。\n");
    run = qmtool({"server-import", workPath, uri});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("用户：2个\n数学/代数.tik：2道题\n生物/题库样本－生物.TIK："))
        << run.out.toStdString();
    EXPECT_TRUE(UserStore(uri).checkLogin("王老师", "abc")->passwordRight);
    EXPECT_TRUE(run.out.endsWith("生物/期中.JUK：2份试卷\n共复制题库2个，试卷库1个\n")) << run.out.toStdString();
    // Nothing is copied over what the server has.
    run = qmtool({"server-import", workPath, uri});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.endsWith(
        "qmtool: 数据库中已有下列题库或试卷库，没有复制任何文件：数学/代数.tik，生物/题库样本－生物.TIK，"
        "生物/期中.JUK\n"))
        << run.err.toStdString();

    // Commands that take a bank take one on the server.
    const QString onServer = serverBankPath(uri, "数学", "代数.tik");
    run = qmtool({"usage", onServer});
    EXPECT_EQ(run.out, "1\t1\t2026-01-10\tA卷\n");

    const QString backPath = dir.file("back/");
    const QString back = backPath + "tiku/";
    ASSERT_TRUE(QDir().mkpath(backPath));
    run = qmtool({"server-export", uri, backPath});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.endsWith("共复制题库2个，试卷库1个\n用户口令在数据库中只存有加密形式，没有写出用户文件。\n"))
        << run.out.toStdString();
    for (const char* name : {"数学/代数.tik", "生物/题库样本－生物.TIK"}) {
        const ToolRun original = qmtool({"bank-dump", work + name});
        ASSERT_EQ(original.exitCode, 0);
        EXPECT_EQ(qmtool({"bank-dump", back + name}).out, original.out) << name;
        EXPECT_EQ(
            qmtool({"bank-dump", serverBankPath(uri, QString(name).section('/', 0, 0), QString(name).section('/', 1))})
                .out,
            original.out)
            << name;
        EXPECT_EQ(qmtool({"usage", back + name}).out, qmtool({"usage", work + name}).out);
    }
    const ToolRun papers = qmtool({"library-dump", work + "生物/期中.JUK"});
    EXPECT_TRUE(papers.out.startsWith("共有试卷2份\n")) << papers.out.toStdString();
    EXPECT_EQ(qmtool({"library-dump", back + "生物/期中.JUK"}).out, papers.out);
    EXPECT_EQ(qmtool({"library-dump", serverBankPath(uri, "生物", "期中.JUK")}).out, papers.out);
    // A paper is filed into the library on the server as into a file.
    run = qmtool({"library-add", serverBankPath(uri, "生物", "期中.JUK"), dir.file("卷.rtf"), dir.file("答.rtf"),
                  "--name", "期末"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(qmtool({"library-dump", serverBankPath(uri, "生物", "期中.JUK")}).out.startsWith("共有试卷3份\n"));

    // The next question gets the next 编号 of the original.
    ASSERT_TRUE(BankFile(back + "数学/代数.tik").add(Question{}));
    EXPECT_EQ(BankFile(back + "数学/代数.tik").read(-1)->question.id, 4);

    run = qmtool({"server-export", uri, backPath});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(
        QStringLiteral("qmtool: 下列文件已存在，没有写出任何文件：%1生物/题库样本－生物.TIK，%1数学/代数.tik，"
                       "%1生物/期中.JUK\n")
            .arg(back)))
        << run.err.toStdString();
    run = qmtool({"server-export", uri});
    EXPECT_EQ(run.exitCode, 2);
}
