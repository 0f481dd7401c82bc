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

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

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
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);

    auto* preview = new QVBoxLayout;
    preview->addWidget(new QLabel(QStringLiteral("题目内容预览"), this));
    preview->addWidget(RichTextBox6, 1);
    auto* lists = new QHBoxLayout;
    lists->addWidget(MSFlexGrid3, 2);
    lists->addLayout(preview, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {Command41, Command43, Command22, Command42})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);

    showRows();
    connect(Command41, &QPushButton::clicked, this, &ContentsPanel::Command41_Click);
    connect(Command43, &QPushButton::clicked, this, &ContentsPanel::Command43_Click);
    connect(Command22, &QPushButton::clicked, this, &ContentsPanel::Command22_Click);
    connect(Command42, &QPushButton::clicked, this, &ContentsPanel::Command42_Click);
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

void ContentsPanel::showRows()
{
    QList<QStringList> cells;
    for (const selection::ComposedRow& row : m_rows)
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
    if (row < 1 || row > m_rows.size())
        return;
    const BusyCursor busy;
    QString error;
    if (const auto q = BankFile(m_bankPath).readById(m_rows[row - 1].id, &error))
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
        result = selection::drawPaper(path, m_form.Counts->grid(), *m_random, &error);
    }
    if (!result) {
        m_form.reportError(error);
        return;
    }
    m_rows = result->rows;
    m_bankPath = path;
    m_selected = 0;
    RichTextBox6->clear();
    showRows();
    m_form.Command6->setEnabled(true);
    m_form.Command7->setEnabled(true);
    Timer2_Timer();
    if (const QString report = selection::drawReport(*result); !report.isEmpty())
        m_form.prompt().message(report, kTitleProgram, Icon::Information);
}

void ContentsPanel::Command43_Click()
{
    if (m_selected < 1 || m_selected > m_rows.size())
        return;
    QString error;
    selection::ReplaceResult result;
    {
        const BusyCursor busy;
        result = selection::replaceQuestion(m_bankPath, m_rows, m_selected - 1, *m_random, &error);
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
    if (row < 1 || row > m_rows.size())
        return;
    m_selected = row;
    Timer2_Timer();
    preview(row);
}

void ContentsPanel::Timer2_Timer()
{
    Command43->setEnabled(m_selected >= 1 && m_selected <= m_rows.size());
    Command22->setEnabled(!m_rows.isEmpty());
}

}  // namespace qm
