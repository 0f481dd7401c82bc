#pragma once
// A grid of text cells addressed by row and column, with fixed (heading) rows and columns
// drawn as headings: row 0 holds the column titles and column 0 is the row-heading column,
// as the windows expect. Row() is the current row; a click on a normal cell makes it
// current and emits clicked().

#include <QTableWidget>

namespace qm {

class FlexGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);

    int Rows() const { return rowCount(); }
    void setRows(int rows);
    int Cols() const { return columnCount(); }
    void setCols(int cols);
    void setFixedCols(int n);

    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);

    // The current row and column (the first normal cell when the grid has one).
    int Row() const { return m_row; }
    void setRow(int row);
    int Col() const { return m_col; }
    void setCol(int col);

    // Column width in pixels; 0 hides the column.
    int ColWidth(int col) const;
    void setColWidth(int col, int width);

    // What a mouse click on a normal cell does: makes it current and emits clicked().
    // Clicks on heading cells change nothing.
    void clickCell(int row, int col);

    // Removes one row; the rows below move up.
    void RemoveItem(int row);
    // Empties every cell, keeping the size.
    void Clear();

    // Sets the whole content: `rows` holds the normal rows, `titles` the heading row.
    // The row-heading column stays empty.
    void setTable(const QStringList& titles, const QList<QStringList>& rows);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void styleCell(int row, int col);
    void restyle();
    QTableWidgetItem* cell(int row, int col);

    int m_fixedRows = 1;
    int m_fixedCols = 1;
    int m_row = 1;
    int m_col = 1;
};

}  // namespace qm
