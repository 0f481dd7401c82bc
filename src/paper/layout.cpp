#include "paper/layout.h"

#include <QStringList>

namespace qm::paper {

namespace {

constexpr double kTwipsPerMm = 1440 / 25.4;

int twips(double mm)
{
    return int(mm * kTwipsPerMm + 0.5);
}

QRect twipsRect(const QRectF& mm)
{
    return QRect(twips(mm.left()), twips(mm.top()), twips(mm.width()), twips(mm.height()));
}

}  // namespace

QString layoutName(PaperLayout layout)
{
    switch (layout) {
    case PaperLayout::A4Seal: return QStringLiteral("a4-seal");
    case PaperLayout::A3: return QStringLiteral("a3");
    case PaperLayout::A3Seal: return QStringLiteral("a3-seal");
    case PaperLayout::A4: break;
    }
    return QStringLiteral("a4");
}

std::optional<PaperLayout> layoutOfName(const QString& name)
{
    for (PaperLayout l : {PaperLayout::A4, PaperLayout::A4Seal, PaperLayout::A3, PaperLayout::A3Seal})
        if (layoutName(l) == name)
            return l;
    return std::nullopt;
}

QString layoutCaption(PaperLayout layout)
{
    switch (layout) {
    case PaperLayout::A4Seal: return QStringLiteral("A4 密封线");
    case PaperLayout::A3: return QStringLiteral("A3 两栏");
    case PaperLayout::A3Seal: return QStringLiteral("A3 两栏 密封线");
    case PaperLayout::A4: break;
    }
    return QStringLiteral("A4");
}

SheetGeometry::SheetGeometry(PaperLayout layout, bool strip) : m_layout(layout), m_strip(strip) {}

QSizeF SheetGeometry::sheet() const
{
    return isA3() ? QSizeF(420, 297) : QSizeF(210, 297);
}

double SheetGeometry::marginLeft() const
{
    if (isSealed(m_layout))
        return 35;
    return isA3() ? 20 : 25;
}

double SheetGeometry::columnWidth() const
{
    const double right = isA3() ? marginRight() : 25;
    return (sheet().width() - marginLeft() - right - columnGap() * (columns() - 1)) / columns();
}

double SheetGeometry::textHeight() const
{
    return sheet().height() - marginTop() - marginBottom();
}

QRectF SheetGeometry::column(int column) const
{
    return QRectF(marginLeft() + column * (columnWidth() + columnGap()), marginTop(), columnWidth(), textHeight());
}

QRectF SheetGeometry::pageNumber(int column) const
{
    const QRectF text = this->column(column);
    return QRectF(text.left(), text.bottom(), text.width(), marginBottom() / 2);
}

QRectF SheetGeometry::stripFields() const
{
    return QRectF(7, marginTop(), 9, textHeight());
}

double SheetGeometry::stripLine() const
{
    return 24;
}

QRectF SheetGeometry::stripNotice() const
{
    return QRectF(25, marginTop(), 7, textHeight());
}

PageSetup SheetGeometry::pageSetup() const
{
    PageSetup page;
    // Portrait sizes; A3 lies landscape.
    page.width = twips(isA3() ? 297 : 210);
    page.height = twips(isA3() ? 420 : 297);
    page.landscape = isA3();
    page.marginLeft = twips(marginLeft());
    page.marginRight = twips(isA3() ? marginRight() : 25);
    page.marginTop = twips(marginTop());
    page.marginBottom = twips(marginBottom());
    page.columns = columns();
    page.columnGap = twips(columnGap());
    page.pageNumbers = true;
    page.name = layoutName(m_layout);
    if (m_strip && isSealed(m_layout)) {
        PageSetup::Strip strip;
        strip.fields = twipsRect(stripFields());
        strip.line = twips(stripLine());
        strip.notice = twipsRect(stripNotice());
        strip.fieldsText = kSealFields;
        strip.noticeText = kSealNotice;
        page.strip = strip;
    }
    return page;
}

}  // namespace qm::paper
