// The parser's cells and rows: where a cell or row ends, the text read so far goes into the
// table builder (rtf_tables.h) at the nesting level the words gave.

#include "rtf/rtf_parser.h"

#include <QTextBlock>

#include <algorithm>
#include <utility>
#include <vector>

namespace qm::rtf {

// The nesting level whose rows \trowd, \cellx and the cell words now describe.
int Parser::rowDefLevel() const
{
    return st_.nestProps ? std::max(st_.para.itap, 2) : 1;
}

void Parser::endCell(int level)
{
    flushRun();
    // A cell no deeper than the paragraph's text, or than the tables open and one more.
    level = labelDone_ ? std::min(level, std::max(paraLevel_, 2)) : std::min(level, tables_.depth() + 1);
    if (tables_.off()) {
        appendChar(u'\t');
        return;
    }
    // A paragraph whose nesting level said less than the cell it ends (\itap0 before a
    // \nestcell) moves into that cell.
    // Only text of one block moves: nothing of a table's structure goes with it.
    if (labelDone_ && level > paraLevel_ && cur_.position() > paraStart_ && cur_.block().position() <= paraStart_) {
        // The text as its runs (a picture is a run of one character).
        std::vector<std::pair<QString, QTextCharFormat>> runs;
        const QTextBlock block = cur_.block();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int from = std::max(f.position(), paraStart_);
            const int to = std::min(f.position() + f.length(), cur_.position());
            if (from < to)
                runs.emplace_back(f.text().mid(from - f.position(), to - from), f.charFormat());
        }
        QTextCursor moved(cur_);
        moved.setPosition(paraStart_);
        moved.setPosition(cur_.position(), QTextCursor::KeepAnchor);
        moved.removeSelectedText();
        cur_.setPosition(moved.position());
        tables_.enter(level);
        for (const auto& [text, format] : runs) {
            if (format.isImageFormat())
                cur_.insertImage(format.toImageFormat());
            else
                cur_.insertText(text, format);
        }
    } else {
        tables_.enter(level);
    }
    applyBlockFormat();
    tables_.finishCell();
    labelDone_ = false;
    // The rest of the row is at the level this cell was found at.
    if (level >= 2)
        st_.para.itap = level;
}

void Parser::endRow(int level)
{
    flushRun();
    if (tables_.off()) {
        endParagraph();
        return;
    }
    tables_.endRow(level);
}

}  // namespace qm::rtf
