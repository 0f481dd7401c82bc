#include "composer/bank_choice_panel.h"

#include "bankstore/bank_file.h"
#include "composer/count_grid_panel.h"
#include "composer/criteria_panel.h"
#include "composer/form3.h"
#include "widgets/busycursor.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace qm {

BankChoicePanel::BankChoicePanel(Form3& form) : BankChoice(form.workspace(), &form), m_form(form)
{
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("学科名称"), this));
    layout->addWidget(Combo1, 2);
    layout->addWidget(new QLabel(QStringLiteral("题库名称"), this));
    layout->addWidget(Combo2, 2);
    layout->addWidget(new QLabel(QStringLiteral("适用专业"), this));
    layout->addWidget(Text1, 2);
    layout->addWidget(new QLabel(QStringLiteral("适用大纲"), this));
    layout->addWidget(Text2, 3);
}

void BankChoicePanel::Combo1_Click()
{
    const bool any = listBanks();
    m_form.announceBank();
    if (any)
        Combo2_Click();
}

void BankChoicePanel::GetTiku()
{
    m_form.announceBank();
    showParticulars();
}

void BankChoicePanel::Combo2_Click()
{
    const BusyCursor busy;
    // The same file name in another subject is another bank.
    const QString bank = Combo2->currentText();
    if (bank == LoadedBank && bankPath() == m_loadedPath)
        return;
    CriteriaPanel* criteria = m_form.Criteria;
    criteria->clearForNewBank();
    // The criteria, the chapter/unit grid and the count grid belong to one bank: the grids
    // of the bank before go with its criteria.
    criteria->ReflashZj();
    m_form.Counts->RefleshGrid();
    GetTiku();
    const QString path = bankPath();
    if (path.isEmpty())
        return;
    QString error;
    const auto chapters = BankFile(path).distinctValues(Attribute::Chapter, {}, &error);
    if (!chapters) {
        // The lists stay as they are; the teacher learns why nothing was loaded.
        m_form.reportError(error);
        return;
    }
    criteria->setChapterCandidates(*chapters);
    LoadedBank = bank;
    m_loadedPath = path;
}

}  // namespace qm
