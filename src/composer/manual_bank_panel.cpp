#include "composer/manual_bank_panel.h"

#include "composer/browse_panel.h"
#include "composer/form5.h"
#include "core/numbers.h"
#include "core/workspace.h"
#include "widgets/busycursor.h"
#include "widgets/controls.h"
#include "widgets/filelists.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace qm {

namespace {

QComboBox* makeCombo(QWidget* parent, const QString& name, int contents)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(contents);
    return combo;
}

// Fills `combo` with `values` and chooses the first.
void fill(QComboBox* combo, const QStringList& values)
{
    combo->clear();
    combo->addItems(values);
    if (!values.isEmpty())
        combo->setCurrentIndex(0);
}

}  // namespace

ManualBankPanel::ManualBankPanel(Form5& form) : QGroupBox(QStringLiteral("题库选项："), &form), m_form(form)
{
    setObjectName(QStringLiteral("FrameBank"));
    Combo1 = makeCombo(this, QStringLiteral("Combo1"), 8);
    Combo2 = makeCombo(this, QStringLiteral("Combo2"), 10);
    Text1 = makeLineEdit(this, QStringLiteral("Text1"));
    Text2 = makeLineEdit(this, QStringLiteral("Text2"));
    for (QLineEdit* e : {Text1, Text2})
        e->setReadOnly(true);
    Combo3 = makeCombo(this, QStringLiteral("Combo3"), 6);
    Combo4 = makeCombo(this, QStringLiteral("Combo4"), 8);
    Combo8 = makeCombo(this, QStringLiteral("Combo8"), 8);
    Combo5 = makeCombo(this, QStringLiteral("Combo5"), 4);
    Combo7 = makeCombo(this, QStringLiteral("Combo7"), 3);

    auto* layout = new QGridLayout(this);
    const QList<std::pair<QString, QWidget*>> top{{QStringLiteral("学科名称"), Combo1},
                                                  {QStringLiteral("题库名称"), Combo2},
                                                  {QStringLiteral("适用专业"), Text1},
                                                  {QStringLiteral("适用大纲"), Text2},
                                                  {QString(), nullptr}};
    const QList<std::pair<QString, QWidget*>> filters{{QStringLiteral("题型"), Combo3},
                                                      {QStringLiteral("章节"), Combo4},
                                                      {QStringLiteral("单元"), Combo8},
                                                      {QStringLiteral("难度"), Combo5},
                                                      {QStringLiteral("分值"), Combo7}};
    for (int row = 0; row < 2; ++row) {
        const auto& cells = row == 0 ? top : filters;
        for (int i = 0; i < cells.size(); ++i) {
            if (!cells[i].second)
                continue;
            layout->addWidget(new QLabel(cells[i].first, this), row, 2 * i);
            layout->addWidget(cells[i].second, row, 2 * i + 1);
        }
    }
    for (int col : {1, 3, 5, 7, 9})
        layout->setColumnStretch(col, 1);

    connect(Combo1, qOverload<int>(&QComboBox::activated), this, &ManualBankPanel::Combo1_Click);
    connect(Combo2, qOverload<int>(&QComboBox::activated), this, &ManualBankPanel::Combo2_Click);
    for (QComboBox* c : {Combo3, Combo4, Combo8, Combo5, Combo7})
        connect(c, qOverload<int>(&QComboBox::activated), this, &ManualBankPanel::Filter_Click);
}

void ManualBankPanel::setSubjects(const QStringList& subjects)
{
    Combo1->clear();
    Combo2->clear();
    Combo1->addItems(subjects);
    if (!subjects.isEmpty()) {
        Combo1->setCurrentIndex(0);
        Combo1_Click();
    }
}

QString ManualBankPanel::subjectDir() const
{
    const QString subject = Combo1->currentText();
    return subject.isEmpty() ? QString() : m_form.workspace().BankRoot() + subject + QLatin1Char('/');
}

QString ManualBankPanel::bankPath() const
{
    const QString bank = Combo2->currentText();
    return bank.isEmpty() || subjectDir().isEmpty() ? QString() : subjectDir() + bank;
}

std::optional<QuestionFilter> ManualBankPanel::filter() const
{
    for (const QComboBox* c : {Combo3, Combo4, Combo8, Combo5, Combo7})
        if (c->currentIndex() < 0)
            return std::nullopt;
    QuestionFilter f;
    f.type = Combo3->currentText();
    f.typeIgnoresTrailingBlanks = true;
    f.chapter = Combo4->currentText();
    f.unit = Combo8->currentText();
    f.difficulty = Combo5->currentText();
    f.score = Val(Combo7->currentText());
    return f;
}

void ManualBankPanel::setTypes(const QStringList& types)
{
    fill(Combo3, types);
    Filter_Click();
}

void ManualBankPanel::clearFilters()
{
    for (QComboBox* c : {Combo3, Combo4, Combo8, Combo5, Combo7})
        c->clear();
}

void ManualBankPanel::Combo1_Click()
{
    const QString dir = subjectDir();
    Combo2->clear();
    if (!dir.isEmpty())
        Combo2->addItems(filesMatching(dir, QStringLiteral("*.tik")));
    if (Combo2->count() > 0)
        Combo2->setCurrentIndex(0);
    // With no bank in the subject nothing is left to browse.
    Combo2_Click();
}

void ManualBankPanel::Combo2_Click()
{
    const BusyCursor busy;
    m_form.bankChanged();
    clearFilters();
    Text1->clear();
    Text2->clear();
    m_form.announceBank();
    const QString path = bankPath();
    if (!path.isEmpty()) {
        const BankFile bank(path);
        QString error;
        std::optional<QStringList> values[4];
        std::optional<QList<double>> scores;
        const std::optional<Particulars> particulars = bank.particulars(&error);
        if (particulars) {
            values[0] = bank.distinctValues(Attribute::Type, {}, &error);
            values[1] = bank.distinctValues(Attribute::Chapter, {}, &error);
            values[2] = bank.distinctValues(Attribute::Unit, {}, &error);
            values[3] = bank.distinctValues(Attribute::Difficulty, {}, &error);
            scores = bank.distinctScores({}, &error);
        }
        if (!particulars || !values[0] || !values[1] || !values[2] || !values[3] || !scores) {
            m_form.reportError(error);
        } else {
            Text1->setText(particulars->speciality);
            Text2->setText(particulars->syllabus);
            Text1->setCursorPosition(0);
            Text2->setCursorPosition(0);
            fill(Combo3, *values[0]);
            fill(Combo4, *values[1]);
            fill(Combo8, *values[2]);
            fill(Combo5, *values[3]);
            QStringList scoreTexts;
            for (double s : *scores)
                scoreTexts << numText(s);
            fill(Combo7, scoreTexts);
        }
    }
    m_form.Browse->query();
}

void ManualBankPanel::Filter_Click()
{
    m_form.Browse->Command1_Click();
}

}  // namespace qm
