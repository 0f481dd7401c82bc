#include "composer/picked_panel.h"

#include "bankstore/bank_file.h"
#include "composer/form5.h"
#include "composer/manual_bank_panel.h"
#include "selection/manual.h"
#include "widgets/controls.h"
#include "widgets/richtextbox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace qm {

PickedPanel::PickedPanel(Form5& form) : QGroupBox(QStringLiteral("出卷内容编辑"), &form), m_form(form)
{
    setObjectName(QStringLiteral("Frame7"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    RichTextBox10 = new RichTextBox(this);
    RichTextBox10->setObjectName(QStringLiteral("RichTextBox10"));
    RichTextBox10->setReadOnly(true);
    Command23 = makeButton(this, QStringLiteral("Command23"), QStringLiteral("删除该题"));
    Command22 = makeButton(this, QStringLiteral("Command22"), QStringLiteral("清空试卷"));
    Command24 = makeButton(this, QStringLiteral("Command24"), QStringLiteral("关  闭"));
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(500);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Command23, Command22, Command24})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("已出题目："), this));
    layout->addWidget(List1, 2);
    layout->addWidget(new QLabel(QStringLiteral("预览题目："), this));
    layout->addWidget(RichTextBox10, 3);
    layout->addLayout(buttons);

    connect(List1, &QListWidget::currentRowChanged, this, &PickedPanel::List1_Click);
    connect(Command22, &QPushButton::clicked, this, &PickedPanel::Command22_Click);
    connect(Command23, &QPushButton::clicked, this, &PickedPanel::Command23_Click);
    connect(Command24, &QPushButton::clicked, this, &PickedPanel::Command24_Click);
    connect(Timer2, &QTimer::timeout, this, &PickedPanel::Timer2_Timer);
    Timer2->start();
    Timer2_Timer();
}

void PickedPanel::List1_Click()
{
    RichTextBox10->clear();
    const int row = List1->currentRow();
    const QList<selection::PickedQuestion>& picks = m_form.picks().picks();
    const auto key = row >= 0 && row < picks.size() ? selection::parsePickKey(picks[row].key) : std::nullopt;
    if (key) {
        // The question is read from the bank it was picked from; one deleted since shows
        // nothing, a bank that cannot be read is reported.
        QString error;
        if (const auto found = BankFile(picks[row].bankPath).readByIds({key->id}, &error)) {
            if (found->contains(key->id))
                RichTextBox10->setTextRTF(found->value(key->id).text);
        } else {
            m_form.reportError(error);
        }
    }
    Timer2_Timer();
}

void PickedPanel::Command22_Click()
{
    m_form.clearPicks();
}

void PickedPanel::Command23_Click()
{
    m_form.removePick(List1->currentRow());
}

void PickedPanel::Command24_Click()
{
    hide();
}

void PickedPanel::Timer2_Timer()
{
    Command23->setEnabled(List1->currentItem() != nullptr && List1->currentItem()->isSelected());
    Command22->setEnabled(List1->count() > 0);
}

}  // namespace qm
