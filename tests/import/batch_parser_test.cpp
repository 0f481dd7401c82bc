#include "core/gbk.h"
#include "core/input_file.h"
#include "import/batch_parser.h"
#include "import/format_statement.h"
#include "support/qstring_print.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace qm::import;

namespace {

const QString kNotBatchFile = QStringLiteral("文件不是规定格式的！");

// Every question of a batch text; each name request is recorded and answered from
// `answers` in order (empty when they run out).
struct Imported {
    std::unique_ptr<BatchImport> run;
    QList<ImportQuestion> qs;
    QStringList prompts;
};

Imported importAll(const QString& text, QList<std::optional<QString>> answers = {})
{
    Imported out{std::make_unique<BatchImport>(text, detectFormat(text).value_or(BatchFormat::New)), {}, {}};
    const NameAsker ask = [&](const NameRequest& r) {
        out.prompts << r.prompt;
        return answers.isEmpty() ? std::optional<QString>(QString()) : answers.takeFirst();
    };
    while (auto q = out.run->next(ask))
        out.qs << *q;
    return out;
}

QList<BatchRecord> records(const QString& text)
{
    BatchScanner s(text, detectFormat(text).value_or(BatchFormat::New));
    QList<BatchRecord> out;
    while (auto r = s.next())
        out << *r;
    return out;
}

BatchCodes codes(int chapter, int unit, int type, int difficulty, int score)
{
    return BatchCodes{chapter, unit, type, difficulty, score};
}

}  // namespace

TEST(BatchFile, HeaderDecidesTheDialectAndUnicodeFilesAreRefused)
{
    EXPECT_EQ(detectFormat(u"题库$CP01"), BatchFormat::Old);
    // The second and third characters of "新题库" are "题库", but the file is new format.
    EXPECT_EQ(detectFormat(u"新题库\r\n"), BatchFormat::New);
    EXPECT_FALSE(detectFormat(u" 题库"));
    EXPECT_EQ(batchFileFromBytes(*qm::gbkEncode(u"新题库$")).format, BatchFormat::New);

    const QString body = QStringLiteral("新题库\r\n$CP01DY01SZ1LV1PT01 请回答1+1=? {2}$\r\n");
    const QString hint = QStringLiteral("\r\n文件是%1编码的文本，请将它另存为GBK（ANSI）编码的纯文本后再导入。");
    const QByteArray utf16 = QStringEncoder(QStringConverter::Utf16LE).encode(body);
    const QList<std::pair<QByteArray, QString>> refused = {
        {body.toUtf8(), kNotBatchFile + hint.arg(QStringLiteral("UTF-8"))},
        {"\xEF\xBB\xBF" + body.toUtf8(), kNotBatchFile + hint.arg(QStringLiteral("UTF-8"))},
        {"\xFF\xFE" + utf16, kNotBatchFile + hint.arg(QStringLiteral("UTF-16"))},
        {utf16, kNotBatchFile + hint.arg(QStringLiteral("UTF-16"))},
        {QByteArray("\x00\x01\xFF junk", 8), kNotBatchFile},
        {QByteArray(), kNotBatchFile},
    };
    for (const auto& [bytes, error] : refused) {
        const BatchFile f = batchFileFromBytes(bytes);
        EXPECT_FALSE(f.format);
        EXPECT_EQ(f.error, error);
    }
}

