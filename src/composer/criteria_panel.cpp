#include "composer/criteria_panel.h"

#include "bankstore/bank_file.h"
#include "composer/bank_choice_panel.h"
#include "composer/candidate_panel.h"
#include "composer/count_grid_panel.h"
#include "composer/form3.h"
#include "core/prompt.h"
#include "widgets/busycursor.h"
#include "widgets/controls.h"
#include "widgets/flexgrid.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace qm {

namespace {

QListWidget* makeList(QWidget* parent, const QString& name)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    return list;
}

QString unitRowLabel(int row)
{
    return QString::number(row) + QStringLiteral("单元");
}

}  // namespace

CriteriaPanel::CriteriaPanel(Form3& form) : QWidget(&form), m_form(form)
{
    setObjectName(QStringLiteral("Criteria"));
    List1 = makeList(this, QStringLiteral("List1"));
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("向上"));
    Command3 = makeButton(this, QStringLiteral("Command3"), QStringLiteral("向下"));
    Command23 = makeButton(this, QStringLiteral("Command23"), QStringLiteral("增减题型"));
    List4 = makeList(this, QStringLiteral("List4"));
    Command25 = makeButton(this, QStringLiteral("Command25"), QStringLiteral("增减章节"));
    List8 = makeList(this, QStringLiteral("List8"));
    Command35 = makeButton(this, QStringLiteral("Command35"), QStringLiteral("增减难度"));
    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    Command16 = makeButton(this, QStringLiteral("Command16"), QStringLiteral("增减单元"));
    Check2 = makeCheckBox(this, QStringLiteral("Check2"), QStringLiteral("不分章节"));
    Check5 = makeCheckBox(this, QStringLiteral("Check5"), QStringLiteral("不分单元"));
    Check3 = makeCheckBox(this, QStringLiteral("Check3"), QStringLiteral("不分难度"));
    Check4 = makeCheckBox(this, QStringLiteral("Check4"), QStringLiteral("无论分值"));
    List5 = makeList(this, QStringLiteral("List5"));

    TypePanel =
        new CandidatePanel(this, List1,
                           {QStringLiteral("FrameTypes"), QStringLiteral("<<<　选择添加的题型"),
                            QStringLiteral("List6"), QStringLiteral("Command30"), QStringLiteral("Command31"),
                            QStringLiteral("Command29"), QStringLiteral("Command32"), QStringLiteral("Command24")});
    ChapterPanel =
        new CandidatePanel(this, List4,
                           {QStringLiteral("FrameChapters"), QStringLiteral("<<<　选择添加的章节"),
                            QStringLiteral("List3"), QStringLiteral("Command19"), QStringLiteral("Command18"),
                            QStringLiteral("Command21"), QStringLiteral("Command20"), QStringLiteral("Command26")});
    DifficultyPanel =
        new CandidatePanel(this, List8,
                           {QStringLiteral("FrameDifficulties"), QStringLiteral("<<<　选择添加的难度等级"),
                            QStringLiteral("List9"), QStringLiteral("Command39"), QStringLiteral("Command38"),
                            QStringLiteral("Command40"), QStringLiteral("Command37"), QStringLiteral("Command36")});
    UnitPanel =
        new CandidatePanel(this, List5,
                           {QStringLiteral("FrameUnits"), QStringLiteral("＾＾＾单元选择"), QStringLiteral("List7"),
                            QStringLiteral("Command28"), QStringLiteral("Command27"), QStringLiteral("Command33"),
                            QStringLiteral("Command17"), QStringLiteral("Command34")},
                           QStringLiteral("已选单元"), QStringLiteral("候选单元"));
    UnitPanel->label->show();
    List6 = TypePanel->list;
    Command30 = TypePanel->choose;
    Command31 = TypePanel->remove;
    Command29 = TypePanel->chooseAll;
    Command32 = TypePanel->removeAll;
    Command24 = TypePanel->close;
    List3 = ChapterPanel->list;
    Command19 = ChapterPanel->choose;
    Command18 = ChapterPanel->remove;
    Command21 = ChapterPanel->chooseAll;
    Command20 = ChapterPanel->removeAll;
    Command26 = ChapterPanel->close;
    List9 = DifficultyPanel->list;
    Command39 = DifficultyPanel->choose;
    Command38 = DifficultyPanel->remove;
    Command40 = DifficultyPanel->chooseAll;
    Command37 = DifficultyPanel->removeAll;
    Command36 = DifficultyPanel->close;
    List7 = UnitPanel->list;
    Command28 = UnitPanel->choose;
    Command27 = UnitPanel->remove;
    Command33 = UnitPanel->chooseAll;
    Command17 = UnitPanel->removeAll;
    Command34 = UnitPanel->close;

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(400);

    // A frame per chosen list, its buttons under it.
    const auto frame = [this](const QString& name, const QString& caption, QWidget* main,
                              const QList<QPushButton*>& buttons) {
        auto* box = new QGroupBox(caption, this);
        box->setObjectName(name);
        auto* v = new QVBoxLayout(box);
        v->addWidget(main, 1);
        // The first button spans the frame; the others share the rows below it in pairs.
        auto* row = new QGridLayout;
        row->addWidget(buttons.first(), 0, 0, 1, 2);
        for (int i = 1; i < buttons.size(); ++i)
            row->addWidget(buttons[i], 1 + (i - 1) / 2, (i - 1) % 2);
        v->addLayout(row);
        return box;
    };
    auto* options = new QGroupBox(QStringLiteral("选项"), this);
    options->setObjectName(QStringLiteral("FrameOptions"));
    auto* optionBox = new QVBoxLayout(options);
    for (QCheckBox* c : {Check2, Check5, Check3, Check4})
        optionBox->addWidget(c);
    optionBox->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(
        frame(QStringLiteral("FrameTypeOrder"), QStringLiteral("题型与顺序"), List1, {Command23, Command2, Command3}),
        3);
    layout->addWidget(frame(QStringLiteral("FrameChapterNames"), QStringLiteral("章节名称"), List4, {Command25}), 3);
    layout->addWidget(frame(QStringLiteral("FrameDifficultyLevels"), QStringLiteral("难度等级"), List8, {Command35}),
                      2);
    layout->addWidget(
        frame(QStringLiteral("FrameUnitGrid"), QStringLiteral("每章节单元组成"), MSFlexGrid1, {Command16}), 5);
    layout->addWidget(options);

    MSFlexGrid1->setRows(2);
    MSFlexGrid1->setCols(1);
    MSFlexGrid1->setTextMatrix(0, 0, QStringLiteral("章节名称"));
    MSFlexGrid1->setTextMatrix(1, 0, unitRowLabel(1));

    connect(MSFlexGrid1, &QTableWidget::cellClicked, this, [this](int, int col) { MSFlexGrid1_Click(col); });
    connect(Timer1, &QTimer::timeout, this, &CriteriaPanel::Timer1_Timer);
    connect(List1, &QListWidget::itemClicked, this, [this] {
        Timer1->start();
        Timer1_Timer();
    });
    connect(Check2, &QCheckBox::clicked, this, &CriteriaPanel::Check2_Click);
    connect(Check3, &QCheckBox::clicked, this, &CriteriaPanel::Check3_Click);
    connect(Check4, &QCheckBox::clicked, this, &CriteriaPanel::Check4_Click);
    connect(Check5, &QCheckBox::clicked, this, &CriteriaPanel::Check5_Click);
    const QList<std::pair<QPushButton*, void (CriteriaPanel::*)()>> handlers = {
        {Command2, &CriteriaPanel::Command2_Click},   {Command3, &CriteriaPanel::Command3_Click},
        {Command16, &CriteriaPanel::Command16_Click}, {Command23, &CriteriaPanel::Command23_Click},
        {Command25, &CriteriaPanel::Command25_Click}, {Command35, &CriteriaPanel::Command35_Click},
        {Command30, &CriteriaPanel::Command30_Click}, {Command31, &CriteriaPanel::Command31_Click},
        {Command29, &CriteriaPanel::Command29_Click}, {Command32, &CriteriaPanel::Command32_Click},
        {Command24, &CriteriaPanel::Command24_Click}, {Command19, &CriteriaPanel::Command19_Click},
        {Command18, &CriteriaPanel::Command18_Click}, {Command21, &CriteriaPanel::Command21_Click},
        {Command20, &CriteriaPanel::Command20_Click}, {Command26, &CriteriaPanel::Command26_Click},
        {Command39, &CriteriaPanel::Command39_Click}, {Command38, &CriteriaPanel::Command38_Click},
        {Command40, &CriteriaPanel::Command40_Click}, {Command37, &CriteriaPanel::Command37_Click},
        {Command36, &CriteriaPanel::Command36_Click}, {Command28, &CriteriaPanel::Command28_Click},
        {Command27, &CriteriaPanel::Command27_Click}, {Command33, &CriteriaPanel::Command33_Click},
        {Command17, &CriteriaPanel::Command17_Click}, {Command34, &CriteriaPanel::Command34_Click}};
    for (const auto& [button, slot] : handlers)
        connect(button, &QPushButton::clicked, this, slot);
    // A double click on a candidate chooses it; on a chosen entry, gives it back.
    const QList<std::pair<QListWidget*, void (CriteriaPanel::*)()>> doubleClicks = {
        {List6, &CriteriaPanel::Command30_Click}, {List1, &CriteriaPanel::Command31_Click},
        {List3, &CriteriaPanel::Command19_Click}, {List4, &CriteriaPanel::Command18_Click},
        {List9, &CriteriaPanel::Command39_Click}, {List8, &CriteriaPanel::Command38_Click},
        {List7, &CriteriaPanel::Command28_Click}, {List5, &CriteriaPanel::Command27_Click}};
    for (const auto& [list, slot] : doubleClicks) {
        connect(list, &QListWidget::itemDoubleClicked, this, slot);
        // The buttons follow a new selection at once, not only at the next tick.
        connect(list, &QListWidget::itemSelectionChanged, this, &CriteriaPanel::Timer1_Timer);
    }
}

