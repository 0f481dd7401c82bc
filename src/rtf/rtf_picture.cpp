#include "rtf/rtf_picture.h"

#include "rtf/rich_text.h"

#include <algorithm>

namespace qm::rtf {

void PictureReader::begin()
{
    *this = PictureReader();
}

void PictureReader::setKind(std::string_view word, bool hasParam, int param)
{
    kind_ = QByteArray(word.data(), qsizetype(word.size()));
    if (hasParam)
        kind_ += QByteArray::number(param);
}

void PictureReader::setSize(Size which, int value)
{
    switch (which) {
    case PicW: w_ = std::clamp(value, 0, 1000000); break;
    case PicH: h_ = std::clamp(value, 0, 1000000); break;
    case GoalW: wGoal_ = std::clamp(value, 0, 1000000); break;
    case GoalH: hGoal_ = std::clamp(value, 0, 1000000); break;
    case ScaleX: scaleX_ = value; break;
    case ScaleY: scaleY_ = value; break;
    }
}

void PictureReader::addHex(std::string_view text)
{
    for (const char ch : text) {
        const auto c = uint8_t(ch);
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
            v = (c | 0x20) - 'a' + 10;
        else
            continue;
        if (nibble_ < 0) {
            nibble_ = v;
        } else {
            data_.append(char(nibble_ << 4 | v));
            nibble_ = -1;
        }
    }
}

void PictureReader::addBinary(std::string_view data)
{
    data_.append(data.data(), qsizetype(data.size()));
}

std::optional<Picture> PictureReader::take()
{
    if (data_.isEmpty()) {
        begin();
        return std::nullopt;
    }
    Picture pict;
    pict.kind = kind_.isEmpty() ? QByteArray("wmetafile8") : kind_;
    pict.bytes = std::move(data_);
    pict.picw = w_;
    pict.pich = h_;
    const bool bitmap = pict.kind == "pngblip" || pict.kind == "jpegblip";
    // Display size: the goal size in twips, scaled; without it, bitmaps show at their own
    // size and metafiles at their extent in hundredths of a millimetre.
    auto size = [&](int goal, int extent, int scale) -> double {
        double px = 0;
        if (goal > 0)
            px = goal / kTwipsPerPixel;
        else if (extent > 0 && !bitmap)
            px = extent * 96.0 / 2540.0;
        if (scale > 0 && scale != 100)
            px = px * std::min(scale, 10000) / 100.0;
        return std::min(px, 5000.0);
    };
    pict.width = size(wGoal_, w_, scaleX_);
    pict.height = size(hGoal_, h_, scaleY_);
    begin();
    return pict;
}

}  // namespace qm::rtf
