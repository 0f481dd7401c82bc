#pragma once
// The setting panels of the bank window, opened by "设　置": the four attribute lists of
// the chosen bank (question types, chapters, difficulties, units), and in the chapter
// panel the moving of a chapter and the sort of the bank by chapter.

#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace qm {

class AttributePanel;
class FlexGrid;
class Form2;

class SettingsPanel : public QWidget {
    Q_OBJECT
public:
    explicit SettingsPanel(Form2& form);

    AttributePanel* Frame4;  // 题型设置
    FlexGrid* MSFlexGrid2;   // 库内题型
    QListWidget* List2;
    QLineEdit* Text9;        // 题型名称：
    QPushButton* Command15;  // 添　加
    QPushButton* Command16;  // 删　除
    QPushButton* Command17;  // 修　改
    QPushButton* Command18;  // 取　消

    AttributePanel* Frame5;  // 章节设置
    FlexGrid* MSFlexGrid3;   // 库内章节名称
    QListWidget* List3;
    QLineEdit* Text10;       // 章节名称：
    QPushButton* Command22;  // 添　加
    QPushButton* Command21;  // 删　除
    QPushButton* Command20;  // 修　改
    QPushButton* Command19;  // 取　消
    QPushButton* Command70;  // 上: move the chapter up
    QPushButton* Command71;  // 下: move the chapter down
    QPushButton* Command72;  // 题库按章节排序

    AttributePanel* Frame6;  // 难度设置
    FlexGrid* MSFlexGrid4;   // 库内难度等级
    QListWidget* List4;
    QLineEdit* Text11;       // 难度名称：
    QPushButton* Command26;  // 添　加
    QPushButton* Command25;  // 删　除
    QPushButton* Command24;  // 修　改
    QPushButton* Command23;  // 取　消

    AttributePanel* Frame10;  // 单元设置
    FlexGrid* MSFlexGrid1;    // 库内单元名称
    QListWidget* List5;
    QLineEdit* Text17;       // 单元名称：
    QPushButton* Command66;  // 添　加
    QPushButton* Command67;  // 删　除
    QPushButton* Command68;  // 修　改
    QPushButton* Command69;  // 取　消

    QTimer* Timer3;  // keeps the panels' buttons in step with their selections (500 ms)

    // The four panels: types, chapters, difficulties, units.
    QList<AttributePanel*> panels() const { return {Frame4, Frame5, Frame6, Frame10}; }
    // True while the panels are shown ("设　置" reads "关　闭").
    bool isOpen() const;
    // "设　置": shows the panels over the work area, and brings the chapters the questions
    // use but the list lacks to the end of the chapter list.
    void openSettings();
    // Shows the panels with the lists of the chosen bank, as the entry pane needs them.
    void showPanels();
    // Hides the panels, ending any pending step ("关　闭" of "设　置", another bank chosen).
    void closeSettings();

public Q_SLOTS:
    // Reads the four lists of the chosen bank into the grids and list boxes.
    void DataReFresh();
    void Timer3_Timer();
    void Command15_Click();
    void Command16_Click();
    void Command17_Click();
    void Command18_Click();
    void Command19_Click();
    void Command20_Click();
    void Command21_Click();
    void Command22_Click();
    void Command23_Click();
    void Command24_Click();
    void Command25_Click();
    void Command26_Click();
    void Command66_Click();
    void Command67_Click();
    void Command68_Click();
    void Command69_Click();
    void Command70_Click();
    void Command71_Click();
    void Command72_Click();

private:
    void moveChapter(int delta);

    Form2& m_form;
};

}  // namespace qm
