// Composing by hand: pick keys, labels, the rebuild order and the bank statistics.

#include "selection/manual.h"
#include "support/qstring_print.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::selection;

TEST(ManualPicks, KeysReadBackAndRefuseWhatIsNoKey)
{
    EXPECT_EQ(pickKeyText({0, "填空题", 57}), "000填空题||57");
    EXPECT_EQ(pickKeyText({12, "计算题", 3}), "012计算题||3");
    EXPECT_EQ(parsePickKey("001填空题||57"), (PickKey{1, "填空题", 57}));
    // A type may hold the separator itself; the number is what follows the last one.
    EXPECT_EQ(parsePickKey("002A||B||9"), (PickKey{2, "A||B", 9}));
    for (const QString bad : {"", "01", "abc填空题||5", "001填空题", "001填空题||", "001填空题||x5", "-01题||5"})
        EXPECT_FALSE(parsePickKey(bad)) << bad.toStdString();
}

TEST(ManualPicks, LabelsRunPerTypeAndASecondPickIsRefused)
{
    ManualPicks picks;
    EXPECT_EQ(picks.pick({0, "单选题", 7}).label, "一、1.");
    EXPECT_EQ(picks.pick({0, "单选题", 3}).label, "一、2.");
    EXPECT_EQ(picks.pick({1, "填空题", 5}).label, "二、1.");
    EXPECT_EQ(picks.keys(), (QStringList{"000单选题||3", "000单选题||7", "001填空题||5"}));

    const ManualPicks::Pick again = picks.pick({0, "单选题", 7});
    EXPECT_EQ(again.outcome, ManualPicks::Outcome::AlreadyPicked);
    EXPECT_EQ(again.row, 1);
    EXPECT_EQ(picks.keys().size(), 3);
    // The refused pick took no number.
    EXPECT_EQ(picks.pick({0, "单选题", 8}).label, "一、3.");

    // Removing and clearing keep the running numbers: the labels in the paper stay valid.
    picks.removeAt(0);
    picks.removeAt(99);
    EXPECT_EQ(picks.keys(), (QStringList{"000单选题||7", "000单选题||8", "001填空题||5"}));
    picks.clear();
    EXPECT_TRUE(picks.isEmpty());
    EXPECT_EQ(picks.pick({0, "单选题", 7}).label, "一、4.");
    // Another bank starts every type at 1 again and keeps what was picked.
    picks.newBank();
    EXPECT_EQ(picks.keys(), (QStringList{"000单选题||7"}));
    EXPECT_EQ(picks.pick({1, "填空题", 1}).label, "二、1.");
}

TEST(ManualPicks, PicksOfSeveralBanksAreKeptWithTheirBank)
{
    ManualPicks picks;
    EXPECT_EQ(picks.pick({0, "单选题", 4}, "/题库/期中.tik").outcome, ManualPicks::Outcome::Picked);
    picks.newBank();
    // The same 编号 in another bank is another question.
    EXPECT_EQ(picks.pick({1, "单选题", 4}, "/题库/综合.tik").label, "二、1.");
    EXPECT_EQ(picks.pick({0, "填空题", 2}, "/题库/综合.tik").label, "一、1.");
    EXPECT_EQ(picks.pick({1, "单选题", 4}, "/题库/综合.tik").outcome, ManualPicks::Outcome::AlreadyPicked);
    EXPECT_TRUE(picks.hasPicksFrom("/题库/期中.tik"));
    EXPECT_FALSE(picks.hasPicksFrom("/题库/其他.tik"));
    // Shown while 综合 is browsed: the pick of 期中 names its bank.
    EXPECT_EQ(picks.shownKeys("/题库/综合.tik"), (QStringList{"000单选题||4（期中）", "000填空题||2", "001单选题||4"}));

    // One section per type, whichever bank its questions come from, in the order the
    // types first occur.
    EXPECT_EQ(arrangePicks(picks.picks()), (QList<ArrangedQuestion>{{1, "单选题", 1, 4, "/题库/期中.tik"},
                                                                    {1, "单选题", 2, 4, "/题库/综合.tik"},
                                                                    {2, "填空题", 1, 2, "/题库/综合.tik"}}));
}

