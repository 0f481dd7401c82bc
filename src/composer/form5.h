#pragma once
// The manual composition window "手工组卷": the teacher browses one bank through five
// attribute filters and picks questions one at a time; each pick appends the question,
// with a provisional label (一、1.), to the paper and, with its answer, to the answer sheet.
// "整理试卷" rebuilds both in proper sections from the picked list. The window is hidden,
// never destroyed, so a paper under way survives closing it.
// The window is composed of its panels:
//   Bank    "题库选项："    ManualBankPanel  subject, bank, particulars and the five filters
//   Browse                  BrowsePanel      the matching questions, one at a time, and the pick
//   Frame2  "卷面设置"      HeaderPane       the paper header and its settings
//   Frame5  "样卷显示"      PaperPanel       the paper and the answer sheet
//   Frame6  "调整题型顺序"  TypeOrderPanel   the order of the question types
//   Frame7  "出卷内容编辑"  PickedPanel      the picked list, its preview, delete and clear

#include "composer/composition_window.h"
#include "selection/manual.h"

class QListWidget;
class QPushButton;

namespace qm {

class BrowsePanel;
class HeaderPane;
class ManualBankPanel;
class PaperPanel;
class PickedPanel;
class Prompt;
class RichTextBox;
class TypeOrderPanel;
class Workspace;

class Form5 : public CompositionWindow {
    Q_OBJECT
public:
    Form5(Workspace& workspace, Prompt& prompt, QWidget* parent = nullptr);
    ~Form5() override;

    ManualBankPanel* Bank;
    BrowsePanel* Browse;
    HeaderPane* Frame2;
    PaperPanel* Frame5;
    TypeOrderPanel* Frame6;
    PickedPanel* Frame7;

    QPushButton* Command6;   // 试卷标题编辑: the header pane
    QPushButton* Command7;   // 卷面编辑: the paper
    QPushButton* Command18;  // 调整题型顺序 (only while nothing is picked)
    QPushButton* Command25;  // 编辑试卷: the picked list
    QPushButton* Command15;  // 整理试卷
    QPushButton* Command17;  // 显示题库信息
    QPushButton* Command16;  // 关　闭

    // The controls other parts read, named as in the panels.
    QListWidget* List1;         // 已出题目 (Frame7)
    RichTextBox* RichTextBox3;  // 样卷 (Frame5)
    RichTextBox* RichTextBox4;  // 答卷 (Frame5)

    // Says "请先选择一个题库！" and gives true when no bank is chosen.
    bool refuseWithoutBank();

    // Opens the window with the bank window's subjects, the first chosen, unless a paper is
    // under way: then the window is shown as it was left.
    void open(const QStringList& subjects);
    // The paper or the answer sheet holds something.
    bool paperUnderWay() const;

    // The picks of the paper, of whichever bank.
    const selection::ManualPicks& picks() const { return m_picks; }
    // Another bank: its types are numbered from 1 again; the picks of the banks before
    // stay in the list and in the paper.
    void bankChanged();
    // "选　中": the shown question joins the paper.
    void pickShown();
    // "删除该题" and "清空试卷".
    void removePick(int row);
    void clearPicks();
    // The type order changed (only while nothing is picked): the type filter follows.
    void typeOrderChanged(const QStringList& types);

public Q_SLOTS:
    void Command6_Click();
    void Command7_Click();
    void Command14_Click();
    void Command15_Click();
    void Command16_Click();
    void Command17_Click();
    void Command18_Click();
    void Command25_Click();

Q_SIGNALS:
    // "显示题库信息": the bank-information window is to show these statistics.
    void bankInformation(const selection::BankInformation& information);

protected:
    // The picks: each was written into the paper as it was picked.
    QList<QuestionRef> paperQuestions() const override;

private:
    // The pages of the work area, in this order.
    enum Page { BrowsePage, HeaderPage, PaperPage };
    // Shows the picked list again, with `row` selected (none when -1).
    void showPicks(int row = -1);

    selection::ManualPicks m_picks;
};

}  // namespace qm