TEST(BatchFile, WhatIsNotAnOrdinaryFileOrTooLargeIsRefusedUnread)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("管道.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString large = dir.filePath(QStringLiteral("大.txt"));
    {
        // Sparse: one byte past 256 MB without writing them.
        QFile f(large);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.write(*qm::gbkEncode(QStringLiteral("新题库\r\n"))) > 0);
        ASSERT_TRUE(f.resize(qint64(256) * 1024 * 1024 + 1));
    }
    const QList<std::pair<QString, QString>> refused = {
        {QStringLiteral("/dev/zero"), QStringLiteral("“/dev/zero”不是普通文件，无法读取！")},
        {dir.path(), QStringLiteral("“%1”不是普通文件，无法读取！").arg(dir.path())},
        {fifo, QStringLiteral("“%1”不是普通文件，无法读取！").arg(fifo)},
        {large, QStringLiteral("文件“%1”大于256MB，无法读取！").arg(large)},
        {QStringLiteral("/nonexistent/题库.txt"), QStringLiteral("无法读取文件“/nonexistent/题库.txt”！")},
    };
    for (const auto& [path, error] : refused) {
        const BatchFile f = readBatchFile(path);
        EXPECT_FALSE(f.format);
        EXPECT_EQ(f.error, error);
        EXPECT_TRUE(f.text.isEmpty());
    }

    // Exactly 256 MB is still read.
    QFile f(large);
    ASSERT_TRUE(f.resize(qint64(256) * 1024 * 1024));
    f.close();
    const auto bytes = qm::readInputFile(large);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), qint64(256) * 1024 * 1024);
}

TEST(BatchOld, OneRecordAsksThreeNamesOnceAndKeepsBlanks)
{
    const auto r = importAll(QStringLiteral("题库\r\n$CP01SZ1LV1 请回答1+1=? $\r\n.......\r\n$CP01SZ1LV1 二$"),
                             {QStringLiteral("第一章"), QStringLiteral("容易"), QStringLiteral("问答题")});
    EXPECT_EQ(r.prompts, QStringList({QStringLiteral("请输入下列题目的章节名称：\r\n 请回答1+1=? "),
                                      QStringLiteral("请输入下列题目的难度等级：\r\n 请回答1+1=? "),
                                      QStringLiteral("请输入下列题目的题目类型：\r\n 请回答1+1=? ")}));
    ASSERT_EQ(r.qs.size(), 2);
    const ImportQuestion& q = r.qs[0];
    EXPECT_EQ(q.question, QStringLiteral(" 请回答1+1=? "));
    EXPECT_EQ(q.answer, QStringLiteral(" "));
    EXPECT_EQ(q.score, 1.0);
    EXPECT_FALSE(q.unit);
    EXPECT_EQ(QStringList({q.chapter, q.difficulty, q.type}), QStringList({"第一章", "容易", "问答题"}));
    EXPECT_EQ(r.qs[1].type, QStringLiteral("问答题"));
    EXPECT_EQ(r.run->endMessage(),
              QStringLiteral("导入文件执行完毕！题库中分值一律按１分计算，如需改变，请自行修改！"));
}

TEST(BatchOld, TagOrdersCaseAndCarryOver)
{
    const auto rs = records(
        QStringLiteral("题库$CP01SZ2LV3 a$ $SZ2LV3CP01 b$ $LV3SZ2CP01 c$ $SZ2CP01LV3 d$ $LV3CP01SZ2 e$ $CP01LV3SZ2 f$"
                       "$cp04sz5lv6 g$"
                       "$CP07xxxxxx h$"  // only the chapter: type and difficulty stay
                       "$XX99SZ8LV9 i$"  // unknown first tag: all three stay
                       "$SZ9 short$"));  // the code is taken as it falls, "$" included; the record never closes
    ASSERT_EQ(rs.size(), 10);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(rs[i].codes, codes(1, 0, 2, 3, 0)) << i;
    EXPECT_EQ(rs[6].codes, codes(4, 0, 5, 6, 0));
    EXPECT_EQ(rs[7].codes, codes(7, 0, 5, 6, 0));
    EXPECT_EQ(rs[8].codes, codes(7, 0, 5, 6, 0));
    EXPECT_EQ(rs[9].codes.type, 9);
    EXPECT_FALSE(rs[9].closed);
}

