#include "composer/bank_choice_panel.h"

#include "bankstore/bank_file.h"
#include "composer/criteria_panel.h"
#include "composer/form3.h"
#include "core/workspace.h"
#include "widgets/busycursor.h"
#include "widgets/controls.h"
#include "widgets/filelists.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace qm {

BankChoicePanel::BankChoicePanel(Form3& form) : QGroupBox(QStringLiteral("题库选项："), &form), m_form(form)
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

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("学科名称"), this));
    layout->addWidget(Combo1, 2);
    layout->addWidget(new QLabel(QStringLiteral("题库名称"), this));
    layout->addWidget(Combo2, 2);
    layout->addWidget(new QLabel(QStringLiteral("适用专业"), this));
    layout->addWidget(Text1, 2);
    layout->addWidget(new QLabel(QStringLiteral("适用大纲"), this));
    layout->addWidget(Text2, 3);

    connect(Combo1, qOverload<int>(&QComboBox::activated), this, &BankChoicePanel::Combo1_Click);
    connect(Combo2, qOverload<int>(&QComboBox::activated), this, &BankChoicePanel::Combo2_Click);
}

void BankChoicePanel::setSubjects(const QStringList& subjects)
{
    Combo1->clear();
    Combo1->addItems(subjects);
    if (!subjects.isEmpty()) {
        Combo1->setCurrentIndex(0);
        Combo1_Click();
    }
}

QString BankChoicePanel::subjectDir() const
{
    const QString subject = Combo1->currentText();
    return subject.isEmpty() ? QString() : m_form.workspace().BankRoot() + subject + QLatin1Char('/');
}

QString BankChoicePanel::bankPath() const
{
    const QString bank = Combo2->currentText();
    return bank.isEmpty() || subjectDir().isEmpty() ? QString() : subjectDir() + bank;
}

void BankChoicePanel::Combo1_Click()
{
    const QString dir = subjectDir();
    Combo2->clear();
    if (!dir.isEmpty())
        Combo2->addItems(filesMatching(dir, QStringLiteral("*.tik")));
    m_form.announceBank();
    if (Combo2->count() > 0) {
        Combo2->setCurrentIndex(0);
        Combo2_Click();
    }
}

void BankChoicePanel::GetTiku()
{
    m_form.announceBank();
    Text1->clear();
    Text2->clear();
    const QString path = bankPath();
    if (path.isEmpty())
        return;
    QString error;
    if (const auto p = BankFile(path).particulars(&error)) {
        Text1->setText(p->speciality);
        Text2->setText(p->syllabus);
        Text1->setCursorPosition(0);
        Text2->setCursorPosition(0);
    }
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
