// Finding questions in the bank window: the search box, the duplicates window, and the
// question about duplicates that importing and merging ask.

#include "core/gbk.h"
#include "editor/duplicates_window.h"
#include "editor/form2_fixture.h"
#include "rtf/rich_text.h"
#include "widgets/richtextbox.h"
#include "widgets/search_panel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

using namespace qm;
using namespace qm::test;

namespace {

Question asked(const QString& text, const QString& answer = {})
{
    Question q;
    q.text = rtfFromPlainText(text);
    q.answer = answer.isEmpty() ? QByteArray() : rtfFromPlainText(answer);
    q.type = "填空题";
    q.chapter = "第一章";
    return q;
}

QStringList rows(const QTreeWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c)
            cells << list->topLevelItem(i)->text(c);
        out << cells.join('|');
    }
    return out;
}

class BankSearch : public Form2Test {
protected:
    void SetUp() override
    {
        Form2Test::SetUp();
        subject("生物", {"a.tik", "b.tik"});
        open();
        choose("生物", "a.tik");
        BankFile bank(form->bankPath());
        for (const auto& [q, a] : {std::pair{"绿色植物通过光合作用制造有机物", "叶绿体"},
                                   {"线粒体是有氧呼吸的主要场所", "ＡＴＰ"},
                                   {"光合作用的光反应在类囊体薄膜上进行", ""},
                                   {"线粒体是有氧呼吸的主要场所 ", "ATP"}})
            ASSERT_TRUE(bank.add(asked(q, a)));
        ids = *bank.idsMatching({});
    }
    EntryPane& pane() { return *form->Frame7; }
    SearchPanel& search() { return *form->Frame7->Search; }

    QList<qint64> ids;
};

}  // namespace

TEST_F(BankSearch, TheSearchBoxListsTheQuestionsAndShowsTheOneChosen)
{
    form->Frame1->Command27->click();  // 题库录入
    ASSERT_FALSE(pane().isHidden());
    EXPECT_TRUE(search().List90->isHidden());

    search().Text90->setText("光合　作用");
    search().Command90->click();
    EXPECT_EQ(search().Label90->text(), "找到 2 道题");
    EXPECT_FALSE(search().List90->isHidden());
    EXPECT_EQ(rows(search().List90),
              QStringList({QString::number(ids[0]) + "|填空题|第一章|绿色植物通过光合作用制造有机物 叶绿体",
                           QString::number(ids[2]) + "|填空题|第一章|光合作用的光反应在类囊体薄膜上进行"}));
    search().List90->setCurrentItem(search().List90->topLevelItem(1));
    EXPECT_EQ(pane().CurrentQuestion, 2);
    EXPECT_EQ(pane().RichTextBox1->Text(), "光合作用的光反应在类囊体薄膜上进行");

    // Letters in either width and case; Enter in the box searches.
    search().Text90->setText("atp");
    QTest::keyClick(search().Text90, Qt::Key_Return);
    EXPECT_EQ(search().Label90->text(), "找到 2 道题");
    search().Text90->setText("不存在的词");
    search().Command90->click();
    EXPECT_EQ(search().Label90->text(), "没有找到");
    EXPECT_TRUE(search().List90->isHidden());
    search().Text90->setText(" 　");
    search().Command90->click();
    EXPECT_EQ(search().Label90->text(), "请输入要找的字词");

    // A question another computer deleted after the search is said to be gone.
    search().Text90->setText("线粒体");
    search().Command90->click();
    bool found = false;
    ASSERT_TRUE(BankFile(form->bankPath()).removeById(ids[3], &found));
    prompt.expectMessage("该题已被删除！", "错误", Icon::Warning);
    search().List90->setCurrentItem(search().List90->topLevelItem(1));
    prompt.verify();

    // Another bank: the list is emptied.
    choose("生物", "b.tik");
    EXPECT_TRUE(search().List90->isHidden());
    EXPECT_EQ(search().Label90->text(), "");
}

