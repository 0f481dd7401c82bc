// Searching a bank's questions and finding questions that are the same or nearly so.

#include "bankstore/bank_file.h"
#include "bankstore/duplicates.h"
#include "bankstore/search_text.h"
#include "core/text_fold.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_text.h"
#include "support/qstring_print.h"
#include "support/run_qmtool.h"
#include "support/temp_dirs.h"
#include "support/test_server.h"

#include <QRandomGenerator>
#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>
#include <libpq-fe.h>

using namespace qm;
using namespace qm::test;

namespace {

Question question(const QString& text, const QString& answer = {}, const QString& chapter = "第一章")
{
    Question q;
    q.text = rtfFromPlainText(text);
    q.answer = answer.isEmpty() ? QByteArray() : rtfFromPlainText(answer);
    q.type = "选择题";
    q.chapter = chapter;
    return q;
}

QList<qint64> idsOf(const std::optional<QList<SearchHit>>& hits)
{
    QList<qint64> ids;
    if (hits)
        for (const SearchHit& h : *hits)
            ids.append(h.id);
    return ids;
}

// Sentences of a made-up biology bank: varied enough that unrelated questions share few
// runs of three characters, as real ones do.
const QStringList kWords = {"细胞", "光合作用", "叶绿体", "线粒体", "呼吸", "能量", "有机物", "二氧化碳", "氧气",
                            "酶",   "蛋白质",   "基因",   "遗传",   "变异", "种群", "生态",   "实验",     "温度",
                            "下列", "说法",     "正确",   "错误",   "图中", "表示", "结构",   "功能",     "DNA",
                            "RNA",  "染色体",   "分裂",   "ATP",    "水分", "植物", "动物",   "反应",     "条件"};

QString sentence(QRandomGenerator& random, int words)
{
    QString s;
    for (int i = 0; i < words; ++i) {
        s += kWords[int(random.bounded(kWords.size()))];
        if (random.bounded(5) == 0)
            s += QString::number(random.bounded(1000));
        if (random.bounded(7) == 0)
            s += "，";
    }
    return s + "？";
}

}  // namespace

TEST(SearchText, FoldingMakesFullAndHalfWidthAndCaseAlike)
{
    EXPECT_EQ(foldText(u"ＡＢＣ１２　 DNA\t\n分子\u00a0"), "abc12 dna 分子");
    EXPECT_EQ(searchWords(u"  光合  ＡＴＰ 光合 "), QStringList({"光合", "atp"}));
    EXPECT_TRUE(searchWords(u" 　 ").isEmpty());

    // The line of context shows the text as written, with every occurrence marked.
    const ContextLine line = contextLine(u"植物的ＡＴＰ来自光合作用，atp 还来自呼吸", {"atp"});
    EXPECT_EQ(line.text, "植物的ＡＴＰ来自光合作用，atp 还来自呼吸");
    EXPECT_EQ(line.marks, (QList<std::pair<int, int>>{{3, 3}, {13, 3}}));
    const ContextLine cut = contextLine(QString(100, u'甲') + "光合" + QString(100, u'乙'), {"光合"}, 30);
    EXPECT_TRUE(cut.text.startsWith(u'…'));
    EXPECT_TRUE(cut.text.endsWith(u'…'));
    ASSERT_EQ(cut.marks.size(), 1);
    EXPECT_EQ(cut.text.mid(cut.marks[0].first, 2), "光合");
}

TEST(SearchText, TheTextOfRtfWithoutLayingItOut)
{
    // GBK bytes, \u with its fallback, a font table, a picture, a field's instruction and
    // an optional destination leave only the body's text.
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
                           "{\\colortbl;\\red255\\green0\\blue0;}{\\*\\generator x;}"
                           "\\f0 \\'b9\\'e2\\'ba\\'cf\\u20316?\\u29992?{\\pict\\pngblip 89504e47}"
                           "{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt \\'c1\\'b4}}\\par Second\\tab line}";
    EXPECT_EQ(rtfText(rtf), "光合作用链 Second line");
    EXPECT_EQ(foldText(rtfText(rtfFromPlainText("第一行\n第二行 ＡＢ"))), "第一行 第二行 ab");
    // Not RTF: GBK text. Broken RTF never hangs.
    EXPECT_EQ(rtfText(QByteArray("\xb9\xe2\xba\xcf")), "光合");
    EXPECT_EQ(rtfText("{\\rtf1 {{{{ abc \\'"), " abc ");
    EXPECT_EQ(rtfText("{\\rtf1 " + QByteArray(100000, '{') + "x"), "x");
}

