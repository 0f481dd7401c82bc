#include "core/gbk.h"
#include "import/batch_parser.h"
#include "import/format_statement.h"
#include "import/import_texts.h"

#include <QRandomGenerator>
#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace qm::import;

namespace {

// Answers name requests from a list, in order, and records every prompt.
struct Asker {
    explicit Asker(QList<std::optional<QString>> a = {}) : answers(std::move(a)) {}
    QList<std::optional<QString>> answers;
    QStringList prompts;
    NameAsker fn()
    {
        return [this](const NameRequest& r) -> std::optional<QString> {
            prompts << r.prompt;
            return answers.isEmpty() ? std::optional<QString>(QString()) : answers.takeFirst();
        };
    }
};

// Every question of a batch text, and the run that gave them.
struct Imported {
    std::unique_ptr<BatchImport> run;
    QList<ImportQuestion> qs;
};

Imported importAll(const QString& text, Asker& asker)
{
    Imported out{std::make_unique<BatchImport>(text, detectFormat(text).value_or(BatchFormat::New)), {}};
    const NameAsker ask = asker.fn();
    while (auto q = out.run->next(ask))
        out.qs << *q;
    return out;
}

QList<BatchRecord> records(const QString& text, BatchFormat format)
{
    BatchScanner s(text, format);
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

TEST(BatchFormat, HeaderDecidesTheDialect)
{
    EXPECT_EQ(detectFormat(u"题库$CP01"), BatchFormat::Old);
    // The second and third characters of "新题库" are "题库", but the file is new format.
    EXPECT_EQ(detectFormat(u"新题库\r\n"), BatchFormat::New);
    EXPECT_FALSE(detectFormat(u" 题库"));
    EXPECT_FALSE(detectFormat(u"题"));
    EXPECT_FALSE(detectFormat(u""));

    const BatchFile ok = batchFileFromBytes(*qm::gbkEncode(u"新题库$CP01DY01SZ1LV1PT01 q$"));
    EXPECT_EQ(ok.format, BatchFormat::New);
    EXPECT_TRUE(ok.error.isEmpty());
}

TEST(BatchFormat, UnicodeFilesAreRefusedWithAHint)
{
    const QString body = QStringLiteral("新题库\r\n$CP01DY01SZ1LV1PT01 请回答1+1=? {2}$\r\n");
    const QString utf8Hint = kNotBatchFile
        + QStringLiteral("\r\n文件是UTF-8编码的文本，请将它另存为GBK（ANSI）编码的纯文本后再导入。");
    const QString utf16Hint = kNotBatchFile
        + QStringLiteral("\r\n文件是UTF-16编码的文本，请将它另存为GBK（ANSI）编码的纯文本后再导入。");
    struct Case {
        QByteArray bytes;
        QString error;
    };
    const QList<Case> cases = {
        {body.toUtf8(), utf8Hint},
        {"\xEF\xBB\xBF" + body.toUtf8(), utf8Hint},
        {QByteArray("\xFF\xFE") + QStringEncoder(QStringConverter::Utf16LE).encode(body), utf16Hint},
        {QByteArray("\xFE\xFF") + QStringEncoder(QStringConverter::Utf16BE).encode(body), utf16Hint},
        {QStringEncoder(QStringConverter::Utf16LE).encode(body), utf16Hint},
        {QByteArray("\x00\x01\x02\xFF binary", 12), kNotBatchFile},
        {QByteArray(), kNotBatchFile},
    };
    for (const Case& c : cases) {
        const BatchFile f = batchFileFromBytes(c.bytes);
        EXPECT_FALSE(f.format);
        EXPECT_EQ(f.error, c.error);
    }
    EXPECT_FALSE(readBatchFile(QStringLiteral("/nonexistent/题库.txt")).format);
}

TEST(BatchOld, OneRecordAsksThreeNamesOnceAndKeepsBlanks)
{
    Asker asker{{QStringLiteral("第一章"), QStringLiteral("容易"), QStringLiteral("问答题")}};
    const auto [run, qs] = importAll(QStringLiteral("题库\r\n$CP01SZ1LV1 请回答1+1=? $\r\n.......\r\n"
                                                    "$CP01SZ1LV1 请回答1*2*3=? $"),
                                     asker);
    ASSERT_EQ(qs.size(), 2);
    EXPECT_EQ(asker.prompts, QStringList({QStringLiteral("请输入下列题目的章节名称：\r\n 请回答1+1=? "),
                                          QStringLiteral("请输入下列题目的难度等级：\r\n 请回答1+1=? "),
                                          QStringLiteral("请输入下列题目的题目类型：\r\n 请回答1+1=? ")}));
    const ImportQuestion& q = qs[0];
    EXPECT_EQ(q.question, QStringLiteral(" 请回答1+1=? "));
    EXPECT_EQ(q.answer, QStringLiteral(" "));
    EXPECT_EQ(q.score, 1.0);
    EXPECT_EQ(q.scoreName, QStringLiteral("1"));
    EXPECT_FALSE(q.unit);
    EXPECT_EQ(q.chapter, QStringLiteral("第一章"));
    EXPECT_EQ(q.difficulty, QStringLiteral("容易"));
    EXPECT_EQ(q.type, QStringLiteral("问答题"));
    EXPECT_EQ(qs[1].chapter, QStringLiteral("第一章"));
    EXPECT_EQ(qs[1].question, QStringLiteral(" 请回答1*2*3=? "));
    EXPECT_EQ(run->endMessage(), kEndOld);
}

TEST(BatchOld, TagOrdersCaseAndCarryOver)
{
    const QString text = QStringLiteral(
        "题库"
        "$CP01SZ2LV3 a$ $SZ2LV3CP01 b$ $LV3SZ2CP01 c$ $SZ2CP01LV3 d$ $LV3CP01SZ2 e$ $CP01LV3SZ2 f$"
        "$cp04sz5lv6 g$"
        "$CP07xxxxxx h$"   // only the chapter: type and difficulty stay
        "$XX99SZ8LV9 i$"   // unknown first tag: all three stay
        "$SZ9 short$");    // the code is taken as it falls: "SZ9 short$" is 10 characters
    const auto rs = records(text, BatchFormat::Old);
    ASSERT_EQ(rs.size(), 10);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(rs[i].codes, codes(1, 0, 2, 3, 0)) << i;
    EXPECT_EQ(rs[0].question, QStringLiteral(" a"));
    EXPECT_EQ(rs[6].codes, codes(4, 0, 5, 6, 0));
    EXPECT_EQ(rs[7].codes, codes(7, 0, 5, 6, 0));
    EXPECT_EQ(rs[8].codes, codes(7, 0, 5, 6, 0));
    EXPECT_EQ(rs[9].codes.type, 9);
    EXPECT_EQ(rs[9].question, QString());
    EXPECT_FALSE(rs[9].closed);
}

TEST(BatchNew, CodeWalkInAnyOrderAndCarryOver)
{
    const QString text = QStringLiteral(
        "新题库"
        "$PT12LV3SZ4DY56CP78 a$"
        "$cp01dy02sz3lv4pt05 b$"
        "$xCP09yyyyyyyyyyyyy c$"       // one tag after an unknown character: the rest stays
        "$CP1 DY2 SZ3LV4PT5xx d$"      // "1 " and "2 " read as 1 and 2
        "$PT-1SZ1LV1DY01CP01 e$");     // a sign: score code -1
    const auto rs = records(text, BatchFormat::New);
    ASSERT_EQ(rs.size(), 5);
    EXPECT_EQ(rs[0].codes, codes(78, 56, 4, 3, 12));
    EXPECT_EQ(rs[1].codes, codes(1, 2, 3, 4, 5));
    EXPECT_EQ(rs[2].codes, codes(9, 2, 3, 4, 5));
    EXPECT_EQ(rs[3].codes, codes(1, 2, 3, 4, 5));
    EXPECT_EQ(rs[4].codes, codes(1, 1, 1, 1, -1));
    EXPECT_EQ(rs[0].question, QStringLiteral(" a"));
}

TEST(BatchNew, BraceGroupsJoinIntoTheAnswer)
{
    const auto rs = records(QStringLiteral("新题库$CP01DY01SZ1LV1PT01 前{甲}中 后{乙$&{丙}尾$"
                                           "$CP01DY01SZ1LV1PT01 无答案}$"),
                            BatchFormat::New);
    ASSERT_EQ(rs.size(), 2);
    EXPECT_EQ(rs[0].question, QStringLiteral(" 前中 后尾"));
    EXPECT_EQ(rs[0].answer, QStringLiteral("甲乙$&{丙"));
    // A "}" without its "{" is question text.
    EXPECT_EQ(rs[1].question, QStringLiteral(" 无答案}"));
    EXPECT_EQ(rs[1].answer, QString());
}

TEST(BatchNew, DeclaredNamesScoresAndPrompts)
{
    Asker asker{{QStringLiteral("二单元")}};
    const auto [run, qs] = importAll(QStringLiteral("新题库\r\n&LV2一般&\r\n&CP01第一章 加法运算&\r\n&SZ1问答&\r\n"
                                             "&sz1题&\r\n&PT01 1 &\r\n&PT02 2.5分&\r\n&DY01一单元&\r\n"
                                             "$CP01DY01SZ1LV2PT01 请回答1+1=?    {填答案}$\r\n"
                                             "$PT02DY02xxxxxxxxxx 第二题$\r\n"),
                              asker);
    ASSERT_EQ(qs.size(), 2);
    EXPECT_EQ(qs[0].chapter, QStringLiteral("第一章 加法运算"));
    EXPECT_EQ(qs[0].type, QStringLiteral("问答题"));
    EXPECT_EQ(qs[0].difficulty, QStringLiteral("一般"));
    EXPECT_EQ(qs[0].unit, QStringLiteral("一单元"));
    EXPECT_EQ(qs[0].scoreName, QStringLiteral(" 1 "));
    EXPECT_EQ(qs[0].score, 1.0);
    EXPECT_EQ(qs[0].question, QStringLiteral(" 请回答1+1=?    "));
    EXPECT_EQ(qs[0].answer, QStringLiteral("填答案"));
    EXPECT_EQ(qs[1].score, 2.5);
    EXPECT_EQ(qs[1].answer, QStringLiteral(" "));
    // Only the unit of code 02 was missing; the code shows without leading zero.
    EXPECT_EQ(asker.prompts, QStringList{QStringLiteral("请输入下列题目的单元名称：DY2\r\n 第二题")});
    EXPECT_EQ(qs[1].unit, QStringLiteral("二单元"));
    EXPECT_EQ(run->endMessage(), kEndNew);
}

TEST(BatchNew, AskOrderEmptyAnswersAndCodesOutsideTheTables)
{
    // First record: chapter answered, difficulty cancelled, type empty, score "3", unit.
    Asker asker{{QStringLiteral("章"), std::nullopt, QString(), QStringLiteral("3"), QStringLiteral("元"),
                 // second record: the two empty names are asked again
                 QStringLiteral("难"), QStringLiteral("型"),
                 // third record: chapter code -1 has no entry and is asked every time
                 QStringLiteral("负一"), QStringLiteral("负一又")}};
    const auto [run, qs] = importAll(QStringLiteral("新题库$CP10DY07SZ0LV9PT03 一$$CP10DY07SZ0LV9PT03 二$"
                                             "$CP-1DY07SZ0LV9PT03 三$$CP-1DY07SZ0LV9PT03 四$"),
                              asker);
    ASSERT_EQ(qs.size(), 4);
    EXPECT_EQ(asker.prompts, QStringList({
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
    EXPECT_EQ(qs[0].difficulty, QString());
    EXPECT_EQ(qs[0].type, QString());
    EXPECT_EQ(qs[0].score, 3.0);
    EXPECT_EQ(qs[1].difficulty, QStringLiteral("难"));
    EXPECT_EQ(qs[2].chapter, QStringLiteral("负一"));
    EXPECT_EQ(qs[3].chapter, QStringLiteral("负一又"));
}

TEST(BatchNew, CharacterBehindAClosingAmpersandIsNeverExamined)
{
    // The "$" right behind "&" is lost, so the record's text is skipped and its closing
    // "$" opens a record instead. A bare "&" with no tag is passed over.
    BatchScanner s(QStringLiteral("新题库& &SZ1问答题&$CP01DY01SZ1LV1PT01 甲$ & $CP02DY01SZ1LV1PT01 乙$"),
                   BatchFormat::New);
    EXPECT_EQ(s.names().name(NameKind::Type, 1), QString());
    const auto r = s.next();
    ASSERT_TRUE(r);
    EXPECT_EQ(s.names().name(NameKind::Type, 1), QStringLiteral("问答题"));
    // The code took " & $CP02DY01SZ1LV1", the rest of the second record is the text.
    EXPECT_EQ(r->question, QStringLiteral("PT01 乙"));
    EXPECT_EQ(r->codes, codes(2, 1, 1, 1, 0));
    EXPECT_FALSE(s.next());
}

TEST(BatchEnd, UnfinishedItemsEndTheScanAndKeepTheirText)
{
    auto one = [](const QString& text, BatchFormat f) {
        const auto rs = records(text, f);
        EXPECT_EQ(rs.size(), 1) << text.toStdString();
        return rs.value(0);
    };
    BatchRecord r = one(QStringLiteral("题库$CP01SZ1LV1 没有结尾"), BatchFormat::Old);
    EXPECT_FALSE(r.closed);
    EXPECT_EQ(r.question, QStringLiteral(" 没有结尾"));
    r = one(QStringLiteral("新题库$CP01DY01SZ1LV1PT01 题{答$案"), BatchFormat::New);
    EXPECT_FALSE(r.closed);
    EXPECT_EQ(r.question, QStringLiteral(" 题"));
    EXPECT_EQ(r.answer, QStringLiteral("答$案"));
    r = one(QStringLiteral("新题库$CP01DY"), BatchFormat::New);
    EXPECT_EQ(r.question, QString());
    EXPECT_EQ(r.codes.chapter, 1);

    BatchScanner s(QStringLiteral("新题库&CP01第一章"), BatchFormat::New);
    EXPECT_FALSE(s.next());
    EXPECT_EQ(s.names().name(NameKind::Chapter, 1), QStringLiteral("第一章"));
    EXPECT_EQ(s.position(), s.size());

    // Records without content are passed over without asking.
    Asker asker;
    const auto [run, qs] = importAll(QStringLiteral("新题库$CP01DY01SZ1LV1PT01${}$$"), asker);
    EXPECT_TRUE(qs.isEmpty());
    EXPECT_TRUE(asker.prompts.isEmpty());
    EXPECT_EQ(run->emptyRecords(), 2);
}

TEST(BatchMalformed, TruncatedJunkAndFloodsFinish)
{
    const QString sample = QStringLiteral("新题库\r\n&LV2一般&\r\n&CP01第一章 加法运算&\r\n&SZ1问答题&\r\n"
                                          "&PT01 1 &\r\n$CP01DY01SZ1LV2PT01 请回答1+1=?    {填答案}$\r\n"
                                          "$CP01DY01SZ1LV2PT01 请回答1*2*3=?  {6}{六}$\r\n");
    const QByteArray bytes = *qm::gbkEncode(sample);
    for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
        const BatchFile f = batchFileFromBytes(bytes.left(cut));
        if (!f.format)
            continue;
        Asker asker;
        BatchImport run(f.text, *f.format);
        int n = 0;
        while (run.next(asker.fn()))
            ++n;
        EXPECT_LE(n, 2);
        EXPECT_EQ(run.position(), run.size());
    }

    QRandomGenerator rng(8);
    for (const char* header : {"\xCC\xE2\xBF\xE2", "\xD0\xC2\xCC\xE2\xBF\xE2"}) {
        QByteArray junk(header);
        for (int i = 0; i < 200000; ++i)
            junk.append(char(rng.bounded(256)));
        const BatchFile f = batchFileFromBytes(junk);
        ASSERT_TRUE(f.format);
        BatchImport run(f.text, *f.format);
        Asker asker;
        while (run.next(asker.fn())) {
        }
        EXPECT_EQ(run.position(), run.size());
    }

    const QByteArray dollars(10 * 1024 * 1024, '$');
    EXPECT_FALSE(batchFileFromBytes(dollars).format);
    for (const QByteArray& header : {QByteArray("\xCC\xE2\xBF\xE2"), QByteArray("\xD0\xC2\xCC\xE2\xBF\xE2")}) {
        const BatchFile f = batchFileFromBytes(header + dollars);
        ASSERT_TRUE(f.format);
        BatchImport run(f.text, *f.format);
        Asker asker;
        EXPECT_FALSE(run.next(asker.fn()));
        EXPECT_GT(run.emptyRecords(), 500000);
        EXPECT_TRUE(asker.prompts.isEmpty());
    }
}

TEST(FormatStatement, LinesAsTheWindowShowsThem)
{
    const QStringList lines = formatStatementLines();
    ASSERT_EQ(lines.size(), 40);
    EXPECT_EQ(lines[0], QStringLiteral("批量题库的文件格式说明:"));
    EXPECT_EQ(lines[11], QString(45, QChar(u'－')));
    EXPECT_EQ(lines[27], lines[11]);
    EXPECT_EQ(lines[23].count(QChar(0x1F)), 1);
    EXPECT_EQ(lines[24].count(QChar(0x1F)), 1);
    EXPECT_TRUE(lines[24].endsWith(QStringLiteral("可将答案用花括号{ }括在题目后$前。")));
    EXPECT_EQ(lines[36], QStringLiteral("$CP01DY01SZ1LV1PT01 请回答1+1=?    {填答案}$"));
    EXPECT_EQ(formatStatement().count(QStringLiteral("\r\n")), 40);
    EXPECT_TRUE(formatStatement().endsWith(QStringLiteral(".......\r\n")));
    EXPECT_TRUE(formatStatement().startsWith(lines[0] + QStringLiteral("\r\n\r\n老格式:\r\n")));

    // The example of the statement reads as the statement says.
    const QString example = lines.mid(28).join(QStringLiteral("\r\n"));
    Asker asker;
    const auto [run, qs] = importAll(example, asker);
    ASSERT_EQ(qs.size(), 2);
    EXPECT_EQ(qs[1].chapter, QStringLiteral("第二章 乘法运算"));
    EXPECT_EQ(qs[1].score, 2.0);
    EXPECT_EQ(qs[1].answer, QStringLiteral("填答案"));
    // Difficulty 1 and unit 1 are not declared in the example.
    EXPECT_EQ(asker.prompts.size(), 4);
}