TEST(BatchNew, CodeWalkBracesAndTheCharacterBehindAName)
{
    const auto rs =
        records(QStringLiteral("新题库"
                               "$PT12LV3SZ4DY56CP78 a$"
                               "$cp01dy02sz3lv4pt05 前{甲}中 后{乙$&{丙}尾$"  // inside braces "$", "&" and "{" are text
                               "$xCP09yyyyyyyyyyyyy 无答案}$"                 // a "}" without "{" is question text
                               "$CP1 DY2 SZ3LV4PT-1x d$"                      // "1 " reads 1, "-1" is outside the table
                               // A "$" right behind a closing "&" is never examined: that record's text is skipped
                               // and its closing "$" opens a record instead. A lone "&" is passed over.
                               "& &SZ1问答题&$CP01DY01SZ1LV1PT01 甲$ & $CP02DY01SZ1LV1PT01 乙$"));
    ASSERT_EQ(rs.size(), 5);
    EXPECT_EQ(rs[0].codes, codes(78, 56, 4, 3, 12));
    EXPECT_EQ(rs[1].codes, codes(1, 2, 3, 4, 5));
    EXPECT_EQ(rs[1].question, QStringLiteral(" 前中 后尾"));
    EXPECT_EQ(rs[1].answer, QStringLiteral("甲乙$&{丙"));
    EXPECT_EQ(rs[2].codes, codes(9, 2, 3, 4, 5));
    EXPECT_EQ(rs[2].question, QStringLiteral(" 无答案}"));
    EXPECT_EQ(rs[2].answer, QString());
    EXPECT_EQ(rs[3].codes, codes(1, 2, 3, 4, -1));
    EXPECT_EQ(rs[4].codes, codes(2, 1, 1, 1, -1));  // code " & $CP02DY01SZ1LV1"
    EXPECT_EQ(rs[4].question, QStringLiteral("PT01 乙"));
}

TEST(BatchNew, DeclaredNamesJoinAndScoresNeedNoQuestion)
{
    const auto r = importAll(QStringLiteral("新题库\r\n&LV2一般&\r\n&CP01第一章 加法运算&\r\n&SZ1问答&\r\n&sz1题&\r\n"
                                            "&PT01 1 &\r\n&PT02 2.5分&\r\n&DY01一单元&\r\n"
                                            "$CP01DY01SZ1LV2PT01 请回答1+1=?    {填答案}$\r\n"
                                            "$PT02DY02xxxxxxxxxx 第二题$\r\n"),
                             {QStringLiteral("二单元")});
    ASSERT_EQ(r.qs.size(), 2);
    const ImportQuestion& q = r.qs[0];
    EXPECT_EQ(QStringList({q.chapter, q.type, q.difficulty, *q.unit, q.scoreName}),
              QStringList({"第一章 加法运算", "问答题", "一般", "一单元", " 1 "}));
    EXPECT_EQ(q.score, 1.0);
    EXPECT_EQ(q.question, QStringLiteral(" 请回答1+1=?    "));
    EXPECT_EQ(q.answer, QStringLiteral("填答案"));
    EXPECT_EQ(r.qs[1].score, 2.5);
    EXPECT_EQ(r.qs[1].answer, QStringLiteral(" "));
    // Only the unit of code 02 was missing; its code shows without the leading zero.
    EXPECT_EQ(r.prompts, QStringList{QStringLiteral("请输入下列题目的单元名称：DY2\r\n 第二题")});
    EXPECT_EQ(r.run->endMessage(), QStringLiteral("导入文件执行完毕！"));
}