TEST(BankSearch, FindsWhatEveryWriteLeavesAndEqualsAScanOfTheTexts)
{
    TempProgramDir dir(false);
    const QString path = dir.file("生物.tik");
    ASSERT_TRUE(BankFile::createEmpty(path));
    BankFile bank(path);
    ASSERT_TRUE(bank.add(question("绿色植物通过光合作用制造有机物", "叶绿体", "第二章")));
    ASSERT_TRUE(bank.add(question("线粒体是呼吸作用的场所", "ＡＴＰ")));
    ASSERT_TRUE(bank.add(question("DNA 是主要的遗传物质")));
    const QList<qint64> ids = *bank.idsMatching({});

    EXPECT_EQ(idsOf(bank.search({"光合"})), QList<qint64>({ids[0]}));
    EXPECT_EQ(idsOf(bank.search({"atp"})), QList<qint64>({ids[1]}));  // in the answer, full-width
    EXPECT_EQ(idsOf(bank.search({"dna", "遗传"})), QList<qint64>({ids[2]}));
    EXPECT_EQ(idsOf(bank.search({"作用"})), QList<qint64>({ids[0], ids[1]}));
    EXPECT_TRUE(idsOf(bank.search({"光合", "线粒体"})).isEmpty());
    EXPECT_TRUE(idsOf(bank.search({})).isEmpty());
    const auto hit = bank.search({"光合"});
    EXPECT_EQ(hit->first(), (SearchHit{ids[0], "选择题", "第二章"}));

    // Change, delete, sort, merge.
    bool found = false;
    ASSERT_TRUE(bank.overwriteById(ids[0], question("光反应在类囊体薄膜上进行"), &found));
    EXPECT_TRUE(idsOf(bank.search({"光合"})).isEmpty());
    EXPECT_EQ(idsOf(bank.search({"类囊体"})), QList<qint64>({ids[0]}));
    ASSERT_TRUE(bank.removeById(ids[1], &found));
    EXPECT_TRUE(idsOf(bank.search({"atp"})).isEmpty());
    ASSERT_TRUE(bank.sortByChapters({"第一章", "第二章"}));
    EXPECT_EQ(idsOf(bank.search({"是"})), QList<qint64>({ids[2]}));
    EXPECT_EQ(idsOf(bank.search({"类囊体"})), QList<qint64>({ids[0]}));
    const QString other = dir.file("其他.tik");
    ASSERT_TRUE(BankFile::createEmpty(other));
    ASSERT_TRUE(BankFile(other).add(question("类囊体上有色素")));
    ASSERT_TRUE(bank.mergeFrom(other));
    EXPECT_EQ(idsOf(bank.search({"类囊体"})).size(), 2);

    // Another program's write leaves no stale text: the question is read anew.
    {
        SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE);
        db.exec("UPDATE 题库 SET 题目 = CAST('{\\rtf1 osmosis}' AS BLOB) WHERE 编号 = " + std::to_string(ids[2]));
    }
    EXPECT_EQ(idsOf(bank.search({"osmosis"})), QList<qint64>({ids[2]}));
    EXPECT_TRUE(idsOf(bank.search({"遗传"})).isEmpty());
}

TEST(BankSearch, ABankOfTheVersionBeforeIsSearchedAndUpgradedOnFirstUse)
{
    TempProgramDir dir(false);
    const QString path = dir.file("旧.tik");
    ASSERT_TRUE(BankFile::createEmpty(path));
    BankFile bank(path);
    ASSERT_TRUE(bank.add(question("酶是活细胞产生的有机物")));
    // A bank as the version before writes it: no searchable texts.
    auto makeVersion2 = [&] {
        SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE);
        db.exec("DROP TRIGGER 检索加题; DROP TRIGGER 检索改题; DROP TRIGGER 检索删题; DROP TABLE 检索; "
                "PRAGMA user_version = 2;");
    };
    auto versionAndTexts = [&] {
        SQLite::Database db(path.toStdString(), SQLite::OPEN_READONLY);
        return std::pair(db.execAndGet("PRAGMA user_version").getInt(),
                         db.execAndGet("SELECT count(*) FROM 检索").getInt());
    };
    makeVersion2();
    EXPECT_EQ(idsOf(bank.search({"有机物"})).size(), 1);
    EXPECT_EQ(versionAndTexts(), std::pair(3, 1));

    // Its first write upgrades it: the new question has its text, the old ones get theirs
    // at the first search.
    makeVersion2();
    ASSERT_TRUE(bank.add(question("酶的活性受温度影响")));
    EXPECT_EQ(versionAndTexts(), std::pair(3, 1));
    EXPECT_EQ(idsOf(bank.search({"酶"})).size(), 2);
    EXPECT_EQ(versionAndTexts(), std::pair(3, 2));
}

