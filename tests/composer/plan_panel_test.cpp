// Saving and opening composition plans in the composition window.

#include "form3_fixture.h"

#include "bankstore/paper_library.h"
#include "core/gbk.h"

using namespace qm;
using namespace qm::test;

namespace {

const QString kFilter = QStringLiteral("出题方案(*.faa)|*.faa");

class Plans : public Form3Test {
protected:
    PlanPanel& plans() { return *form->Plans; }
    // Saves the window's plan to `path` through the panel.
    void save(const QString& path)
    {
        form->Command44->click();
        prompt.expectSaveFile("保存出题方案", kFilter, path);
        plans().Command46->click();
        plans().Command47->click();
        prompt.verify();
    }
    // Opens `path` through the panel, expecting `refusal` (title "错误", warning icon) if
    // given; a refusal ending in "…" is matched by its beginning.
    void open(const QString& path, const QString& refusal = {})
    {
        form->Command45->click();
        EXPECT_TRUE(plans().Text16->text().isEmpty());
        prompt.expectOpenFile("打开出题方案", kFilter, path);
        if (refusal.endsWith("…"))
            prompt.expectMessageStartingWith(refusal.chopped(1), "错误", Icon::Warning);
        else if (!refusal.isEmpty())
            prompt.expectMessage(refusal, "错误", Icon::Warning);
        plans().Command46->click();
        plans().Command47->click();
        prompt.verify();
    }
};

}  // namespace

TEST_F(Plans, ASavedPlanReopensCellForCellWithItsOptions)
{
    choose(criteria().TypePanel, criteria().Command23, {"选择题", "计算题"});
    choose(criteria().ChapterPanel, criteria().Command25, {"第一章", "第二章"});
    criteria().Check5->click();
    criteria().Check3->click();
    type(1, 4, "2");
    type(1, 5, "8");
    const selection::Grid saved = counts().grid();
    ASSERT_EQ(saved.first(), QStringList({"题型", "章节", "分值", "库内题数", "出题数", "大题总分", "小题分"}));

    form->Command44->click();
    EXPECT_EQ(plans().title(), "出题方案保存");
    EXPECT_EQ(plans().Command47->text(), "保　存");
    EXPECT_EQ(plans().Text3->text(), "数学");
    EXPECT_EQ(plans().Text4->text(), "期中.tik");
    EXPECT_EQ(plans().Text13->text(), "高一");
    EXPECT_TRUE(plans().Check1->isChecked() && plans().Check7->isChecked());
    EXPECT_FALSE(plans().Check6->isChecked() || plans().Check8->isChecked());
    // Without a file nothing is written.
    plans().Command47->click();
    EXPECT_FALSE(plans().isHidden());
    const QString path = dir.file("方案一.faa");
    save(path);
    EXPECT_TRUE(plans().isHidden());
    const QString text = *readGbkFile(path);
    EXPECT_TRUE(text.startsWith("\"数学\"\r\n\"期中.tik\"\r\n\"高一\"\r\n\"新大纲\"\r\n0\r\n1\r\n1\r\n0\r\n"))
        << text.toStdString();

    // Everything changed, then the plan opened: the options and the grid come back.
    form->Bank->Combo1->setCurrentIndex(1);
    form->Bank->Combo1_Click();
    criteria().Check3->click();
    criteria().Check2->click();
    open(path);
    EXPECT_TRUE(plans().isHidden());
    EXPECT_EQ(form->Bank->Combo1->currentText(), "数学");
    EXPECT_EQ(form->Bank->Combo2->currentText(), "期中.tik");
    EXPECT_FALSE(criteria().Check2->isChecked());
    EXPECT_TRUE(criteria().Check5->isChecked());
    EXPECT_TRUE(criteria().Check3->isChecked());
    EXPECT_FALSE(criteria().Check4->isChecked());
    EXPECT_EQ(counts().grid(), saved);
    EXPECT_EQ(counts().Text5->text(), "8");
}