TEST(BatchNew, AskOrderEmptyAnswersAndCodesOutsideTheTables)
{
    // Record one: chapter answered, difficulty cancelled, type empty, score, unit. Record
    // two asks the two empty names again. Chapter code -1 has no entry: asked every time.
    const auto r =
        importAll(QStringLiteral("新题库$CP10DY07SZ0LV9PT03 一$$CP10DY07SZ0LV9PT03 二$"
                                 "$CP-1DY07SZ0LV9PT03 三$$CP-1DY07SZ0LV9PT03 四$"),
                  {QStringLiteral("章"), std::nullopt, QString(), QStringLiteral("3"), QStringLiteral("元"),
                   QStringLiteral("难"), QStringLiteral("型"), QStringLiteral("负一"), QStringLiteral("又")});
    ASSERT_EQ(r.qs.size(), 4);
    EXPECT_EQ(r.prompts, QStringList({
                             QStringLiteral("请输入下列题目的章节名称：CP10\r\n 一"),
                             QStringLiteral("请输入下列题目的难度等级：LV9\r\n 一"),
                             QStringLiteral("请输入下列题目的题目类型：SZ0\r\n 一"),
                             QStringLiteral("请输入下列题目的题目分值：PT3\r\n 一"),
                             QStringLiteral("请输入下列题目的单元名称：DY7\r\n 一"),
                             QStringLiteral("请输入下列题目的难度等级：LV9\r\n 二"),
                             QStringLiteral("请输入下列题目的题目类型：SZ0\r\n 二"),
                             QStringLiteral("请输入下列题目的章节名称：CP-1\r\n 三"),
                             QStringLiteral("请输入下列题目的章节名称：CP-1\r\n 四"),
                         }));
    EXPECT_EQ(QStringList({r.qs[0].difficulty, r.qs[0].type, r.qs[1].difficulty}), QStringList({"", "", "难"}));
    EXPECT_EQ(r.qs[0].score, 3.0);
    EXPECT_EQ(QStringList({r.qs[2].chapter, r.qs[3].chapter}), QStringList({"负一", "又"}));
}

TEST(BatchEnd, UnfinishedItemsEndTheScanAndKeepTheirText)
{
    auto rs = records(QStringLiteral("题库$CP01SZ1LV1 没有结尾"));
    ASSERT_EQ(rs.size(), 1);
    EXPECT_FALSE(rs[0].closed);
    EXPECT_EQ(rs[0].question, QStringLiteral(" 没有结尾"));
    rs = records(QStringLiteral("新题库$CP01DY01SZ1LV1PT01 题{答$案"));
    ASSERT_EQ(rs.size(), 1);
    EXPECT_EQ(rs[0].question + u'|' + rs[0].answer, QStringLiteral(" 题|答$案"));

    BatchScanner s(QStringLiteral("新题库&CP01第一章"), BatchFormat::New);
    EXPECT_FALSE(s.next());
    EXPECT_EQ(s.names().name(NameKind::Chapter, 1), QStringLiteral("第一章"));

    // Records that hold nothing are passed over without asking.
    const auto r = importAll(QStringLiteral("新题库$CP01DY01SZ1LV1PT01$$CP01DY01SZ1LV1PT01{}$$CP01DY"));
    EXPECT_TRUE(r.qs.isEmpty());
    EXPECT_TRUE(r.prompts.isEmpty());
    EXPECT_EQ(r.run->emptyRecords(), 3);
}

TEST(BatchMalformed, TruncatedJunkAndFloodsFinish)
{
    const QByteArray sample = *qm::gbkEncode(QStringLiteral(
        "新题库\r\n&LV2一般&\r\n&CP01第一章 加法运算&\r\n&PT01 1 &\r\n$CP01DY01SZ1LV2PT01 请回答1+1=?    {填答案}$\r\n"
        "$CP01DY01SZ1LV2PT01 请回答1*2*3=?  {6}{六}$\r\n"));
    auto finishes = [](const QByteArray& bytes) {
        const BatchFile f = batchFileFromBytes(bytes);
        if (!f.format)
            return -1;
        BatchImport run(f.text, *f.format);
        int n = 0;
        while (run.next([](const NameRequest&) { return std::optional<QString>(); }))
            ++n;
        EXPECT_EQ(run.position(), run.size());
        return n;
    };
    for (qsizetype cut = 0; cut <= sample.size(); ++cut)
        EXPECT_LE(finishes(sample.left(cut)), 2);

    QRandomGenerator rng(8);
    const QByteArray headers[] = {"\xCC\xE2\xBF\xE2", "\xD0\xC2\xCC\xE2\xBF\xE2"};  // 题库, 新题库
    for (const QByteArray& header : headers) {
        QByteArray junk = header;
        for (int i = 0; i < 200000; ++i)
            junk.append(char(rng.bounded(256)));
        EXPECT_GE(finishes(junk), 0);
    }

    const QByteArray dollars(10 * 1024 * 1024, '$');
    EXPECT_EQ(finishes(dollars), -1);
    for (const QByteArray& header : headers)
        EXPECT_EQ(finishes(header + dollars), 0);
}

