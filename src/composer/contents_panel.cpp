#include "composer/contents_panel.h"

#include "bankstore/bank_file.h"
#include "composer/bank_choice_panel.h"
#include "composer/count_grid_panel.h"
#include "composer/form3.h"
#include "core/prompt.h"
#include "widgets/busycursor.h"
#include "widgets/controls.h"
#include "widgets/flexgrid.h"
#include "widgets/richtextbox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace qm {

ContentsPanel::ContentsPanel(Form3& form)
    : QGroupBox(QStringLiteral("组卷内容"), &form), m_form(form),
      m_random(std::make_unique<selection::SeededRandom>(selection::clockSeed()))
{
    setObjectName(QStringLiteral("FrameContents"));
    MSFlexGrid3 = new FlexGrid(this);
    MSFlexGrid3->setObjectName(QStringLiteral("MSFlexGrid3"));
    MSFlexGrid3->setFixedCols(0);
    RichTextBox6 = new RichTextBox(this);
    RichTextBox6->setObjectName(QStringLiteral("RichTextBox6"));
    RichTextBox6->setReadOnly(true);
    Command41 = makeButton(this, QStringLiteral("Command41"), QStringLiteral("预出卷"));
    Command43 = makeButton(this, QStringLiteral("Command43"), QStringLiteral("更　换"));
    Command22 = makeButton(this, QStringLiteral("Command22"), QStringLiteral("出　卷"));
    Command42 = makeButton(this, QStringLiteral("Command42"), QStringLiteral("关　闭"));
    CommandAB = makeButton(this, QStringLiteral("CommandAB"), QStringLiteral("出AB卷"));
    CheckUnused = new QCheckBox(QStringLiteral("优先出未用过的题"), this);
    CheckUnused->setObjectName(QStringLiteral("CheckUnused"));
    ComboRecent = new QComboBox(this);
    ComboRecent->setObjectName(QStringLiteral("ComboRecent"));
    ComboRecent->addItems({QStringLiteral("不避开近期用过的题"), QStringLiteral("避开3个月内用过的题"),
                           QStringLiteral("避开6个月内用过的题"), QStringLiteral("避开12个月内用过的题")});
    OptionListA = new QRadioButton(QStringLiteral("A卷"), this);
    OptionListA->setObjectName(QStringLiteral("OptionListA"));
    OptionListB = new QRadioButton(QStringLiteral("B卷"), this);
    OptionListB->setObjectName(QStringLiteral("OptionListB"));
    OptionListA->setChecked(true);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);

    auto* preview = new QVBoxLayout;
    preview->addWidget(new QLabel(QStringLiteral("题目内容预览"), this));
    preview->addWidget(RichTextBox6, 1);
    auto* lists = new QHBoxLayout;
    lists->addWidget(MSFlexGrid3, 2);
    lists->addLayout(preview, 3);
    auto* choices = new QHBoxLayout;
    choices->addWidget(CheckUnused);
    choices->addWidget(ComboRecent);
    choices->addStretch();
    choices->addWidget(OptionListA);
    choices->addWidget(OptionListB);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {Command41, CommandAB, Command43, Command22, Command42})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(choices);
    layout->addLayout(buttons);

    showList(false);
    connect(Command41, &QPushButton::clicked, this, &ContentsPanel::Command41_Click);
    connect(Command43, &QPushButton::clicked, this, &ContentsPanel::Command43_Click);
    connect(Command22, &QPushButton::clicked, this, &ContentsPanel::Command22_Click);
    connect(Command42, &QPushButton::clicked, this, &ContentsPanel::Command42_Click);
    connect(CommandAB, &QPushButton::clicked, this, &ContentsPanel::CommandAB_Click);
    connect(OptionListA, &QRadioButton::clicked, this, &ContentsPanel::OptionListA_Click);
    connect(OptionListB, &QRadioButton::clicked, this, &ContentsPanel::OptionListB_Click);
    connect(MSFlexGrid3, &FlexGrid::clicked, this, &ContentsPanel::MSFlexGrid3_Click);
    connect(Timer2, &QTimer::timeout, this, &ContentsPanel::Timer2_Timer);
    Timer2->start();
    Timer2_Timer();
}

ContentsPanel::~ContentsPanel() = default;

QString ContentsPanel::bankFileName() const
{
    return QFileInfo(m_bankPath).fileName();
}

void ContentsPanel::setRandom(std::unique_ptr<selection::RandomSource> random)
{
    m_random = std::move(random);
}

selection::DrawChoices ContentsPanel::choices() const
{
    selection::DrawChoices c;
    c.preferUnused = CheckUnused->isChecked();
    constexpr int kMonths[] = {0, 3, 6, 12};
    if (const int months = kMonths[std::clamp(ComboRecent->currentIndex(), 0, 3)]; months > 0)
        c.avoidUsedSince = QDate::currentDate().addMonths(-months);
    return c;
}

void ContentsPanel::takeDraw(const QString& path, const QList<selection::ComposedRow>& rows,
                             const QList<selection::ComposedRow>& rowsB, bool parallel)
{
    m_rows = rows;
    m_rowsB = rowsB;
    m_parallel = parallel;
    m_bankPath = path;
    showList(false);
    m_form.Command6->setEnabled(true);
    m_form.Command7->setEnabled(true);
}

void ContentsPanel::showList(bool b)
{
    m_showB = m_parallel && b;
    (m_showB ? OptionListB : OptionListA)->setChecked(true);
    for (QRadioButton* o : {OptionListA, OptionListB})
        o->setVisible(m_parallel);
    m_selected = 0;
    RichTextBox6->clear();
    showRows();
    Timer2_Timer();
}

