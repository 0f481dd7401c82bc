#pragma once
// An automatic composition window on a temporary bank root: the subject 数学 with the banks
// 期中.tik (several types, chapters, units, difficulties and scores) and 综合.tik (one
// question), and the subject 语文 with 语文一.tik; ready to be driven by its controls.

#include "bankstore/bank_file.h"
#include "composer/bank_choice_panel.h"
#include "composer/candidate_panel.h"
#include "composer/contents_panel.h"
#include "composer/count_grid_panel.h"
#include "composer/criteria_panel.h"
#include "composer/form3.h"
#include "composer/plan_panel.h"
#include "kinds_bank.h"
#include "rtf/rich_text.h"
#include "support/qstring_print.h"
#include "support/scripted_prompt.h"
#include "support/temp_dirs.h"
#include "widgets/flexgrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace qm::test {

class Form3Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(dir.file("tiku/数学"));
        QDir().mkpath(dir.file("tiku/语文"));
        dir.workspace.setBankRoot(dir.file("tiku"));
        makeBank("数学/期中.tik", {{"选择题", "第一章", "一节", "易", 2, 3},
                                   {"选择题", "第一章", "一节", "难", 1, 4},
                                   {"选择题", "第二章", "二节", "易", 2, 2},
                                   {"填空题", "第一章", "一节", "易", 3, 3},
                                   {"填空题", "第一章", "三节", "难", 3, 1},
                                   {"计算题", "第二章", "二节", "难", 10, 12}});
        makeBank("数学/综合.tik", {{"选择题", "第一章", "一节", "易", 2, 1}});
        makeBank("语文/语文一.tik", {{"作文", "第一章", "一节", "易", 40, 1}});
        Particulars p;
        p.speciality = "高一";
        p.syllabus = "新大纲";
        ASSERT_TRUE(BankFile(bankPath("数学/期中.tik")).setParticulars(p));
        form = std::make_unique<Form3>(dir.workspace, prompt);
        form->open({"数学", "语文"});
    }

    void makeBank(const QString& name, const QList<Kind>& kinds) { makeKindsBank(bankPath(name), kinds); }
    QString bankPath(const QString& name) const { return dir.file("tiku/" + name); }

    CriteriaPanel& criteria() { return *form->Criteria; }
    CountGridPanel& counts() { return *form->Counts; }
    FlexGrid& grid() { return *form->Counts->MSFlexGrid2; }

    static QStringList items(const QListWidget* list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    // Selects `text` in `list` as a click does.
    static void pick(QListWidget* list, const QString& text)
    {
        const auto found = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        list->setCurrentItem(found.first());
    }
    // Chooses candidates one by one with "< 选中" of their panel.
    void choose(CandidatePanel* panel, QPushButton* open, const QStringList& values)
    {
        open->click();
        for (const QString& v : values) {
            pick(panel->list, v);
            panel->choose->click();
        }
        panel->close->click();
    }
    // Chooses `units` of the chapter in column `col` of the chapter/unit grid.
    void chooseUnits(int col, const QStringList& units)
    {
        criteria().MSFlexGrid1_Click(col);
        choose(criteria().UnitPanel, criteria().Command16, units);
    }
    // The count grid, row by row, cells joined by '|'.
    QStringList gridRows()
    {
        QStringList rows;
        for (const QStringList& r : counts().grid())
            rows << r.join('|');
        return rows;
    }
    // Types a value into a cell of the count grid as the teacher does: click, then type.
    void type(int row, int col, const QString& text)
    {
        grid().clickCell(row, col);
        ASSERT_FALSE(counts().GridEdit->isHidden()) << row << "," << col;
        counts().GridEdit->setText(text);
    }

    TempProgramDir dir;
    ScriptedPrompt prompt;
    std::unique_ptr<Form3> form;
};

}  // namespace qm::test
