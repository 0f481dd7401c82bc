#include "composer/plan_panel.h"

#include "composer/bank_choice_panel.h"
#include "composer/count_grid_panel.h"
#include "composer/criteria_panel.h"
#include "composer/form3.h"
#include "core/numbers.h"
#include "core/output_file.h"
#include "core/prompt.h"
#include "selection/plan_file.h"
#include "widgets/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qm {

namespace {

const QString kPlanFilter = QStringLiteral("出题方案(*.faa)|*.faa");

}  // namespace

PlanPanel::PlanPanel(Form3& form) : QGroupBox(QStringLiteral("出题方案保存"), &form), m_form(form)
{
    setObjectName(QStringLiteral("FramePlan"));
    Text3 = makeLineEdit(this, QStringLiteral("Text3"));
    Text4 = makeLineEdit(this, QStringLiteral("Text4"));
    Text13 = makeLineEdit(this, QStringLiteral("Text13"));
    Text14 = makeLineEdit(this, QStringLiteral("Text14"));
    Check6 = makeCheckBox(this, QStringLiteral("Check6"), QStringLiteral("不分章节"));
    Check1 = makeCheckBox(this, QStringLiteral("Check1"), QStringLiteral("不分单元"));
    Check7 = makeCheckBox(this, QStringLiteral("Check7"), QStringLiteral("不分难度"));
    Check8 = makeCheckBox(this, QStringLiteral("Check8"), QStringLiteral("无论分值"));
    Label16 = new QLabel(QStringLiteral("保存文件"), this);
    Text16 = makeLineEdit(this, QStringLiteral("Text16"));
    // The file is the one chosen with "浏览"; the box only shows it.
    Text16->setReadOnly(true);
    Command46 = makeButton(this, QStringLiteral("Command46"), QStringLiteral("浏览"));
    Command47 = makeButton(this, QStringLiteral("Command47"), QStringLiteral("保　存"));
    Command59 = makeButton(this, QStringLiteral("Command59"), QStringLiteral("取　消"));

    auto* fields = new QGridLayout;
    const QList<std::pair<QString, QLineEdit*>> rows = {{QStringLiteral("学科名称"), Text3},
                                                        {QStringLiteral("题库名称"), Text4},
                                                        {QStringLiteral("适用专业"), Text13},
                                                        {QStringLiteral("适用大纲"), Text14}};
    int row = 0;
    for (const auto& [caption, edit] : rows) {
        fields->addWidget(new QLabel(caption, this), row, 0);
        fields->addWidget(edit, row++, 1, 1, 2);
    }
    fields->addWidget(Check6, row, 1);
    fields->addWidget(Check1, row++, 2);
    fields->addWidget(Check7, row, 1);
    fields->addWidget(Check8, row++, 2);
    fields->addWidget(Label16, row, 0);
    fields->addWidget(Text16, row, 1, 1, 2);
    fields->addWidget(Command46, ++row, 2);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command47);
    buttons->addWidget(Command59);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addLayout(buttons);
    hide();

    connect(Command46, &QPushButton::clicked, this, &PlanPanel::Command46_Click);
    connect(Command47, &QPushButton::clicked, this, &PlanPanel::Command47_Click);
    connect(Command59, &QPushButton::clicked, this, &PlanPanel::Command59_Click);
}

void PlanPanel::startSave()
{
    m_saving = true;
    setTitle(QStringLiteral("出题方案保存"));
    Label16->setText(QStringLiteral("保存文件"));
    Command47->setText(QStringLiteral("保　存"));
    Text3->setText(m_form.Bank->Combo1->currentText());
    Text4->setText(m_form.Bank->Combo2->currentText());
    Text13->setText(m_form.Bank->Text1->text());
    Text14->setText(m_form.Bank->Text2->text());
    // The options are those the count grid was made with, so that the plan opens again.
    const selection::Grid grid = m_form.Counts->grid();
    const selection::GridOptions options =
        (grid.isEmpty() ? std::nullopt : selection::optionsOfHeader(grid.first())).value_or(m_form.Criteria->options());
    Check6->setChecked(options.noChapters);
    Check1->setChecked(options.noUnits);
    Check7->setChecked(options.noDifficulty);
    Check8->setChecked(options.anyScore);
    m_form.showPopup(this);
}