TEST(BankSearch, ResultsEqualABruteForceScanOnAGeneratedBank)
{
    TempProgramDir dir(false);
    const QString path = dir.file("大.tik");
    ASSERT_TRUE(BankFile::createEmpty(path));
    QRandomGenerator random(7);
    {
        auto appender = BankAppender::open(path);
        for (int i = 0; i < 400; ++i)
            ASSERT_TRUE(appender->add(question(sentence(random, 12), sentence(random, 2))));
        ASSERT_TRUE(appender->commit());
    }
    BankFile bank(path);
    QList<Question> all;
    bank.forEachQuestion([&](int, const Question& q) { all.append(q); });
    for (const QStringList& words : QList<QStringList>{
             {"光合"}, {"细"}, {"叶绿体", "能量"}, {"atp"}, {"7"}, {"下列说法正确"}, {"dna", "？"}, {"不存在"}}) {
        QList<qint64> expected;
        for (const Question& q : all) {
            const QString text = foldText(rtfPlainText(q.text)) + "\n" + foldText(rtfPlainText(q.answer));
            if (std::all_of(words.begin(), words.end(), [&](const QString& w) { return text.contains(w); }))
                expected.append(q.id);
        }
        EXPECT_EQ(idsOf(bank.search(words)), expected) << words.join(' ').toStdString();
    }
}

TEST(Duplicates, PlantedPairsAreFoundAndUnrelatedOnesAreNot)
{
    QRandomGenerator random(11);
    QList<std::pair<qint64, QString>> texts;
    auto add = [&](const QString& q, const QString& a = "b") {
        const qint64 id = texts.size() + 1;
        texts.append({id, searchTextOf(rtfFromPlainText(q), rtfFromPlainText(a))});
        return id;
    };
    QList<std::pair<qint64, qint64>> planted;
    for (int i = 0; i < 300; ++i) {
        const QString base = sentence(random, 30) + "A．" + sentence(random, 4) + "B．" + sentence(random, 4);
        const qint64 id = add(base);
        if (i % 6 == 1)  // a changed digit
            planted.append({id, add(QString(base).replace(base.indexOf("？"), 1, "7？"))});
        else if (i % 6 == 2)  // a changed option
            planted.append({id, add(QString(base).replace(base.lastIndexOf("B．") + 2, 2, "丙丁"))});
        else if (i % 6 == 3)  // spaces added
            planted.append({id, add(QString(base).insert(10, "  ").insert(30, "\n"))});
        else if (i % 6 == 4)  // full-width letters
            planted.append({id, add(QString(base).replace("A．", "Ａ．"))});
    }
    const QList<DuplicatePair> pairs = findDuplicates(texts, 0.9);
    QSet<std::pair<qint64, qint64>> reported;
    for (const DuplicatePair& p : pairs) {
        EXPECT_LT(p.first, p.second);
        reported.insert({p.first, p.second});
    }
    for (const auto& p : planted)
        EXPECT_TRUE(reported.contains(p)) << p.first << " " << p.second;
    EXPECT_EQ(reported.size(), planted.size());
    // The same texts (spaces, full width) come first with 1; near ones follow, most alike first.
    int same = 0;
    while (same < pairs.size() && pairs[same].similarity == 1)
        ++same;
    EXPECT_EQ(same, 100);
    for (int i = same + 1; i < pairs.size(); ++i)
        EXPECT_GE(pairs[i - 1].similarity, pairs[i].similarity);
    EXPECT_GT(pairs[same].similarity, 0.9);
}

TEST(Duplicates, AnswersDecideBetweenEqualQuestionsAndPicturesAreNotCompared)
{
    const QByteArray picture = "{\\rtf1{\\pict\\pngblip 89504e47}}";
    const QList<std::pair<qint64, QString>> texts = {
        {1, searchTextOf(rtfFromPlainText("计算：12+35="), rtfFromPlainText("47"))},
        {2, searchTextOf(rtfFromPlainText("计算：12+35="), rtfFromPlainText("47"))},
        {3, searchTextOf(rtfFromPlainText("计算：12+35="), rtfFromPlainText("四十七，列竖式计算"))},
        {4, searchTextOf(picture, {})},
        {5, searchTextOf(picture, {})},
    };
    EXPECT_EQ(findDuplicates(texts, 0.9), QList<DuplicatePair>({{1, 2, 1}}));
    EXPECT_DOUBLE_EQ(textSimilarity(texts[0].second, texts[2].second), 0);
    EXPECT_DOUBLE_EQ(textSimilarity(texts[0].second, texts[1].second), 1);
}

