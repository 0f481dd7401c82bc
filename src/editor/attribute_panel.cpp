#include "editor/attribute_panel.h"

#include "bankstore/bank_file.h"
#include "editor/form2.h"
#include "editor/settings_panel.h"
#include "widgets/controls.h"
#include "widgets/editstep.h"
#include "widgets/flexgrid.h"
#include "widgets/report_error.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

namespace {

QString fieldName(AttributeList table)
{
    switch (table) {
    case AttributeList::Types: return QStringLiteral("题型");
    case AttributeList::Chapters: return QStringLiteral("章节");
    case AttributeList::Difficulties: return QStringLiteral("难度");
    case AttributeList::Units: return QStringLiteral("单元");
    }
    return {};
}

}  // namespace

AttributePanel::AttributePanel(Form2& form, QWidget* parent, AttributeList table, const AttributePanelNames& names)
    : QGroupBox(names.caption, parent), m_form(form), m_table(table)
{
    setObjectName(names.frame);
    grid = new FlexGrid(this);
    grid->setObjectName(names.grid);
    grid->setColWidth(0, 14);
    list = new QListWidget(this);
    list->setObjectName(names.list);
    name = makeLineEdit(this, names.text);
    add = makeButton(this, names.add, QStringLiteral("添　加"));
    remove = makeButton(this, names.remove, QStringLiteral("删　除"));
    rename = makeButton(this, names.rename, QStringLiteral("修　改"));
    cancel = makeButton(this, names.cancel, QStringLiteral("取　消"));
    cancel->setEnabled(false);

    auto* gridBox = new QVBoxLayout;
    gridBox->addWidget(new QLabel(names.gridLabel, this));
    gridBox->addWidget(grid);
    auto* lists = new QHBoxLayout;
    lists->addLayout(gridBox, 1);
    lists->addWidget(list, 1);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(names.nameLabel, this));
    nameRow->addWidget(name);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {add, remove, rename, cancel})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(nameRow);
    layout->addLayout(buttons);
    grid->setMinimumHeight(fontMetrics().height() * 3);
    list->setMinimumHeight(fontMetrics().height() * 3);

    m_step = new EditStep(form.keys(), cancel, this);
    // A name chosen with the keyboard fills the name box as a click does.
    connect(list, &QListWidget::currentRowChanged, this, &AttributePanel::listClick);
    connect(list, &QListWidget::itemClicked, this, &AttributePanel::listClick);
    hide();
}

void AttributePanel::fill(const QStringList& names)
{
    QList<QStringList> rows;
    for (const QString& n : names)
        rows.append({n});
    const int row = grid->Row();
    grid->setTable({fieldName(m_table)}, rows);
    grid->setColWidth(0, 14);
    grid->setRow(std::min(row, grid->Rows() - 1));
    list->clear();
    list->addItems(names);
}

void AttributePanel::followSelection()
{
    if (m_step->pending())
        return;
    const int i = list->currentRow();
    const bool selected = i >= 0 && list->item(i)->isSelected();
    remove->setEnabled(selected);
    rename->setEnabled(selected);
    if (!selected)
        name->clear();
}

void AttributePanel::listClick()
{
    const int row = list->currentRow();
    if (row < 0)
        return;
    name->setText(list->item(row)->text());
    if (m_table != AttributeList::Types)
        grid->setRow(row + 1);
}

void AttributePanel::addClick()
{
    if (!m_step->confirming(add)) {
        m_step->begin(add, {rename, remove, list});
        name->setFocus();
        return;
    }
    if (name->text().isEmpty())
        return;
    QString error;
    if (!BankFile(m_form.bankPath()).appendToList(m_table, name->text(), &error)) {
        reportError(m_form.prompt(), error);
        return;
    }
    m_form.Settings->DataReFresh();
    cancelClick();
}

void AttributePanel::renameClick()
{
    if (!m_step->confirming(rename)) {
        m_stepRow = list->currentRow();
        m_step->begin(rename, {list});
        name->setFocus();
        return;
    }
    if (name->text().isEmpty())
        return;
    // The entry chosen at the first press is renamed, whatever the lists show now.
    if (m_stepRow >= 0) {
        QString error;
        if (!BankFile(m_form.bankPath()).renameInList(m_table, m_stepRow, name->text(), &error)) {
            reportError(m_form.prompt(), error);
            return;
        }
    }
    m_form.Settings->DataReFresh();
    cancelClick();
}

void AttributePanel::removeClick()
{
    if (!m_step->confirming(remove)) {
        m_stepRow = list->currentRow();
        m_step->begin(remove, {rename, add, list});
        return;
    }
    if (m_stepRow >= 0) {
        QString error;
        if (!BankFile(m_form.bankPath()).removeFromList(m_table, m_stepRow, &error)) {
            reportError(m_form.prompt(), error);
            return;
        }
    }
    m_form.Settings->DataReFresh();
    cancelClick();
}

void AttributePanel::cancelClick()
{
    m_stepRow = -1;
    m_step->end();
    cancel->setEnabled(false);
}

}  // namespace qm
