#pragma once
// One attribute-list panel of the bank window ("题型设置", "章节设置", "难度设置",
// "单元设置"): the bank's list table shown in a grid and in a list box, a name box, and
// the two-press add, delete and rename buttons with their cancel button.

#include <QGroupBox>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace qm {

class EditStep;
class FlexGrid;
class Form2;
enum class AttributeList;

// The names of one panel's controls and its captions.
struct AttributePanelNames {
    QString frame, caption, grid, gridLabel, list, text, nameLabel;
    QString add, remove, rename, cancel;
};

class AttributePanel : public QGroupBox {
    Q_OBJECT
public:
    AttributePanel(Form2& form, QWidget* parent, AttributeList table, const AttributePanelNames& names);

    AttributeList table() const { return m_table; }
    FlexGrid* grid;       // what the bank holds (库内…)
    QListWidget* list;    // the same names, one to pick for editing
    QLineEdit* name;      // the name being edited
    QPushButton* add;     // 添　加
    QPushButton* remove;  // 删　除
    QPushButton* rename;  // 修　改
    QPushButton* cancel;  // 取　消

    EditStep* step() const { return m_step; }
    // Shows `names` in the grid and the list box (the list loses its selection).
    void fill(const QStringList& names);
    // Delete and rename follow the selection; the name box empties without one.
    void followSelection();

    // The buttons' handlers: two presses each, a failing write says why and stays pending.
    void addClick();
    void removeClick();
    void renameClick();
    void cancelClick();
    // A name picked in the list box (by click or keyboard) goes to the name box.
    void listClick();

private:
    Form2& m_form;
    AttributeList m_table;
    EditStep* m_step;
    int m_stepRow = -1;  // the entry a pending rename or delete was started on
};

}  // namespace qm
