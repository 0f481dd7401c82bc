#include "composer/candidate_panel.h"

#include "widgets/controls.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <memory>

namespace qm {

namespace {

bool moveSelected(QListWidget* from, QListWidget* to)
{
    const int row = from->currentRow();
    if (row < 0 || !from->item(row)->isSelected())
        return false;
    const std::unique_ptr<QListWidgetItem> item(from->takeItem(row));
    to->addItem(item->text());
    from->setCurrentRow(-1);
    return true;
}

bool moveAll(QListWidget* from, QListWidget* to)
{
    if (from->count() == 0)
        return false;
    for (int i = 0; i < from->count(); ++i)
        to->addItem(from->item(i)->text());
    from->clear();
    return true;
}

bool hasSelection(const QListWidget* list)
{
    return list->currentRow() >= 0 && list->currentItem()->isSelected();
}

}  // namespace

CandidatePanel::CandidatePanel(QWidget* parent, QListWidget* chosen, const CandidatePanelNames& names,
                               const QString& chosenLabel, const QString& candidateLabel)
    : QGroupBox(names.caption, parent), m_chosen(chosen)
{
    setObjectName(names.frame);
    label = new QLabel(this);
    label->setWordWrap(true);
    list = new QListWidget(this);
    list->setObjectName(names.list);
    choose = makeButton(this, names.choose, QStringLiteral("< 选中"));
    remove = makeButton(this, names.remove, QStringLiteral("删除 >"));
    chooseAll = makeButton(this, names.chooseAll, QStringLiteral("<<全选"));
    removeAll = makeButton(this, names.removeAll, QStringLiteral("全删>>"));
    close = makeButton(this, names.close, QStringLiteral("关闭"));

    // Columns: the chosen list when the panel shows it, the buttons, the candidates.
    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0, 1, 3);
    if (!chosenLabel.isEmpty()) {
        layout->addWidget(new QLabel(chosenLabel, this), 1, 0);
        layout->addWidget(chosen, 2, 0, 6, 1);
    }
    if (!candidateLabel.isEmpty())
        layout->addWidget(new QLabel(candidateLabel, this), 1, 2);
    layout->addWidget(list, 2, 2, 6, 1);
    int row = 2;
    for (QPushButton* b : {choose, remove, chooseAll, removeAll})
        layout->addWidget(b, row++, 1);
    layout->setRowStretch(row++, 1);
    layout->addWidget(close, row, 1);
    layout->setColumnStretch(0, chosenLabel.isEmpty() ? 0 : 1);
    layout->setColumnStretch(2, 1);
    const int width = fontMetrics().horizontalAdvance(QStringLiteral("第十二章　章节名称")) + 24;
    list->setMinimumWidth(width);
    if (!chosenLabel.isEmpty())
        chosen->setMinimumWidth(width);
    label->setVisible(false);
    hide();
}

void CandidatePanel::fill(const QStringList& values)
{
    list->clear();
    for (const QString& v : values)
        if (m_chosen->findItems(v, Qt::MatchExactly | Qt::MatchCaseSensitive).isEmpty())
            list->addItem(v);
}

bool CandidatePanel::chooseSelected()
{
    return moveSelected(list, m_chosen);
}

bool CandidatePanel::removeSelected()
{
    return moveSelected(m_chosen, list);
}

bool CandidatePanel::chooseEverything()
{
    return moveAll(list, m_chosen);
}

bool CandidatePanel::removeEverything()
{
    return moveAll(m_chosen, list);
}

void CandidatePanel::updateButtons()
{
    choose->setEnabled(hasSelection(list));
    remove->setEnabled(hasSelection(m_chosen));
    chooseAll->setEnabled(list->count() > 0);
    removeAll->setEnabled(m_chosen->count() > 0);
}

}  // namespace qm