void PlanPanel::startOpen()
{
    m_saving = false;
    setTitle(QStringLiteral("打开出题方案"));
    Label16->setText(QStringLiteral("打开文件"));
    Command47->setText(QStringLiteral("打　开"));
    Text16->clear();
    m_form.showPopup(this);
}

void PlanPanel::Command46_Click()
{
    const QString file = m_saving ? m_form.prompt().saveFile(QStringLiteral("保存出题方案"), kPlanFilter, "faa")
                                  : m_form.prompt().openFile(QStringLiteral("打开出题方案"), kPlanFilter);
    if (!file.isEmpty())
        Text16->setText(file);
}

void PlanPanel::Command47_Click()
{
    if (Text16->text().isEmpty())
        return;
    if (m_saving)
        save();
    else
        open();
}

void PlanPanel::Command59_Click()
{
    close();
}

void PlanPanel::close()
{
    hide();
    m_form.popupClosed();
}

void PlanPanel::save()
{
    selection::Plan plan;
    plan.subject = Text3->text();
    plan.bank = Text4->text();
    plan.speciality = Text13->text();
    plan.syllabus = Text14->text();
    plan.options = {Check6->isChecked(), Check1->isChecked(), Check7->isChecked(), Check8->isChecked()};
    plan.grid = m_form.Counts->grid();
    // A plan whose options do not fit its grid could not be opened again.
    if (plan.grid.isEmpty() || plan.grid.first() != selection::gridHeader(plan.options)
        || (plan.options.noChapters && !plan.options.noUnits)) {
        m_form.reportError(QStringLiteral("“不分章节”“不分单元”“不分难度”“无论分值”与出题数表格的列不符，"
                                          "这样保存的方案无法再打开。请按表格选择后再保存。"));
        return;
    }
    // A plan replaces only a text file, and none the window reads.
    if (const std::optional<QString> refused = refuseOutputs({{Text16->text(), FileKind::Text}}, m_form.filesInUse())) {
        m_form.reportError(*refused);
        return;
    }
    QString error;
    if (!selection::savePlan(Text16->text(), plan, &error)) {
        m_form.reportError(error);
        return;
    }
    close();
}

void PlanPanel::open()
{
    QString error;
    bool empty = false;
    const auto plan = selection::loadPlan(Text16->text(), &error, &empty);
    if (empty) {
        close();
        return;
    }
    if (!plan) {
        m_form.reportError(error);
        return;
    }
    BankChoicePanel* bank = m_form.Bank;
    const int subject = bank->Combo1->findText(plan->subject, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (subject < 0) {
        m_form.reportError(QStringLiteral("该学科不存在！"));
        return;
    }
    bank->Combo1->setCurrentIndex(subject);
    bank->Combo1_Click();
    const int file = bank->Combo2->findText(plan->bank, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (file < 0) {
        m_form.reportError(QStringLiteral("该题库不存在！"));
        return;
    }
    bank->Combo2->setCurrentIndex(file);
    bank->Combo2_Click();
    bank->Text1->setText(plan->speciality);
    bank->Text2->setText(plan->syllabus);
    CriteriaPanel* criteria = m_form.Criteria;
    criteria->setOption(criteria->Check2, plan->options.noChapters);
    criteria->setOption(criteria->Check5, plan->options.noUnits);
    criteria->setOption(criteria->Check3, plan->options.noDifficulty);
    criteria->setOption(criteria->Check4, plan->options.anyScore);
    m_form.Counts->setGrid(plan->grid);
    m_form.Counts->Text5->setText(numText(selection::paperTotal(plan->grid)));
    close();
}

}  // namespace qm