TEST(Duplicates, MergeAndImportLeaveOutWhatTheBankHas)
{
    TempProgramDir dir(false);
    const QString target = dir.file("本.tik"), source = dir.file("来.tik");
    ASSERT_TRUE(BankFile::createEmpty(target));
    ASSERT_TRUE(BankFile::createEmpty(source));
    ASSERT_TRUE(BankFile(target).add(question("细胞膜的主要成分是什么？", "脂质和蛋白质")));
    BankFile from(source);
    ASSERT_TRUE(from.add(question("细胞膜的主要成分是什么？ ", "脂质和蛋白质")));  // the same
    ASSERT_TRUE(from.add(question("细胞核的功能是什么？")));
    ASSERT_TRUE(from.add(question("细胞核的功能是什么？")));              // twice in the source
    ASSERT_TRUE(from.add(question("细胞膜的主要成分是什么？", "磷脂")));  // another answer
    const QList<qint64> sourceIds = *from.idsMatching({});
    const auto same = mergeDuplicates(target, source);
    ASSERT_TRUE(same);
    EXPECT_EQ(*same, QList<qint64>({sourceIds[0], sourceIds[2]}));
    EXPECT_EQ(BankFile(target).mergeFrom(source, nullptr, QSet<qint64>(same->begin(), same->end())), 2);
    EXPECT_EQ(BankFile(target).count(), 3);
    EXPECT_EQ(mergeDuplicates(target, target)->size(), 3);

    // qmtool: merge and import with --skip-duplicates say how many they left out.
    const ToolRun merged = qmtool({"merge", target, source, "--skip-duplicates"});
    EXPECT_EQ(merged.exitCode, 0) << merged.err.toStdString();
    EXPECT_EQ(merged.out, "已合并0道题。\n跳过重复的题4道。\n");
}

TEST(Qmtool, SearchAndDuplicatesPrintTabSeparatedLines)
{
    TempProgramDir dir(false);
    const QString path = dir.file("生物.tik");
    ASSERT_TRUE(BankFile::createEmpty(path));
    BankFile bank(path);
    ASSERT_TRUE(bank.add(question("绿色植物通过光合作用\t制造有机物", "叶绿体", "第二章")));
    ASSERT_TRUE(bank.add(question("线粒体是呼吸作用的场所")));
    ASSERT_TRUE(bank.add(question("绿色植物通过光合作用制造有机物", "叶绿体")));

    const ToolRun found = qmtool({"search", path, "光合", "ＯＲＧ"});
    EXPECT_EQ(found.exitCode, 0);
    EXPECT_EQ(found.out, "");
    const ToolRun hits = qmtool({"search", path, "光合作用"});
    EXPECT_EQ(hits.out, "1\t选择题\t第二章\t绿色植物通过光合作用 制造有机物 叶绿体\n"
                        "3\t选择题\t第一章\t绿色植物通过光合作用制造有机物 叶绿体\n");
    EXPECT_EQ(qmtool({"search", path}).exitCode, 2);

    const ToolRun pairs = qmtool({"duplicates", path, "--similarity", "0.5"});
    EXPECT_EQ(pairs.exitCode, 0) << pairs.err.toStdString();
    EXPECT_EQ(pairs.out, "1\t3\t1\n");
    EXPECT_EQ(qmtool({"duplicates", path, "--similarity", "2"}).exitCode, 2);
    writeAll(dir.file("坏.tik"), "not a bank");
    const ToolRun bad = qmtool({"search", dir.file("坏.tik"), "x"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains("不是本程序的题库文件"));
}

TEST(BankSearch, ASearchBoxKeepsTheTextsOnlyWhileTheBankIsUnchanged)
{
    TempProgramDir dir(false);
    const QString path = dir.file("生物.tik"), other = dir.file("化学.tik");
    ASSERT_TRUE(BankFile::createEmpty(path));
    ASSERT_TRUE(BankFile::createEmpty(other));
    BankFile bank(path);
    ASSERT_TRUE(bank.add(question("光合作用的场所是叶绿体")));
    ASSERT_TRUE(BankFile(other).add(question("光合作用与化学能")));
    BankSearcher searcher;
    EXPECT_EQ(searcher.search(path, {"光合"})->size(), 1);
    EXPECT_EQ(searcher.search(path, {"光合"})->size(), 1);
    EXPECT_EQ(searcher.search(other, {"化学"})->size(), 1);  // another bank: its own texts

    // Each write, through the store or by another program, is seen at the next search.
    ASSERT_TRUE(bank.add(question("光合作用需要光")));
    EXPECT_EQ(searcher.search(path, {"光合"})->size(), 2);
    {
        SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE);
        db.exec("DELETE FROM 题库 WHERE 编号 = 1");
    }
    EXPECT_EQ(searcher.search(path, {"光合"})->size(), 1);
    bool found = false;
    ASSERT_TRUE(bank.overwriteById(2, question("呼吸作用需要氧"), &found));
    EXPECT_TRUE(searcher.search(path, {"光合"})->isEmpty());
    EXPECT_EQ(searcher.find(path, "氧", 10)->rows.first().line.text, "呼吸作用需要氧");
}