TEST_F(BankSearch, TheDuplicatesWindowShowsPairsAndDeletesOneByItsNumber)
{
    form->Frame1->Command27->click();
    pane().Command65->click();
    DuplicatesWindow* window = form->duplicatesWindow();
    ASSERT_TRUE(window && !window->isHidden());
    EXPECT_EQ(window->windowTitle(), "查找重复题");
    EXPECT_EQ(window->Label1->text(), "找到 1 对");
    EXPECT_EQ(rows(window->List1), QStringList({QString::number(ids[1]) + "|" + QString::number(ids[3]) + "|相同"}));
    EXPECT_EQ(window->RichTextBox1->Text(), "线粒体是有氧呼吸的主要场所");
    EXPECT_EQ(window->RichTextBox4->Text(), "ATP");
    EXPECT_EQ(window->Option1->text(), "编号 " + QString::number(ids[1]));
    EXPECT_TRUE(window->Option2->isChecked());

    // Not confirmed: nothing is deleted.
    const QString confirm = "确实要删除编号为 " + QString::number(ids[3]) + " 的题目吗？";
    prompt.expectMessage(confirm, "查找重复题", Icon::Question, Buttons::YesNo, Answer::No, Answer::No);
    window->Command2->click();
    prompt.verify();
    EXPECT_EQ(BankFile(form->bankPath()).count(), 4);

    // Confirmed: the one chosen goes, by its 编号, whatever was added meanwhile.
    ASSERT_TRUE(BankFile(form->bankPath()).add(asked("新加的一道题")));
    prompt.expectMessage(confirm, "查找重复题", Icon::Question, Buttons::YesNo, Answer::Yes, Answer::No);
    window->Command2->click();
    prompt.verify();
    EXPECT_FALSE(BankFile(form->bankPath()).positionOf(ids[3]));
    EXPECT_TRUE(BankFile(form->bankPath()).positionOf(ids[1]));
    EXPECT_EQ(window->List1->topLevelItemCount(), 0);
    EXPECT_EQ(window->Label1->text(), "还有 0 对");
    EXPECT_FALSE(window->Command2->isEnabled());
    EXPECT_EQ(pane().title(), "题库录入  共有题目4道　现在显示第4道");

    // Near ones at a lower similarity, with it shown.
    const QString longer = "在叶绿体中，绿色植物通过光合作用把二氧化碳和水转化成储存着能量的有机物，并且释放出氧气";
    BankFile bank(form->bankPath());
    ASSERT_TRUE(bank.add(asked(longer)));
    ASSERT_TRUE(bank.add(asked(QString(longer).replace("水", "H2O"))));
    window->Combo1->setCurrentIndex(window->Combo1->findText("80%"));
    window->Command1->click();
    ASSERT_EQ(window->List1->topLevelItemCount(), 1);
    EXPECT_EQ(window->List1->topLevelItem(0)->text(0), QString::number(bank.idsMatching({})->at(4)));
    EXPECT_TRUE(window->List1->topLevelItem(0)->text(2).endsWith('%'));
    window->Command3->click();
    EXPECT_TRUE(window->isHidden());
}

TEST_F(BankSearch, ImportAsksOnceAboutQuestionsTheBankHas)
{
    const QString file = dir.file("new.txt");
    writeAll(file, gbkEncode(u"新题库&CP01第一章&\r\n&SZ1填空题&\r\n&LV1易&\r\n&PT01 2 &\r\n&DY01一单元&\r\n"
                             u"$CP01DY01SZ1LV1PT01绿色植物通过光合作用制造有机物{叶绿体}$\r\n"
                             u"$CP01DY01SZ1LV1PT01细胞是生命活动的基本单位$\r\n"
                             u"$CP01DY01SZ1LV1PT01细胞是生命活动的基本单位$\r\n")
                       .value());
    const QString filter = QStringLiteral("批量题库文件(*.txt)|*.txt|所有文件(*.*)|*.*");
    prompt
        .expectMessage("只能导入规定格式的题库源文件！继续执行吗？", "警告", Icon::Question, Buttons::YesNo,
                       Answer::Yes, Answer::No)
        .expectOpenFile("导入题库", filter, file)
        .expectMessage("要导入的题目中有与题库中已有的题目（或文件中前面的题目）相同的题。\r\n\r\n"
                       "是否跳过这些重复的题？选“是”跳过，选“否”照样导入。",
                       "导入题库", Icon::Question, Buttons::YesNo, Answer::Yes, Answer::Yes)
        .expectMessage("导入文件执行完毕！\r\n跳过重复的题2道。", "提示", Icon::Warning);
    form->Frame1->Command40->click();
    prompt.verify();
    EXPECT_EQ(BankFile(form->bankPath()).count(), 5);
}

TEST_F(BankSearch, MergeAsksAboutQuestionsTheBankHas)
{
    const QString other = SubjectDir() + "b.tik";
    ASSERT_TRUE(BankFile(other).add(asked("线粒体是有氧呼吸的主要场所", "ATP")));
    ASSERT_TRUE(BankFile(other).add(asked("核糖体是合成蛋白质的场所")));
    const QString question = QStringLiteral(
        "　　合并题库将会将现在打开的题库与将指定的题库合并并不能自动恢复。建议合并之前检查两个题库的分值、"
        "题型、难度是否一致！如不一致，请先进行修改。是否继续？");
    const QString duplicates = "来源题库中有1道题与本题库中已有的题目（或来源题库中前面的题目）相同。\r\n\r\n"
                               "是否跳过这些重复的题？选“是”跳过，选“否”照样合并，选“取消”不合并。";
    auto merge = [&](Answer choice) {
        prompt.expectMessage(question, "警告", Icon::Question, Buttons::YesNo, Answer::Yes, Answer::No)
            .expectOpenFile("合并题库", "*.tik", other)
            .expectMessage("将“" + form->bankPath() + "”与“" + other + "”合并吗？", "警告", Icon::Question,
                           Buttons::YesNo, Answer::Yes, Answer::No)
            .expectMessage(duplicates, "警告", Icon::Question, Buttons::YesNoCancel, choice, Answer::Yes);
    };
    merge(Answer::Cancel);
    form->Frame1->Command59->click();
    prompt.verify();
    EXPECT_EQ(BankFile(form->bankPath()).count(), 4);

    merge(Answer::Yes);
    prompt.expectMessage("合并成功!\r\n跳过重复的题1道。", "提示", Icon::Warning);
    form->Frame1->Command59->click();
    prompt.verify();
    EXPECT_EQ(BankFile(form->bankPath()).count(), 5);
}