selection::GridOptions CriteriaPanel::options() const
{
    return {Check2->isChecked(), Check5->isChecked(), Check3->isChecked(), Check4->isChecked()};
}

selection::Criteria CriteriaPanel::criteria() const
{
    selection::Criteria c;
    for (int i = 0; i < List1->count(); ++i)
        c.types << List1->item(i)->text();
    for (int col = 1; col < MSFlexGrid1->Cols(); ++col) {
        selection::ChapterUnits chapter{MSFlexGrid1->TextMatrix(0, col), {}};
        for (int row = 1; row < MSFlexGrid1->Rows(); ++row)
            if (const QString unit = MSFlexGrid1->TextMatrix(row, col); !unit.isEmpty())
                chapter.units << unit;
        c.chapters << chapter;
    }
    for (int i = 0; i < List8->count(); ++i)
        c.difficulties << List8->item(i)->text();
    c.options = options();
    return c;
}

void CriteriaPanel::setOption(QCheckBox* box, bool on)
{
    if (box->isChecked() == on)
        return;
    box->setChecked(on);
    if (box == Check2)
        Check2_Click();
    else if (box == Check3)
        Check3_Click();
    else if (box == Check4)
        Check4_Click();
    else if (box == Check5)
        Check5_Click();
}

void CriteriaPanel::clearForNewBank()
{
    for (QListWidget* list : {List1, List6, List8, List5, List3, List4})
        list->clear();
}

