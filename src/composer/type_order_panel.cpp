#include "composer/type_order_panel.h"

#include "composer/form5.h"
#include "widgets/controls.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

TypeOrderPanel::TypeOrderPanel(Form5& form) : QGroupBox(QStringLiteral("调整题型顺序"), &form), m_form(form)
{
    setObjectName(QStringLiteral("Frame6"));
    List2 = new QListWidget(this);
    List2->setObjectName(QStringLiteral("List2"));
    Command19 = makeButton(this, QStringLiteral("Command19"), QStringLiteral("向上"));
    Command20 = makeButton(this, QStringLiteral("Command20"), QStringLiteral("向下"));
    Command21 = makeButton(this, QStringLiteral("Command21"), QStringLiteral("关闭"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Command19, Command20, Command21})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List2, 1);
    layout->addLayout(buttons);
    connect(Command19, &QPushButton::clicked, this, &TypeOrderPanel::Command19_Click);
    connect(Command20, &QPushButton::clicked, this, &TypeOrderPanel::Command20_Click);
    connect(Command21, &QPushButton::clicked, this, &TypeOrderPanel::Command21_Click);
}

void TypeOrderPanel::open(const QStringList& types)
{
    List2->clear();
    List2->addItems(types);
    show();
}

void TypeOrderPanel::move(int step)
{
    const int from = List2->currentRow();
    const int to = from + step;
    if (from < 0 || to < 0 || to >= List2->count())
        return;
    List2->insertItem(to, List2->takeItem(from));
    List2->setCurrentRow(to);
    QStringList types;
    for (int i = 0; i < List2->count(); ++i)
        types << List2->item(i)->text();
    m_form.typeOrderChanged(types);
}

void TypeOrderPanel::Command19_Click()
{
    move(-1);
}

void TypeOrderPanel::Command20_Click()
{
    move(1);
}

void TypeOrderPanel::Command21_Click()
{
    hide();
}

}  // namespace qm