TEST(FormatStatement, LinesAsTheWindowShowsThem)
{
    const QStringList lines = formatStatementLines();
    ASSERT_EQ(lines.size(), 40);
    EXPECT_EQ(lines[11], QString(45, QChar(u'－')));
    EXPECT_EQ(lines[27], lines[11]);
    EXPECT_EQ(lines[23].count(QChar(0x1F)) + lines[24].count(QChar(0x1F)), 2);
    EXPECT_TRUE(formatStatement().startsWith(QStringLiteral("批量题库的文件格式说明:\r\n\r\n老格式:\r\n")));
    EXPECT_TRUE(formatStatement().endsWith(QStringLiteral("{填答案}$\r\n.......\r\n")));
    // The whole statement as teachers read it, U+001F in lines 24 and 25 included.
    const QString rule(45, QChar(u'－'));
    EXPECT_EQ(
        formatStatement(),
        QStringLiteral("批量题库的文件格式说明:\r\n"
                       "\r\n"
                       "老格式:\r\n"
                       "　　1、文件必须为纯文本格式。\r\n"
                       "　　2、文件开头必须是“题库”两字\r\n"
                       "　　3、每道题目以$CPxxSZyLVz开始、接着是题目、再以$结束。其中CP是章节，xx的范围00~99；SZ为\r\n"
                       "题型，y范围0~9；LV为难度，z的范围是0~9。\r\n"
                       "　　4、$必须配对使用，不得遗漏。该格式不支持分值录入。\r\n"
                       "　　5、数据导入时，需在提示时输入章节名、题型名等，每一类只需输一次即可。\r\n"
                       "\r\n"
                       "实例:\r\n")
            + rule
            + QStringLiteral(
                "\r\n"
                "题库\r\n"
                "$CP01SZ1LV1 请回答1+1=? $\r\n"
                ".......\r\n"
                "$CP02SZ1LV1 请回答1*2*3=? $\r\n"
                ".......\r\n"
                "\r\n"
                "新格式:\r\n"
                "　　1、文件必须为纯文本格式。\r\n"
                "　　2、文件开头必须是“新题库”三个字\r\n"
                "　　3、每道题目以$CPxxDYddSZyLVzPTww开始、接着是题目、再以$结束。其中CP是章节，xx的范围00~99；"
                "DY是单元，dd的范围00~99；SZ为题型，y范围0~9；LV为难度，z的范围是0~9；PT指分值，ww范围00~99。\r\n"
                "　　4、$必须配对使用，不得遗漏。\r\n"
                "　　5、文件中可加入 &CPxx 说明& 格式的章节说明，&SZx 说明&\x1f格式的题型说明，&LVx 说明& 格式的难度\r\n"
                "说明，&PTxx 说明&\x1f格式的分值说明。 该格式支持答案输入，可将答案用花括号{ }括在题目后$前。\r\n"
                "\r\n"
                "实例:\r\n")
            + rule
            + QStringLiteral("\r\n"
                             "新题库\r\n"
                             "&LV2一般&\r\n"
                             "&CP01第一章 加法运算&\r\n"
                             "&CP02第二章 乘法运算&\r\n"
                             "&SZ1问答题&\r\n"
                             "&PT01 1 &\r\n"
                             "&PT02 2 &\r\n"
                             ".......\r\n"
                             "$CP01DY01SZ1LV1PT01 请回答1+1=?    {填答案}$\r\n"
                             ".......\r\n"
                             "$CP02DY01SZ1LV1PT02 请回答1*2*3=?  {填答案}$\r\n"
                             ".......\r\n"));

    // The example of the statement reads as the statement says; LV1 and DY01 are undeclared.
    const auto r = importAll(lines.mid(28).join(QStringLiteral("\r\n")));
    ASSERT_EQ(r.qs.size(), 2);
    EXPECT_EQ(r.qs[1].chapter, QStringLiteral("第二章 乘法运算"));
    EXPECT_EQ(r.qs[1].score, 2.0);
    EXPECT_EQ(r.prompts.size(), 4);
}
