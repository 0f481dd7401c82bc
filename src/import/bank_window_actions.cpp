#include "import/bank_window_actions.h"

#include "editor/form2.h"
#include "import/bank_maintenance.h"
#include "import/form4.h"

#include <QListWidget>
#include <QPushButton>

namespace qm {

BankWindowActions::BankWindowActions(Form2& form, Prompt& prompt) : QObject(&form), m_form(form), m_prompt(prompt)
{
    connect(m_form.Command59, &QPushButton::clicked, this, &BankWindowActions::Command59_Click);
    connect(m_form.Command60, &QPushButton::clicked, this, &BankWindowActions::Command60_Click);
    connect(m_form.Command72, &QPushButton::clicked, this, &BankWindowActions::Command72_Click);
}

Form4* BankWindowActions::form4()
{
    if (!m_form4)
        m_form4 = new Form4(&m_form);
    return m_form4;
}

void BankWindowActions::Command59_Click()
{
    import::mergeBanks(m_prompt, m_form.bankPath());
}

void BankWindowActions::Command60_Click()
{
    form4()->show();
    form4()->raise();
}

void BankWindowActions::Command72_Click()
{
    QStringList chapters;
    for (int i = 0; i < m_form.List3->count(); ++i)
        chapters << m_form.List3->item(i)->text();
    import::sortBankByChapter(m_prompt, m_form.bankPath(), chapters);
}

}  // namespace qm