TEST(ServerSearch, FindsWhatEveryWriteLeavesAndKeepsTheTextsOnTheServer)
{
    if (!TestDatabase::configured())
        GTEST_SKIP() << "no test server";
    TestDatabase server;
    ASSERT_TRUE(server.ready()) << server.error().toStdString();
    const QString path = server.bank("生物", "生物.tik");
    ASSERT_TRUE(BankFile::createEmpty(path));
    BankFile bank(path);
    ASSERT_TRUE(bank.add(question("绿色植物通过光合作用制造有机物", "叶绿体", "第二章")));
    ASSERT_TRUE(bank.add(question("线粒体是呼吸作用的场所", "ＡＴＰ")));
    ASSERT_TRUE(bank.add(question("DNA 是主要的遗传物质")));
    const QList<qint64> ids = *bank.idsMatching({});

    BankSearcher searcher;
    EXPECT_EQ(idsOf(searcher.search(path, {"atp"})), QList<qint64>({ids[1]}));
    EXPECT_EQ(idsOf(searcher.search(path, {"作用"})), QList<qint64>({ids[0], ids[1]}));
    EXPECT_EQ(searcher.search(path, {"光合"})->first(), (SearchHit{ids[0], "选择题", "第二章"}));
    EXPECT_EQ(searcher.find(path, "遗传", 10)->rows.first().line.text, "DNA 是主要的遗传物质");

    // Every write is seen at the next search, by a searcher that holds the texts too.
    bool found = false;
    ASSERT_TRUE(bank.overwriteById(ids[0], question("光反应在类囊体薄膜上进行"), &found));
    EXPECT_TRUE(idsOf(searcher.search(path, {"光合"})).isEmpty());
    EXPECT_EQ(idsOf(searcher.search(path, {"类囊体"})), QList<qint64>({ids[0]}));
    ASSERT_TRUE(bank.removeById(ids[1], &found));
    EXPECT_TRUE(idsOf(searcher.search(path, {"atp"})).isEmpty());
    const auto writer = BankAppender::open(path);
    ASSERT_TRUE(writer && writer->add(question("类囊体上有色素")) && writer->commit());
    EXPECT_EQ(idsOf(searcher.search(path, {"类囊体"})).size(), 2);
    ASSERT_TRUE(bank.sortByChapters({"第二章", "第一章"}));
    EXPECT_EQ(idsOf(bank.search({"类囊体"})), QList<qint64>({ids[0], ids[2] + 1}));

    // A question changed by another program loses its text, which the next search makes anew.
    PGconn* c = PQconnectdb(server.uri().toUtf8().constData());
    ASSERT_EQ(PQstatus(c), CONNECTION_OK);
    const QByteArray sql =
        "UPDATE qm_question SET text = convert_to('{\\rtf1 osmosis}', 'UTF8') WHERE id = " + QByteArray::number(ids[2]);
    PGresult* r = PQexec(c, sql.constData());
    EXPECT_EQ(PQresultStatus(r), PGRES_COMMAND_OK) << PQresultErrorMessage(r);
    PQclear(r);
    EXPECT_EQ(idsOf(bank.search({"osmosis"})), QList<qint64>({ids[2]}));
    EXPECT_TRUE(idsOf(bank.search({"遗传"})).isEmpty());
    r = PQexec(c, "SELECT (SELECT count(*) FROM qm_search) = (SELECT count(*) FROM qm_question)");
    EXPECT_STREQ(PQgetvalue(r, 0, 0), "t");
    PQclear(r);
    PQfinish(c);

    // Duplicates are found on the server as in a file.
    ASSERT_TRUE(bank.add(question("光反应在类囊体薄膜上进行")));
    const auto pairs = bank.duplicates(0.9);
    ASSERT_TRUE(pairs);
    ASSERT_EQ(pairs->size(), 1);
    EXPECT_EQ(pairs->first().first, ids[0]);
    EXPECT_EQ(pairs->first().similarity, 1.0);
}
