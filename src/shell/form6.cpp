#include "shell/form6.h"

#include "shell/artwork.h"
#include "widgets/controls.h"
#include "widgets/flexgrid.h"

#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qm {

Form6::Form6(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("题库信息"));
    setWindowIcon(programIcon());
    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    Command1 = new QPushButton(QStringLiteral("全部展开"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("全部折叠"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command3 = new QPushButton(QStringLiteral("关 闭"), this);
    Command3->setObjectName(QStringLiteral("Command3"));

    auto* split = new QSplitter(this);
    split->addWidget(TreeView1);
    split->addWidget(MSFlexGrid1);
    split->setStretchFactor(1, 1);
    // The table's six columns side by side, the tree beside them.
    split->setSizes({300, 640});
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    connect(Command1, &QPushButton::clicked, this, &Form6::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form6::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form6::Command3_Click);
    sizeToScreen(this, QSize(960, 560));
}

void Form6::clearNodes()
{
    TreeView1->clear();
    m_nodes.clear();
}

int Form6::addNode(int parent, const QString& text)
{
    QTreeWidgetItem* item = nullptr;
    if (parent >= 1 && parent <= m_nodes.size())
        item = new QTreeWidgetItem(m_nodes[parent - 1], {text});
    else
        item = new QTreeWidgetItem(TreeView1, {text});
    m_nodes.append(item);
    return int(m_nodes.size());
}

QTreeWidgetItem* Form6::node(int k) const
{
    return k >= 1 && k <= m_nodes.size() ? m_nodes[k - 1] : nullptr;
}

void Form6::showBankInformation(const selection::BankInformation& information)
{
    setWindowTitle(information.caption);
    MSFlexGrid1->setFixedCols(0);
    MSFlexGrid1->setTable(information.headings, information.rows);
    // 1100 and 2000 twips at 15 twips a pixel.
    MSFlexGrid1->setColWidth(0, 1100 / 15);
    MSFlexGrid1->setColWidth(1, 2000 / 15);
    clearNodes();
    QHash<QString, int> numbers;  // node number by key
    for (const selection::BankInformation::Node& n : information.nodes)
        numbers.insert(n.key, addNode(numbers.value(n.parent, 0), n.text));
    if (QTreeWidgetItem* top = node(1))
        top->setExpanded(true);
}

void Form6::Command1_Click()
{
    for (int k = 1; k <= nodeCount(); ++k)
        node(k)->setExpanded(true);
}

void Form6::Command2_Click()
{
    // Node 1 stays open so the top of the tree still shows its children.
    for (int k = 2; k <= nodeCount(); ++k)
        node(k)->setExpanded(false);
}

void Form6::Command3_Click()
{
    hide();
}

}  // namespace qm
