#include "widgets/flexgrid.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace qm {

FlexGrid::FlexGrid(QWidget* parent) : QTableWidget(parent)
{
    horizontalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setRowCount(2);
    setColumnCount(2);
    restyle();
    // Keyboard moves change the current row as clicks do, without counting as a click.
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int col) {
        if (row >= m_fixedRows && col >= 0) {
            m_row = row;
            m_col = std::max(col, m_fixedCols);
        }
    });
}

void FlexGrid::setRows(int rows)
{
    const int old = rowCount();
    setRowCount(std::max(rows, 0));
    for (int r = old; r < rows; ++r)
        for (int c = 0; c < columnCount(); ++c)
            styleCell(r, c);
    if (m_row >= rows)
        m_row = std::max(rows - 1, 0);
}

void FlexGrid::setCols(int cols)
{
    const int old = columnCount();
    setColumnCount(std::max(cols, 0));
    for (int r = 0; r < rowCount(); ++r)
        for (int c = old; c < cols; ++c)
            styleCell(r, c);
    if (m_col >= cols)
        m_col = std::max(cols - 1, 0);
}

void FlexGrid::setFixedCols(int n)
{
    m_fixedCols = n;
    restyle();
}

QTableWidgetItem* FlexGrid::cell(int row, int col)
{
    QTableWidgetItem* it = item(row, col);
    if (!it) {
        it = new QTableWidgetItem;
        setItem(row, col, it);
        styleCell(row, col);
    }
    return it;
}

void FlexGrid::styleCell(int row, int col)
{
    QTableWidgetItem* it = item(row, col);
    if (!it) {
        it = new QTableWidgetItem;
        setItem(row, col, it);
    }
    const bool fixed = row < m_fixedRows || col < m_fixedCols;
    it->setFlags(fixed ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    it->setBackground(fixed ? palette().button() : palette().base());
    it->setForeground(fixed ? palette().buttonText() : palette().text());
}

void FlexGrid::restyle()
{
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            styleCell(r, c);
}

QString FlexGrid::TextMatrix(int row, int col) const
{
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text)
{
    if (row < 0 || col < 0 || row >= rowCount() || col >= columnCount())
        return;
    cell(row, col)->setText(text);
}

void FlexGrid::setRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    m_row = row;
    if (row >= m_fixedRows)
        setCurrentCell(row, std::max(m_col, m_fixedCols));
}

void FlexGrid::clickCell(int row, int col)
{
    if (row < m_fixedRows || col < m_fixedCols || row >= rowCount() || col >= columnCount())
        return;
    m_col = col;
    setRow(row);
    Q_EMIT clicked();
}

void FlexGrid::setCol(int col)
{
    if (col >= 0 && col < columnCount())
        m_col = col;
}

int FlexGrid::ColWidth(int col) const
{
    return isColumnHidden(col) ? 0 : columnWidth(col);
}

void FlexGrid::setColWidth(int col, int width)
{
    if (col < 0 || col >= columnCount())
        return;
    setColumnHidden(col, width <= 0);
    if (width > 0)
        setColumnWidth(col, width);
}

void FlexGrid::RemoveItem(int row)
{
    if (row >= 0 && row < rowCount())
        removeRow(row);
    if (m_row >= rowCount())
        m_row = std::max(rowCount() - 1, 0);
}

void FlexGrid::Clear()
{
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            if (QTableWidgetItem* it = item(r, c))
                it->setText(QString());
}

void FlexGrid::setTable(const QStringList& titles, const QList<QStringList>& rows)
{
    const int cols = int(titles.size()) + m_fixedCols;
    setCols(cols);
    setRows(int(rows.size()) + m_fixedRows);
    Clear();
    for (int c = 0; c < titles.size(); ++c)
        setTextMatrix(0, c + m_fixedCols, titles[c]);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size() && c + m_fixedCols < cols; ++c)
            setTextMatrix(r + m_fixedRows, c + m_fixedCols, rows[r][c]);
    if (m_row >= rowCount())
        m_row = std::max(rowCount() - 1, 0);
}

void FlexGrid::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && index.isValid())
        clickCell(index.row(), index.column());
}

}  // namespace qm
