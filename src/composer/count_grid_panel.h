#pragma once
// The count grid of the automatic composition window ("出题数设置"): a row per combination
// of the criteria with the bank's number of questions for it, the number to draw and the
// section totals the teacher types (in a box laid over the clicked cell), and the score of
// each question, computed; under it the paper total.

#include "selection/count_grid.h"

#include <QGroupBox>

class QLineEdit;
class QPushButton;
class QValidator;

namespace qm {

class FlexGrid;
class Form3;

class CountGridPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit CountGridPanel(Form3& form);

    FlexGrid* MSFlexGrid2;   // the count grid
    QLineEdit* GridEdit;     // the box laid over the cell being typed into
    QLineEdit* Text5;        // 总分: the sum of the section totals
    QPushButton* Command15;  // 尝试出题数 (disabled while scores do not count)

    // The grid's cells, header row included, and setting them all (a plan).
    selection::Grid grid() const;
    void setGrid(const selection::Grid& grid);

    // Rebuilds the grid from the criteria and the bank; typed values are discarded.
    void RefleshGrid();
    // Recomputes the question scores (not while scores do not count).
    void SubTotal();

public Q_SLOTS:
    // A click on a cell: the box is laid over a draw count, or over a section's total
    // while scores count; elsewhere it is hidden.
    void MSFlexGrid2_Click();
    // What is typed goes into the cell at once.
    void GridEdit_Change();

private:
    void hideEdit();

    Form3& m_form;
    int m_editRow = -1;
    int m_editCol = -1;
    bool m_placing = false;  // the box is being filled from its cell
    QValidator* m_countValidator;
    QValidator* m_totalValidator;
};

}  // namespace qm
