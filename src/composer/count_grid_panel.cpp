#include "composer/count_grid_panel.h"

#include "composer/bank_choice_panel.h"
#include "composer/criteria_panel.h"
#include "composer/form3.h"
#include "core/numbers.h"
#include "widgets/busycursor.h"
#include "widgets/controls.h"
#include "widgets/flexgrid.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QVBoxLayout>

namespace qm {

CountGridPanel::CountGridPanel(Form3& form) : QGroupBox(QStringLiteral("出题数设置"), &form), m_form(form)
{
    setObjectName(QStringLiteral("FrameCounts"));
    MSFlexGrid2 = new FlexGrid(this);
    MSFlexGrid2->setObjectName(QStringLiteral("MSFlexGrid2"));
    MSFlexGrid2->setFixedCols(0);
    MSFlexGrid2->horizontalHeader()->setStretchLastSection(false);
    GridEdit = makeLineEdit(MSFlexGrid2->viewport(), QStringLiteral("GridEdit"));
    GridEdit->hide();
    // Whole numbers of questions; totals with at most two decimals.
    m_countValidator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,5}")), this);
    m_totalValidator =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,5}(\\.\\d{0,2})?")), this);
    Text5 = makeLineEdit(this, QStringLiteral("Text5"));
    Text5->setReadOnly(true);
    Text5->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000.00")) + 16);
    Command15 = makeButton(this, QStringLiteral("Command15"), QStringLiteral("尝试出题数"));

    MSFlexGrid2->setToolTip(
        QStringLiteral("每行是一类题目：题型、章节、单元、难度和分值的一种组合，“库内题数”是题库中这类题的数量。\n"
                       "单击“出题数”一格填这类题要出几道（不超过库内题数），单击每个题型第一行的“大题总分”"
                       "填这一大题的分数，每道小题的分值随之算出。"));
    Text5->setToolTip(QStringLiteral("各大题总分之和，即整份试卷的总分"));
    Command15->setToolTip(QStringLiteral("保留的按钮，目前不做任何事；勾选“无论分值”时不可用"));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("总分"), this));
    bottom->addWidget(Text5);
    bottom->addStretch();
    bottom->addWidget(Command15);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MSFlexGrid2, 1);
    layout->addLayout(bottom);

    setGrid({selection::gridHeader({})});
    connect(MSFlexGrid2, &FlexGrid::clicked, this, &CountGridPanel::MSFlexGrid2_Click);
    connect(GridEdit, &QLineEdit::textChanged, this, &CountGridPanel::GridEdit_Change);
    connect(GridEdit, &QLineEdit::returnPressed, this, &CountGridPanel::hideEdit);
    // The box would stand over another cell once the grid scrolls.
    for (QScrollBar* bar : {MSFlexGrid2->verticalScrollBar(), MSFlexGrid2->horizontalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, &CountGridPanel::hideEdit);
}

selection::Grid CountGridPanel::grid() const
{
    selection::Grid g;
    for (int r = 0; r < MSFlexGrid2->Rows(); ++r) {
        QStringList row;
        for (int c = 0; c < MSFlexGrid2->Cols(); ++c)
            row << MSFlexGrid2->TextMatrix(r, c);
        g << row;
    }
    return g;
}

void CountGridPanel::setGrid(const selection::Grid& grid)
{
    hideEdit();
    const int cols = grid.isEmpty() ? 0 : int(grid.first().size());
    MSFlexGrid2->setRows(int(grid.size()));
    MSFlexGrid2->setCols(cols);
    MSFlexGrid2->Clear();
    for (int r = 0; r < grid.size(); ++r)
        for (int c = 0; c < cols && c < grid[r].size(); ++c)
            MSFlexGrid2->setTextMatrix(r, c, grid[r][c]);
    MSFlexGrid2->resizeColumnsToContents();
    const int least = fontMetrics().horizontalAdvance(QStringLiteral("库内题数")) + 16;
    for (int c = 0; c < cols; ++c)
        MSFlexGrid2->setColWidth(c, std::max(MSFlexGrid2->columnWidth(c), least));
}

void CountGridPanel::hideEdit()
{
    GridEdit->hide();
    m_editRow = m_editCol = -1;
}

void CountGridPanel::RefleshGrid()
{
    m_form.Bank->GetTiku();
    const selection::Criteria criteria = m_form.Criteria->criteria();
    selection::Grid grid{selection::gridHeader(criteria.options)};
    const QString path = m_form.Bank->bankPath();
    if (!path.isEmpty()) {
        const BusyCursor busy;
        QString error;
        if (auto built = selection::buildCountGrid(path, criteria, &error))
            grid = *built;
        else
            m_form.reportError(error);
    }
    setGrid(grid);
    Text5->clear();
}

void CountGridPanel::SubTotal()
{
    if (m_form.Criteria->Check4->isChecked())
        return;
    selection::Grid g = grid();
    selection::computeQuestionScores(g);
    const int col = selection::questionScoreColumn(MSFlexGrid2->Cols());
    for (int r = 1; r < g.size(); ++r)
        MSFlexGrid2->setTextMatrix(r, col, g[r][col]);
}

void CountGridPanel::MSFlexGrid2_Click()
{
    const int row = MSFlexGrid2->Row();
    const int col = MSFlexGrid2->Col();
    const int cols = MSFlexGrid2->Cols();
    const bool drawCount = col == selection::drawCountColumn(cols);
    const bool sectionTotal = col == selection::sectionTotalColumn(cols) && !MSFlexGrid2->TextMatrix(row, 0).isEmpty()
                              && !m_form.Criteria->Check4->isChecked();
    if (row >= 1 && (drawCount || sectionTotal)) {
        m_editRow = row;
        m_editCol = col;
        GridEdit->setValidator(drawCount ? m_countValidator : m_totalValidator);
        m_placing = true;
        GridEdit->setText(MSFlexGrid2->TextMatrix(row, col));
        m_placing = false;
        GridEdit->setGeometry(MSFlexGrid2->visualItemRect(MSFlexGrid2->item(row, col)));
        GridEdit->show();
        GridEdit->setFocus();
        GridEdit->selectAll();
    } else {
        hideEdit();
    }
    SubTotal();
}

void CountGridPanel::GridEdit_Change()
{
    if (m_placing || m_editRow < 1)
        return;
    const int cols = MSFlexGrid2->Cols();
    const QString text = GridEdit->text();
    if (m_editCol == selection::drawCountColumn(cols)) {
        const QString clamped =
            selection::clampDrawCount(text, MSFlexGrid2->TextMatrix(m_editRow, selection::bankCountColumn(cols)));
        if (clamped != text) {
            GridEdit->setText(clamped);  // comes back here with the clamped text
            return;
        }
    }
    MSFlexGrid2->setTextMatrix(m_editRow, m_editCol, text);
    if (m_editCol == selection::sectionTotalColumn(cols))
        Text5->setText(numText(selection::paperTotal(grid())));
    // The question scores follow what is typed.
    SubTotal();
}

}  // namespace qm