void CriteriaPanel::setChapterCandidates(const QStringList& chapters)
{
    List3->clear();
    List4->clear();
    List3->addItems(chapters);
}

// ---------------------------------------------------------------------------------------
// The chapter/unit grid

void CriteriaPanel::ReflashZj()
{
    MSFlexGrid1->setRows(2);
    MSFlexGrid1->setCols(1);
    MSFlexGrid1->Clear();
    MSFlexGrid1->setTextMatrix(0, 0, QStringLiteral("章节名称"));
    MSFlexGrid1->setTextMatrix(1, 0, unitRowLabel(1));
    for (int i = 0; i < List4->count(); ++i) {
        const int col = MSFlexGrid1->Cols();
        MSFlexGrid1->setCols(col + 1);
        MSFlexGrid1->setTextMatrix(0, col, List4->item(i)->text());
        MSFlexGrid1->setTextMatrix(1, col, QString());
    }
}

void CriteriaPanel::ReflashDy()
{
    int column = -1;
    if (!m_currentChapter.isEmpty())
        for (int col = 1; col < MSFlexGrid1->Cols(); ++col)
            if (MSFlexGrid1->TextMatrix(0, col) == m_currentChapter)
                column = col;
    if (column > 0) {
        const int n = List5->count();
        if (MSFlexGrid1->Rows() < n + 1) {
            MSFlexGrid1->setRows(n + 1);
            for (int row = 1; row <= n; ++row)
                MSFlexGrid1->setTextMatrix(row, 0, unitRowLabel(row));
        }
        for (int i = 0; i < n; ++i)
            MSFlexGrid1->setTextMatrix(i + 1, column, List5->item(i)->text());
        for (int row = n + 1; row < MSFlexGrid1->Rows(); ++row)
            MSFlexGrid1->setTextMatrix(row, column, QString());
        // Rows no chapter uses any more go, keeping the first unit row.
        const auto rowEmpty = [this](int row) {
            for (int col = 1; col < MSFlexGrid1->Cols(); ++col)
                if (!MSFlexGrid1->TextMatrix(row, col).isEmpty())
                    return false;
            return true;
        };
        while (MSFlexGrid1->Rows() > std::max(n + 1, 2) && rowEmpty(MSFlexGrid1->Rows() - 1))
            MSFlexGrid1->setRows(MSFlexGrid1->Rows() - 1);
    }
    m_form.Counts->RefleshGrid();
}

