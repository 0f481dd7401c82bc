#include "rtf/rtf_tables.h"

#include "rtf/rich_text.h"

#include <QTextTable>

#include <algorithm>

namespace qm::rtf {

namespace {

// Columns of one table; word processors allow 63.
constexpr int kMaxColumns = 63;
// Each new row or column makes Qt re-index every cell of its table. Past this many cell
// visits (some tenths of a second) the rest of the document's tables are read as text:
// cells separated by tabs, rows by paragraphs.
constexpr qsizetype kMaxTableWork = 8'000'000;

}  // namespace

TableBuilder::TableBuilder(QTextCursor& cursor, bool& pendingPar) : cur_(cursor), pendingPar_(pendingPar) {}

RowDef& TableBuilder::def(int level)
{
    return defs_[size_t(std::clamp(level, 1, kMaxNesting) - 1)];
}

void TableBuilder::startRowDef(int level)
{
    RowDef& d = def(level);
    const int gap = d.gap;
    d = RowDef();
    d.gap = gap;  // the space between cells stays until a row says otherwise
}

void TableBuilder::endCellDef(int level, int right)
{
    RowDef& d = def(level);
    if (d.cells.size() < size_t(kMaxColumns)) {
        d.next.right = std::clamp(right, 0, 31680 * 4);
        d.cells.push_back(d.next);
    }
    d.next = RowDef::Cell();
    d.borderContext = false;
}

void TableBuilder::shape(Level& level, const RowDef& d)
{
    QTextTableFormat fmt = level.table->format();
    fmt.setCellPadding(std::clamp(d.gap, 0, 1440) / kTwipsPerPixel);
    fmt.setCellSpacing(0);
    fmt.setBorderCollapse(true);
    fmt.setBorder(d.border ? std::max(1.0, d.borderWidth / kTwipsPerPixel) : 0);
    fmt.setBorderBrush(Qt::black);
    fmt.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    if (d.align == 2)
        fmt.setAlignment(Qt::AlignHCenter);
    else if (d.align == 1)
        fmt.setAlignment(Qt::AlignRight);
    if (int(d.cells.size()) == level.table->columns()) {
        QList<QTextLength> widths;
        int left = 0;
        bool valid = true;
        for (const RowDef::Cell& c : d.cells) {
            if (c.right <= left)
                valid = false;
            widths.append(QTextLength(QTextLength::FixedLength, (c.right - left) / kTwipsPerPixel));
            left = c.right;
        }
        if (valid)
            fmt.setColumnWidthConstraints(widths);
    }
    level.table->setFormat(fmt);
    level.shaped = true;
}

void TableBuilder::createTable()
{
    const RowDef& d = defs_[levels_.size()];
    const int columns = std::clamp(int(d.cells.size()), 1, kMaxColumns);
    Level level;
    level.table = cur_.insertTable(1, columns, QTextTableFormat());
    level.cellPos = cur_.position();
    level.rowOpen = true;
    level.cellOpen = true;
    level.vStart.assign(size_t(columns), -1);
    // Some writers give the row definition only after the row's cells: the table then
    // takes its shape at the end of its first row.
    shape(level, d);
    level.shaped = !d.cells.empty();
    levels_.push_back(std::move(level));
    pendingPar_ = false;
    work_ += columns;
}

void TableBuilder::openCell(Level& level)
{
    QTextTable* table = level.table;
    if (!level.rowOpen) {
        table->appendRows(1);
        level.row = table->rows() - 1;
        level.rowOpen = true;
        level.col = 0;
        work_ += qsizetype(table->rows()) * table->columns();
        // The cells of the new row are empty, one position each, at the end of the table.
        level.cellPos = table->lastPosition() - (table->columns() - 1);
    }
    pendingPar_ = false;
    if (level.col < table->columns()) {
        // Cells follow one another: looking them up would rebuild the table's cell index
        // after every change and make big tables quadratic.
        cur_.setPosition(level.cellPos);
    } else if (table->columns() < kMaxColumns) {
        work_ += qsizetype(table->rows()) * table->columns();
        table->appendColumns(1);
        level.vStart.resize(size_t(table->columns()), -1);
        cur_ = table->cellAt(level.row, level.col).firstCursorPosition();
    } else {
        // More cells than a table may have: the extra text joins the last cell.
        const QTextTableCell cell = table->cellAt(level.row, table->columns() - 1);
        cur_ = cell.lastCursorPosition();
        pendingPar_ = cell.firstPosition() != cell.lastPosition();
    }
    level.cellOpen = true;
    if (work_ > kMaxTableWork)
        off_ = true;
}

void TableBuilder::closeLevel()
{
    // Qt keeps a block after every table, in the body as in a cell: what follows the
    // table goes there.
    cur_.setPosition(levels_.back().table->lastPosition() + 1);
    levels_.pop_back();
    pendingPar_ = false;
}

void TableBuilder::enter(int level)
{
    level = off_ ? 0 : std::clamp(level, 0, kMaxNesting);
    while (depth() > level)
        closeLevel();
    while (level > 0) {
        if (depth() > 0 && !levels_.back().cellOpen)
            openCell(levels_.back());
        if (off_) {
            while (depth() > 0)
                closeLevel();
            return;
        }
        if (depth() == level)
            return;
        createTable();
    }
}

void TableBuilder::finishCell()
{
    if (levels_.empty())
        return;
    Level& level = levels_.back();
    level.cellOpen = false;
    ++level.col;
    level.cellPos = cur_.position() + 1;
    pendingPar_ = false;
}

void TableBuilder::endRow(int level)
{
    level = std::clamp(level, 1, kMaxNesting);
    if (depth() < level)
        return;  // a row without cells adds nothing
    while (depth() > level)
        closeLevel();
    Level& lv = levels_.back();
    if (!lv.rowOpen)
        return;
    const RowDef& d = def(level);
    if (!lv.shaped && !d.cells.empty())
        shape(lv, d);
    // Merged cells as the row definition describes them.
    QTextTable* table = lv.table;
    const int n = std::min<int>(int(d.cells.size()), table->columns());
    for (int c = 0; c < n; ++c) {
        const RowDef::Cell& cell = d.cells[size_t(c)];
        if (cell.hFirst) {
            int span = 1;
            while (c + span < n && d.cells[size_t(c + span)].hNext)
                ++span;
            if (span > 1)
                table->mergeCells(lv.row, c, 1, span);
        }
        int& start = lv.vStart[size_t(c)];
        if (cell.vFirst)
            start = lv.row;
        else if (cell.vNext && start >= 0)
            table->mergeCells(start, c, lv.row - start + 1, 1);
        else
            start = -1;
    }
    lv.rowOpen = false;
    lv.cellOpen = false;
    lv.col = 0;
}

}  // namespace qm::rtf