TEST_F(Plans, APlanOfAnUnknownSubjectOrBankIsRefused)
{
    const QString path = dir.file("别处.faa");
    save(path);
    const QByteArray bytes = readAll(path);

    ASSERT_TRUE(writeAll(path, *gbkEncode(u"\"物理\"") + bytes.mid(bytes.indexOf("\r\n"))));
    open(path, "该学科不存在！");
    EXPECT_FALSE(plans().isHidden());
    EXPECT_EQ(form->Bank->Combo1->currentText(), "数学");

    // The bank is looked for among the subject's banks, which the subject chose.
    form->Bank->Combo1->setCurrentIndex(1);
    form->Bank->Combo1_Click();
    ASSERT_TRUE(writeAll(path, *gbkEncode(u"\"数学\"\r\n\"期初.tik\"")
                                   + bytes.mid(bytes.indexOf(*gbkEncode(u"\r\n\"高一\"")))));
    open(path, "该题库不存在！");
    EXPECT_FALSE(plans().isHidden());
    EXPECT_EQ(form->Bank->Combo1->currentText(), "数学");
}

TEST_F(Plans, ABrokenPlanChangesNothingAndAnEmptyOneClosesThePanel)
{
    choose(criteria().TypePanel, criteria().Command23, {"计算题"});
    criteria().Check2->click();
    criteria().Check3->click();
    const QString path = dir.file("坏.faa");
    save(path);
    QByteArray bytes = readAll(path);
    // The grid is said to have 3 rows, but holds 2.
    bytes.replace("\r\n2\r\n6\r\n", "\r\n3\r\n6\r\n");
    ASSERT_TRUE(writeAll(path, bytes));
    criteria().Check4->click();
    const selection::Grid before = counts().grid();
    open(path, "出题方案…");
    EXPECT_FALSE(plans().isHidden());
    EXPECT_TRUE(criteria().Check4->isChecked());
    EXPECT_EQ(counts().grid(), before);

    ASSERT_TRUE(writeAll(path, {}));
    open(path);
    EXPECT_TRUE(plans().isHidden());
    EXPECT_EQ(counts().grid(), before);
}

TEST_F(Plans, APlanIsNeverSavedOverTheBankOrAnotherKindOfFile)
{
    choose(criteria().TypePanel, criteria().Command23, {"选择题"});
    const QString bank = bankPath("数学/期中.tik");
    const QString library = bankPath("数学/期末.Juk");
    ASSERT_TRUE(PaperLibrary::createEmpty(library));
    ASSERT_TRUE(QFile::link(bank, dir.file("链接.faa")));
    QMap<QString, QByteArray> before;
    for (const QString& path : {bank, library})
        before[path] = readAll(path);

    const QList<std::pair<QString, QString>> refused = {
        {bank, "“" + bank + "”是正在使用的文件，不能覆盖！"},
        {dir.file("链接.faa"), "“" + dir.file("链接.faa") + "”就是正在使用的文件“" + bank + "”，不能覆盖！"},
        {library, "文件“" + library + "”已存在，它不是文本文件，不能覆盖！"},
        {dir.file("JuanMian.cfg"), "“" + dir.file("JuanMian.cfg") + "”是正在使用的文件，不能覆盖！"},
    };
    for (const auto& [path, message] : refused) {
        form->Command44->click();
        prompt.expectSaveFile("保存出题方案", kFilter, path);
        prompt.expectMessage(message, "错误", Icon::Warning);
        plans().Command46->click();
        plans().Command47->click();
        prompt.verify();
        EXPECT_FALSE(plans().isHidden());
        plans().Command59->click();
    }
    for (const QString& path : {bank, library})
        EXPECT_EQ(readAll(path), before[path]) << path.toStdString();
    EXPECT_FALSE(QFile::exists(dir.file("JuanMian.cfg")));
}