TEST(ManualPicks, TwentyTypesHaveNumeralsAndTheTwentyFirstIsRefused)
{
    ManualPicks picks;
    EXPECT_EQ(picks.pick({9, "第十种", 1}).label, "十、1.");
    EXPECT_EQ(picks.pick({19, "第二十种", 2}).label, "二十、1.");
    const ManualPicks::Pick beyond = picks.pick({20, "第二十一种", 3});
    EXPECT_EQ(beyond.outcome, ManualPicks::Outcome::BeyondLastNumeral);
    EXPECT_EQ(picks.keys().size(), 2);
}

TEST(ArrangePicks, SectionsFollowTheTypesThatArePickedAndNumbersRestart)
{
    // Types at places 2 and 0: the one at place 0 becomes the first section.
    EXPECT_EQ(arrangePicks(QStringList{"000单选题||4", "002计算题||9"}),
              (QList<ArrangedQuestion>{{1, "单选题", 1, 4, {}}, {2, "计算题", 1, 9, {}}}));
    // Within a section the keys' order: 编号 as text ("10" before "9").
    ManualPicks picks;
    for (qint64 id : {9, 10, 2})
        picks.pick({1, "填空题", id});
    picks.pick({0, "单选题", 5});
    EXPECT_EQ(
        arrangePicks(picks.keys()),
        (QList<ArrangedQuestion>{
            {1, "单选题", 1, 5, {}}, {2, "填空题", 1, 10, {}}, {2, "填空题", 2, 2, {}}, {2, "填空题", 3, 9, {}}}));
    // After a removal the rest of the section closes up.
    picks.removeAt(2);
    EXPECT_EQ(arrangePicks(picks.keys()),
              (QList<ArrangedQuestion>{{1, "单选题", 1, 5, {}}, {2, "填空题", 1, 10, {}}, {2, "填空题", 2, 9, {}}}));
    EXPECT_TRUE(arrangePicks(QStringList{}).isEmpty());
    EXPECT_EQ(arrangePicks(QStringList{"不是键", "000单选题||1"}), (QList<ArrangedQuestion>{{1, "单选题", 1, 1, {}}}));
}

TEST(BankInformation, GridRowsAndATreeWhoseSharedPathsShareNodes)
{
    const QList<AttributeCount> counts{{"单选题", "第一章", "易", 2, "一节", 3},
                                       {"单选题", "第一章", "难", 2.5, "一节", 1},
                                       {"填空题", "第二章", "易", 3, "二节", 4}};
    const BankInformation info = bankInformation("/题库/数学/期中.tik", "期中.tik", counts);
    EXPECT_EQ(info.caption, "/题库/数学/期中.tik　题库信息");
    EXPECT_EQ(info.headings, (QStringList{"题  型", "章   节", "单　 元", "难   度", "分  值", "题  数"}));
    EXPECT_EQ(info.rows, (QList<QStringList>{{"单选题", "第一章", "一节", "易", "2", "3"},
                                             {"单选题", "第一章", "一节", "难", "2.5", "1"},
                                             {"填空题", "第二章", "二节", "易", "3", "4"}}));
    QStringList texts;
    for (const BankInformation::Node& n : info.nodes)
        texts << n.text;
    EXPECT_EQ(texts, (QStringList{"期中.tik", "单选题", "第一章", "一节", "易", "分值:2", "题数:3", "难", "分值:2.5",
                                  "题数:1", "填空题", "第二章", "二节", "易", "分值:3", "题数:4"}));
    const QString root = "/题库/数学/期中.tik";
    EXPECT_EQ(info.nodes[0], (BankInformation::Node{root, "", "期中.tik"}));
    EXPECT_EQ(info.nodes[7],
              (BankInformation::Node{root + "\\单选题\\第一章\\一节\\难", root + "\\单选题\\第一章\\一节", "难"}));
    EXPECT_EQ(info.nodes[6].key, root + "\\单选题\\第一章\\一节\\易\\2\\3");

    // One group: one row and a single path.
    const BankInformation one = bankInformation("/b.tik", "b.tik", {counts[0]});
    EXPECT_EQ(one.rows.size(), 1);
    EXPECT_EQ(one.nodes.size(), 7);
    for (qsizetype i = 1; i < one.nodes.size(); ++i)
        EXPECT_EQ(one.nodes[i].parent, one.nodes[i - 1].key);
}
