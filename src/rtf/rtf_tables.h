#pragma once
// Builds the tables of an RTF document in a QTextDocument as the reader meets their
// row definitions (\trowd ... \cellxN), cells and rows, nested tables included: text at
// nesting level N (\itapN) goes into a table inside a cell of the level above.

#include <QTextCursor>

#include <array>
#include <vector>

class QTextTable;

namespace qm::rtf {

// Nesting levels of tables kept as tables; deeper text joins the deepest cell.
constexpr int kMaxNesting = 16;

// One row definition: \trowd and the cell definitions that follow it.
struct RowDef {
    struct Cell {
        int right = 0;  // right edge in twips
        bool hFirst = false, hNext = false, vFirst = false, vNext = false;
    };
    std::vector<Cell> cells;
    Cell next;                   // the cell being defined (until its \cellx)
    bool borderContext = false;  // border words describe a cell or row border
    bool border = false;
    int borderWidth = 0;
    int align = 0;  // 0 left, 1 right, 2 centre
    int gap = 108;  // \trgaph: half the space between cells
};

class TableBuilder {
public:
    // Works on the reader's cursor; `pendingPar` is the reader's "a \par has ended the
    // block, the next content starts a new one", which entering or leaving a cell settles.
    TableBuilder(QTextCursor& cursor, bool& pendingPar);

    // The definition of the rows at nesting `level` (1 = a table in the body).
    RowDef& def(int level);
    void startRowDef(int level);            // \trowd
    void endCellDef(int level, int right);  // \cellxN

    // Puts the cursor where content at nesting `level` goes (0 = the body): leaves deeper
    // tables and opens cells, rows and tables down to `level`.
    void enter(int level);
    // Ends the open cell at `level`; the cursor must be at its end (see enter()).
    void finishCell();
    // Ends the row at `level`, applying its merged cells.
    void endRow(int level);
    // Open table levels.
    int depth() const { return int(levels_.size()); }
    // True once the tables have cost too much work: the rest are read as text.
    bool off() const { return off_; }

private:
    struct Level {
        QTextTable* table = nullptr;
        int row = 0;
        int col = 0;
        int cellPos = 0;  // where the next cell of the row starts
        bool rowOpen = false;
        bool cellOpen = false;
        bool shaped = false;  // widths and borders taken from a definition
        std::vector<int> vStart;
    };
    void createTable();
    void openCell(Level& level);
    void closeLevel();
    void shape(Level& level, const RowDef& def);

    QTextCursor& cur_;
    bool& pendingPar_;
    std::vector<Level> levels_;
    std::array<RowDef, kMaxNesting> defs_;
    qsizetype work_ = 0;
    bool off_ = false;
};

}  // namespace qm::rtf