void CriteriaPanel::MSFlexGrid1_Click(int col)
{
    if (col < 1 || col >= MSFlexGrid1->Cols())
        return;
    m_currentChapter = MSFlexGrid1->TextMatrix(0, col);
    UnitPanel->label->setText(m_currentChapter);
    List5->clear();
    List7->clear();
    for (int row = 1; row < MSFlexGrid1->Rows(); ++row)
        if (const QString unit = MSFlexGrid1->TextMatrix(row, col); !unit.isEmpty())
            List5->addItem(unit);
}

// ---------------------------------------------------------------------------------------
// Candidate panels and moves

void CriteriaPanel::openCandidates(CandidatePanel* panel, Attribute attribute)
{
    const BusyCursor busy;
    m_form.Bank->GetTiku();
    const QString path = m_form.Bank->bankPath();
    if (!path.isEmpty()) {
        QuestionFilter filter;
        if (attribute == Attribute::Unit)
            filter.chapter = m_currentChapter;
        QString error;
        if (const auto values = BankFile(path).distinctValues(attribute, filter, &error))
            panel->fill(*values);
        else
            m_form.reportError(error);
    }
    m_form.showPopup(panel);
    Timer1->start();
    Timer1_Timer();
}

void CriteriaPanel::closeCandidates(CandidatePanel* panel)
{
    panel->hide();
    Timer1->stop();
    m_form.popupClosed();
}

void CriteriaPanel::afterMove(CandidatePanel* panel, bool moved)
{
    if (!moved)
        return;
    if (panel == ChapterPanel)
        ReflashZj();
    ReflashDy();
    Timer1_Timer();
}

void CriteriaPanel::moveType(int step)
{
    const int row = List1->currentRow();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= List1->count())
        return;
    List1->insertItem(to, List1->takeItem(row));
    List1->setCurrentRow(to);
    // The sections follow the new order at once.
    ReflashDy();
    Timer1_Timer();
}

void CriteriaPanel::Timer1_Timer()
{
    for (CandidatePanel* panel : {TypePanel, ChapterPanel, DifficultyPanel, UnitPanel})
        panel->updateButtons();
    const int row = List1->currentItem() && List1->currentItem()->isSelected() ? List1->currentRow() : -1;
    Command2->setEnabled(row > 0);
    Command3->setEnabled(row >= 0 && row < List1->count() - 1);
}

void CriteriaPanel::Command2_Click()
{
    moveType(-1);
}

void CriteriaPanel::Command3_Click()
{
    moveType(+1);
}

void CriteriaPanel::Command23_Click()
{
    openCandidates(TypePanel, Attribute::Type);
}

void CriteriaPanel::Command25_Click()
{
    openCandidates(ChapterPanel, Attribute::Chapter);
}

void CriteriaPanel::Command35_Click()
{
    openCandidates(DifficultyPanel, Attribute::Difficulty);
}