void ContentsPanel::showRows()
{
    QList<QStringList> cells;
    for (const selection::ComposedRow& row : shownRows())
        cells << selection::composedCells(row);
    const QStringList header = selection::composedHeader();
    MSFlexGrid3->setRows(int(cells.size()) + 1);
    MSFlexGrid3->setCols(int(header.size()));
    MSFlexGrid3->Clear();
    for (int c = 0; c < header.size(); ++c)
        MSFlexGrid3->setTextMatrix(0, c, header[c]);
    for (int r = 0; r < cells.size(); ++r)
        for (int c = 0; c < cells[r].size(); ++c)
            MSFlexGrid3->setTextMatrix(r + 1, c, cells[r][c]);
    // N, S and F are kept for replacing and assembling, not shown.
    const QStringList widths = {QStringLiteral("　　 　　　　"), QStringLiteral(" 　　"), QStringLiteral(" 　　　"),
                                QStringLiteral(" 　　　")};
    for (int c = 0; c < widths.size(); ++c)
        MSFlexGrid3->setColWidth(c, fontMetrics().horizontalAdvance(widths[c]) + 16);
    for (int c = int(widths.size()); c < header.size(); ++c)
        MSFlexGrid3->setColWidth(c, 0);
}

void ContentsPanel::preview(int row)
{
    RichTextBox6->clear();
    if (row < 1 || row > shownRows().size())
        return;
    const BusyCursor busy;
    QString error;
    if (const auto q = BankFile(m_bankPath).readById(shownRows()[row - 1].id, &error))
        RichTextBox6->setTextRTF(q->text);
    else
        m_form.reportError(error);
}

void ContentsPanel::Command41_Click()
{
    const QString path = m_form.Bank->bankPath();
    if (path.isEmpty()) {
        m_form.reportError(QStringLiteral("请先选择学科和题库！"));
        return;
    }
    std::optional<selection::DrawResult> result;
    QString error;
    {
        const BusyCursor busy;
        result = selection::drawPaper(path, m_form.Counts->grid(), *m_random, choices(), &error);
    }
    if (!result) {
        m_form.reportError(error);
        return;
    }
    takeDraw(path, result->rows, {}, false);
    if (const QString report = selection::drawReport(*result); !report.isEmpty())
        m_form.prompt().message(report, kTitleProgram, Icon::Information);
}

void ContentsPanel::CommandAB_Click()
{
    const QString path = m_form.Bank->bankPath();
    if (path.isEmpty()) {
        m_form.reportError(QStringLiteral("请先选择学科和题库！"));
        return;
    }
    std::optional<selection::ParallelDraw> result;
    QString error;
    {
        const BusyCursor busy;
        result = selection::drawParallel(path, m_form.Counts->grid(), *m_random, choices(), &error);
    }
    if (!result) {
        m_form.reportError(error);
        return;
    }
    takeDraw(path, result->a.rows, result->b.rows, true);
    if (const QString report = selection::parallelReport(*result); !report.isEmpty())
        m_form.prompt().message(report, kTitleProgram, Icon::Information);
}

void ContentsPanel::OptionListA_Click()
{
    showList(false);
}

void ContentsPanel::OptionListB_Click()
{
    showList(true);
}

void ContentsPanel::Command43_Click()
{
    QList<selection::ComposedRow>& rows = shownRows();
    if (m_selected < 1 || m_selected > rows.size())
        return;
    // Neither paper takes a question of the other.
    selection::DrawChoices c = choices();
    for (const selection::ComposedRow& row : m_showB ? m_rows : m_rowsB)
        c.otherPaper.insert(row.id);
    QString error;
    selection::ReplaceResult result;
    {
        const BusyCursor busy;
        result = selection::replaceQuestion(m_bankPath, rows, m_selected - 1, *m_random, c, &error);
    }
    switch (result) {
    case selection::ReplaceResult::Replaced:
        showRows();
        MSFlexGrid3->setRow(m_selected);
        preview(m_selected);
        break;
    case selection::ReplaceResult::OnlyOne:
        m_form.prompt().message(QStringLiteral("该题库中本类题目只有一题，不能替换！"), kTitleProgram, Icon::None);
        break;
    case selection::ReplaceResult::AllDrawn:
        m_form.prompt().message(QStringLiteral("本类题目已全部选入试卷，没有别的题目可以替换！"), kTitleProgram,
                                Icon::None);
        break;
    case selection::ReplaceResult::InOtherPaper:
        m_form.prompt().message(QStringLiteral("本类其余的题目都在另一份试卷中，没有别的题目可以替换！"), kTitleProgram,
                                Icon::None);
        break;
    case selection::ReplaceResult::NoQuestions: break;
    case selection::ReplaceResult::Failed: m_form.reportError(error); break;
    }
}

void ContentsPanel::Command22_Click()
{
    m_form.assemble();
}

void ContentsPanel::Command42_Click()
{
    m_form.showContents(false);
}

void ContentsPanel::MSFlexGrid3_Click()
{
    const int row = MSFlexGrid3->Row();
    if (row < 1 || row > shownRows().size())
        return;
    m_selected = row;
    Timer2_Timer();
    preview(row);
}

void ContentsPanel::Timer2_Timer()
{
    Command43->setEnabled(m_selected >= 1 && m_selected <= shownRows().size());
    Command22->setEnabled(!m_rows.isEmpty());
}

}  // namespace qm
