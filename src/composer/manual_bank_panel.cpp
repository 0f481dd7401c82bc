#include "composer/manual_bank_panel.h"

#include "composer/browse_panel.h"
#include "composer/form5.h"
#include "core/numbers.h"
#include "widgets/busycursor.h"

#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

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

ManualBankPanel::ManualBankPanel(Form5& form) : BankChoice(form.workspace(), &form), m_form(form)
{
    Combo3 = makeCombo(this, QStringLiteral("Combo3"), 6);
    Combo4 = makeCombo(this, QStringLiteral("Combo4"), 8);
    Combo8 = makeCombo(this, QStringLiteral("Combo8"), 8);
    Combo5 = makeCombo(this, QStringLiteral("Combo5"), 4);
    Combo7 = makeCombo(this, QStringLiteral("Combo7"), 3);
    ComboUse = makeCombo(this, QStringLiteral("ComboUse"), 6);
    fill(ComboUse, {QStringLiteral("全部"), QStringLiteral("未用过"), QStringLiteral("3 个月内未用"),
                    QStringLiteral("6 个月内未用"), QStringLiteral("12 个月内未用")});

    auto* layout = new QGridLayout(this);
    const QList<std::pair<QString, QWidget*>> top{{QStringLiteral("学科名称"), Combo1},
                                                  {QStringLiteral("题库名称"), Combo2},
                                                  {QStringLiteral("适用专业"), Text1},
                                                  {QStringLiteral("适用大纲"), Text2}};
    const QList<std::pair<QString, QWidget*>> filters{
        {QStringLiteral("题型"), Combo3}, {QStringLiteral("章节"), Combo4}, {QStringLiteral("单元"), Combo8},
        {QStringLiteral("难度"), Combo5}, {QStringLiteral("分值"), Combo7}, {QStringLiteral("使用"), ComboUse}};
    for (int row = 0; row < 2; ++row) {
        const auto& cells = row == 0 ? top : filters;
        for (int i = 0; i < cells.size(); ++i) {
            layout->addWidget(new QLabel(cells[i].first, this), row, 2 * i);
            // The syllabus, the longest text, takes the rest of its row.
            const int span = row == 0 && i == cells.size() - 1 ? 3 : 1;
            layout->addWidget(cells[i].second, row, 2 * i + 1, 1, span);
        }
    }
    // Chapters and units have the longest names.
    for (int col : {1, 3, 5, 7, 9})
        layout->setColumnStretch(col, col == 3 || col == 5 ? 2 : 1);

    for (QComboBox* c : {Combo3, Combo4, Combo8, Combo5, Combo7, ComboUse})
        connect(c, qOverload<int>(&QComboBox::activated), this, &ManualBankPanel::Filter_Click);
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
    constexpr int kMonths[] = {0, 3, 6, 12};
    if (ComboUse->currentIndex() == 1)
        f.notUsedSince = QDate();
    else if (ComboUse->currentIndex() >= 2)
        f.notUsedSince = QDate::currentDate().addMonths(-kMonths[std::min(ComboUse->currentIndex() - 1, 3)]);
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
    listBanks();
    // With no bank in the subject nothing is left to browse.
    Combo2_Click();
}

void ManualBankPanel::Combo2_Click()
{
    const BusyCursor busy;
    m_form.bankChanged();
    clearFilters();
    m_form.announceBank();
    QString error;
    if (!showParticulars(&error) || !fillFilters(&error))
        m_form.reportError(error);
    m_form.Browse->query();
}

bool ManualBankPanel::fillFilters(QString* error)
{
    const QString path = bankPath();
    if (path.isEmpty())
        return true;
    // Everything is read before anything is shown: a bank failing half-way leaves the
    // filters empty.
    const BankFile bank(path);
    QList<QStringList> lists;
    for (Attribute a : {Attribute::Type, Attribute::Chapter, Attribute::Unit, Attribute::Difficulty}) {
        const std::optional<QStringList> values = bank.distinctValues(a, {}, error);
        if (!values)
            return false;
        lists << *values;
    }
    const std::optional<QList<double>> scores = bank.distinctScores({}, error);
    if (!scores)
        return false;
    QStringList scoreTexts;
    for (double s : *scores)
        scoreTexts << numText(s);
    fill(Combo3, lists[0]);
    fill(Combo4, lists[1]);
    fill(Combo8, lists[2]);
    fill(Combo5, lists[3]);
    fill(Combo7, scoreTexts);
    return true;
}

void ManualBankPanel::Filter_Click()
{
    m_form.Browse->Command1_Click();
}

}  // namespace qm
