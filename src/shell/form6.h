#pragma once
// The bank-information window: a tree and a table of a bank's statistics, filled by the
// manual composition window, with expand-all and collapse-all.

#include "selection/manual.h"

#include <QWidget>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace qm {

class FlexGrid;

class Form6 : public QWidget {
    Q_OBJECT
public:
    explicit Form6(QWidget* parent = nullptr);

    QTreeWidget* TreeView1;
    FlexGrid* MSFlexGrid1;
    QPushButton* Command1;  // 全部展开
    QPushButton* Command2;  // 全部折叠
    QPushButton* Command3;  // 关 闭

    // Empties the tree. Nodes are numbered from 1 in the order they are added.
    void clearNodes();
    // Adds a node under node `parent` (0 = top level) and returns its number.
    int addNode(int parent, const QString& text);
    int nodeCount() const { return int(m_nodes.size()); }
    QTreeWidgetItem* node(int k) const;

    // Shows a bank's statistics: the caption, the table (one row per group) and the tree
    // (the bank, then type, chapter, unit, difficulty, score and count).
    void showBankInformation(const selection::BankInformation& information);

public Q_SLOTS:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

private:
    QList<QTreeWidgetItem*> m_nodes;
};

}  // namespace qm
