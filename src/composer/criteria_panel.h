#pragma once
// The criteria of the automatic composition window: the chosen question types (their order
// is the section order), chapters, difficulties and, per chapter, units, each with the
// pop-up panel of its candidates; the chapter/unit grid; and the four options. Every change
// of the criteria rebuilds the count grid.

#include "selection/count_grid.h"

#include <QWidget>

class QCheckBox;
class QListWidget;
class QPushButton;
class QTimer;

namespace qm {

class CandidatePanel;
class FlexGrid;
enum class Attribute;
class Form3;

class CriteriaPanel : public QWidget {
    Q_OBJECT
public:
    explicit CriteriaPanel(Form3& form);

    QListWidget* List1;      // 题型与顺序: chosen types, in section order
    QPushButton* Command2;   // 向上
    QPushButton* Command3;   // 向下
    QPushButton* Command23;  // 增减题型
    QListWidget* List4;      // 章节名称: chosen chapters
    QPushButton* Command25;  // 增减章节
    QListWidget* List8;      // 难度等级: chosen difficulties
    QPushButton* Command35;  // 增减难度
    FlexGrid* MSFlexGrid1;   // 每章节单元组成: a column per chosen chapter with its units
    QPushButton* Command16;  // 增减单元
    QCheckBox* Check2;       // 不分章节
    QCheckBox* Check5;       // 不分单元
    QCheckBox* Check3;       // 不分难度
    QCheckBox* Check4;       // 无论分值

    CandidatePanel* TypePanel;  // candidate types
    QListWidget* List6;
    QPushButton* Command30;  // < 选中
    QPushButton* Command31;  // 删除 >
    QPushButton* Command29;  // <<全选
    QPushButton* Command32;  // 全删>>
    QPushButton* Command24;  // 关闭

    CandidatePanel* ChapterPanel;  // candidate chapters
    QListWidget* List3;
    QPushButton* Command19;  // < 选中
    QPushButton* Command18;  // 删除 >
    QPushButton* Command21;  // <<全选
    QPushButton* Command20;  // 全删>>
    QPushButton* Command26;  // 关闭

    CandidatePanel* DifficultyPanel;  // candidate difficulties
    QListWidget* List9;
    QPushButton* Command39;  // < 选中
    QPushButton* Command38;  // 删除 >
    QPushButton* Command40;  // <<全选
    QPushButton* Command37;  // 全删>>
    QPushButton* Command36;  // 关闭

    CandidatePanel* UnitPanel;  // ＾＾＾单元选择: the units of the current chapter
    QListWidget* List5;         // 已选单元
    QListWidget* List7;         // 候选单元
    QPushButton* Command28;     // < 选中
    QPushButton* Command27;     // 删除 >
    QPushButton* Command33;     // <<全选
    QPushButton* Command17;     // 全删>>
    QPushButton* Command34;     // 关闭

    QTimer* Timer1;  // keeps the panels' buttons and 向上/向下 in step (400 ms)

    // The options and the whole criteria as the count grid is built from them.
    selection::GridOptions options() const;
    selection::Criteria criteria() const;
    // Sets an option as a click would, with all its effects, when it differs.
    void setOption(QCheckBox* box, bool on);

    // A new bank: the chosen types, difficulties and units and all chapters are cleared,
    // its chapters become the candidates.
    void clearForNewBank();
    void setChapterCandidates(const QStringList& chapters);

    // Rebuilds the chapter columns of the chapter/unit grid from List4.
    void ReflashZj();
    // Writes the current chapter's units into its column, then rebuilds the count grid.
    void ReflashDy();

public Q_SLOTS:
    // A click on column `col` of the chapter/unit grid.
    void MSFlexGrid1_Click(int col);
    void Timer1_Timer();
    void Check2_Click();
    void Check3_Click();
    void Check4_Click();
    void Check5_Click();
    void Command2_Click();
    void Command3_Click();
    void Command16_Click();
    void Command23_Click();
    void Command25_Click();
    void Command35_Click();
    void Command30_Click();
    void Command31_Click();
    void Command29_Click();
    void Command32_Click();
    void Command24_Click();
    void Command19_Click();
    void Command18_Click();
    void Command21_Click();
    void Command20_Click();
    void Command26_Click();
    void Command39_Click();
    void Command38_Click();
    void Command40_Click();
    void Command37_Click();
    void Command36_Click();
    void Command28_Click();
    void Command27_Click();
    void Command33_Click();
    void Command17_Click();
    void Command34_Click();

private:
    // Fills a candidate panel with the bank's distinct values of `attribute` and shows it.
    void openCandidates(CandidatePanel* panel, Attribute attribute);
    void closeCandidates(CandidatePanel* panel);
    // What follows a move in a panel: the grids are rebuilt.
    void afterMove(CandidatePanel* panel, bool moved);
    // Moves the selected type one place up (-1) or down (+1).
    void moveType(int step);
    // What an option change ends with; `reload` loads the bank anew (when it changed),
    // otherwise the bank window follows the chosen bank.
    void optionChanged(bool reload);

    Form3& m_form;
    QString m_currentChapter;
};

}  // namespace qm
