#pragma once
// The sheets a paper is printed on: A4 portrait, or A3 landscape in two columns, either
// with a sealing strip (密封线) along the left edge, where the candidate writes school,
// class, name and number outside the line and the marked paper is sealed.
//
// Lengths are in millimetres, on the sheet as it lies for reading (A3 landscape is
// 420 × 297). Pages are what the text is laid out on: a sheet has one page in A4 and two
// (its columns) in A3, and the page numbers count them ("第 1 页 共 8 页").

#include "rtf/rtf_writer.h"

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>

namespace qm::paper {

enum class PaperLayout { A4, A4Seal, A3, A3Seal };

// "a4", "a4-seal", "a3", "a3-seal": the names of the choices file and qmtool.
QString layoutName(PaperLayout layout);
std::optional<PaperLayout> layoutOfName(const QString& name);
// As the header pane offers it: "A4", "A4 密封线", "A3 两栏", "A3 两栏 密封线".
QString layoutCaption(PaperLayout layout);
inline bool isSealed(PaperLayout layout)
{
    return layout == PaperLayout::A4Seal || layout == PaperLayout::A3Seal;
}

// The texts of the sealing strip.
inline const QString kSealNotice = QStringLiteral("密　封　线　内　不　要　答　题");
inline const QString kSealFields =
    QStringLiteral("学校＿＿＿＿＿＿＿　班级＿＿＿＿＿＿　姓名＿＿＿＿＿＿＿　考号＿＿＿＿＿＿＿");

class SheetGeometry {
public:
    // The geometry of `layout`; `strip` says whether the sealing strip is drawn (a paper's
    // answers are laid out the same way without it).
    SheetGeometry(PaperLayout layout, bool strip = true);

    PaperLayout layout() const { return m_layout; }
    QSizeF sheet() const;       // 210 × 297 or 420 × 297
    double marginLeft() const;  // room for the strip when sealed
    double marginRight() const { return 20; }
    double marginTop() const { return 20; }
    double marginBottom() const { return 20; }
    int columns() const { return isA3() ? 2 : 1; }
    double columnGap() const { return isA3() ? 20 : 0; }
    double columnWidth() const;
    double textHeight() const;
    // Where column `column` (from 0) stands on the sheet.
    QRectF column(int column) const;
    // Where the page number of column `column` stands: under it, in the bottom margin.
    QRectF pageNumber(int column) const;

    // The sheet page `page` (from 0) is printed on, and its column there.
    int sheetOf(int page) const { return page / columns(); }
    int columnOf(int page) const { return page % columns(); }
    int sheetsFor(int pages) const { return (pages + columns() - 1) / columns(); }

    // Whether sheet `sheet` (from 0) has the strip: the front of each sheet printed on both
    // sides, the 1st, 3rd, 5th …
    bool hasStrip(int sheet) const { return m_strip && isSealed(m_layout) && sheet % 2 == 0; }
    // The parts of the strip: the candidate's fields outside the line, the dashed line, and
    // the notice inside it; each runs down the left edge, read from the bottom up.
    QRectF stripFields() const;
    double stripLine() const;
    QRectF stripNotice() const;

    // The page set-up that tells a word processor the same: paper, orientation, margins,
    // columns, the strip on the odd pages, and page numbers.
    PageSetup pageSetup() const;

private:
    bool isA3() const { return m_layout == PaperLayout::A3 || m_layout == PaperLayout::A3Seal; }

    PaperLayout m_layout;
    bool m_strip;
};

}  // namespace qm::paper
