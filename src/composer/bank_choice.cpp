#include "composer/bank_choice.h"

#include "bankstore/bank_file.h"
#include "bankstore/places.h"
#include "core/workspace.h"
#include "widgets/controls.h"

#include <QComboBox>
#include <QLineEdit>

namespace qm {

BankChoice::BankChoice(Workspace& workspace, QWidget* parent)
    : QGroupBox(QStringLiteral("题库选项："), parent), m_ws(workspace)
{
    setObjectName(QStringLiteral("FrameBank"));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo2 = new QComboBox(this);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Text1 = makeLineEdit(this, QStringLiteral("Text1"));
    Text2 = makeLineEdit(this, QStringLiteral("Text2"));
    for (QLineEdit* e : {Text1, Text2})
        e->setReadOnly(true);
    for (QComboBox* c : {Combo1, Combo2}) {
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(10);
    }
    connect(Combo1, qOverload<int>(&QComboBox::activated), this, &BankChoice::Combo1_Click);
    connect(Combo2, qOverload<int>(&QComboBox::activated), this, &BankChoice::Combo2_Click);
}

void BankChoice::setSubjects(const QStringList& subjects, bool keepChoice)
{
    const QString subject = Combo1->currentText();
    const QString bank = Combo2->currentText();
    if (keepChoice && !bank.isEmpty() && subjects.contains(subject)) {
        Combo1->clear();
        Combo1->addItems(subjects);
        Combo1->setCurrentIndex(int(subjects.indexOf(subject)));
        const QStringList banks = places::listed(subjectDir(), QStringLiteral("*.tik"));
        Combo2->clear();
        Combo2->addItems(banks);
        if (banks.contains(bank)) {
            Combo2->setCurrentIndex(int(banks.indexOf(bank)));
            return;
        }
        // The bank is gone: the subject's first bank, as a subject choice gives it.
        Combo1_Click();
        return;
    }
    Combo1->clear();
    Combo2->clear();
    Combo1->addItems(subjects);
    if (!subjects.isEmpty()) {
        Combo1->setCurrentIndex(0);
        Combo1_Click();
    }
}

QString BankChoice::subjectDir() const
{
    const QString subject = Combo1->currentText();
    return subject.isEmpty() ? QString() : m_ws.BankRoot() + subject + QLatin1Char('/');
}

QString BankChoice::bankPath() const
{
    const QString bank = Combo2->currentText();
    return bank.isEmpty() || subjectDir().isEmpty() ? QString() : subjectDir() + bank;
}

bool BankChoice::listBanks()
{
    const QString dir = subjectDir();
    Combo2->clear();
    if (!dir.isEmpty())
        Combo2->addItems(places::listed(dir, QStringLiteral("*.tik")));
    if (Combo2->count() == 0)
        return false;
    Combo2->setCurrentIndex(0);
    return true;
}

bool BankChoice::showParticulars(QString* error)
{
    Text1->clear();
    Text2->clear();
    const QString path = bankPath();
    if (path.isEmpty())
        return true;
    const auto p = BankFile(path).particulars(error);
    if (!p)
        return false;
    Text1->setText(p->speciality);
    Text2->setText(p->syllabus);
    Text1->setCursorPosition(0);
    Text2->setCursorPosition(0);
    return true;
}

}  // namespace qm