void CriteriaPanel::Command16_Click()
{
    if (m_currentChapter.isEmpty()) {
        m_form.prompt().message(QStringLiteral("请先选择表格中的某章节所在列！"), QStringLiteral("错误"),
                                Icon::Warning);
        return;
    }
    UnitPanel->label->setText(m_currentChapter);
    openCandidates(UnitPanel, Attribute::Unit);
}

// The moves of the four panels; a type given back rebuilds the sections at once, as every
// other move does.
void CriteriaPanel::Command30_Click()
{
    afterMove(TypePanel, TypePanel->chooseSelected());
}
void CriteriaPanel::Command31_Click()
{
    afterMove(TypePanel, TypePanel->removeSelected());
}
void CriteriaPanel::Command29_Click()
{
    afterMove(TypePanel, TypePanel->chooseEverything());
}
void CriteriaPanel::Command32_Click()
{
    afterMove(TypePanel, TypePanel->removeEverything());
}
void CriteriaPanel::Command24_Click()
{
    closeCandidates(TypePanel);
}
void CriteriaPanel::Command19_Click()
{
    afterMove(ChapterPanel, ChapterPanel->chooseSelected());
}
void CriteriaPanel::Command18_Click()
{
    afterMove(ChapterPanel, ChapterPanel->removeSelected());
}
void CriteriaPanel::Command21_Click()
{
    afterMove(ChapterPanel, ChapterPanel->chooseEverything());
}
void CriteriaPanel::Command20_Click()
{
    afterMove(ChapterPanel, ChapterPanel->removeEverything());
}
void CriteriaPanel::Command26_Click()
{
    closeCandidates(ChapterPanel);
}
void CriteriaPanel::Command39_Click()
{
    afterMove(DifficultyPanel, DifficultyPanel->chooseSelected());
}
void CriteriaPanel::Command38_Click()
{
    afterMove(DifficultyPanel, DifficultyPanel->removeSelected());
}
void CriteriaPanel::Command40_Click()
{
    afterMove(DifficultyPanel, DifficultyPanel->chooseEverything());
}
void CriteriaPanel::Command37_Click()
{
    afterMove(DifficultyPanel, DifficultyPanel->removeEverything());
}
void CriteriaPanel::Command36_Click()
{
    closeCandidates(DifficultyPanel);
}
void CriteriaPanel::Command28_Click()
{
    afterMove(UnitPanel, UnitPanel->chooseSelected());
}
void CriteriaPanel::Command27_Click()
{
    afterMove(UnitPanel, UnitPanel->removeSelected());
}
void CriteriaPanel::Command33_Click()
{
    afterMove(UnitPanel, UnitPanel->chooseEverything());
}
void CriteriaPanel::Command17_Click()
{
    afterMove(UnitPanel, UnitPanel->removeEverything());
}
void CriteriaPanel::Command34_Click()
{
    closeCandidates(UnitPanel);
}

// ---------------------------------------------------------------------------------------
// Options

void CriteriaPanel::optionChanged(bool reload)
{
    if (reload)
        m_form.Bank->Combo2_Click();
    else
        m_form.Bank->GetTiku();
    ReflashDy();
}

void CriteriaPanel::Check2_Click()
{
    const bool on = Check2->isChecked();
    Command25->setEnabled(!on);
    if (on) {
        MSFlexGrid1->setRows(1);
        MSFlexGrid1->setCols(1);
        Command16->setEnabled(false);
        setOption(Check5, true);
    } else {
        // The chapters still chosen get their columns back.
        ReflashZj();
    }
    optionChanged(!on);
}

void CriteriaPanel::Check3_Click()
{
    const bool on = Check3->isChecked();
    Command35->setEnabled(!on);
    optionChanged(!on);
}

void CriteriaPanel::Check4_Click()
{
    m_form.Counts->Command15->setEnabled(!Check4->isChecked());
    optionChanged(!Check2->isChecked());
}

void CriteriaPanel::Check5_Click()
{
    const bool on = Check5->isChecked();
    if (!on && Check2->isChecked()) {
        // Without chapters there are no units: the option stays on.
        Check5->setChecked(true);
        return;
    }
    Command16->setEnabled(!on);
    optionChanged(!on);
}

}  // namespace qm
