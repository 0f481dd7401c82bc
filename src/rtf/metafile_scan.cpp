#include "rtf/metafile_scan.h"

#include <cmath>
#include <cstring>

namespace qm::metafile {

namespace {

// Little-endian reads; the caller checks the bounds.
uint16_t u16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}
int16_t s16(const uint8_t* p)
{
    return int16_t(u16(p));
}
uint32_t u32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
int32_t s32(const uint8_t* p)
{
    return int32_t(u32(p));
}

Scan refuse(const char* problem)
{
    Scan s;
    s.problem = problem;
    return s;
}

// WMF mapping modes.
enum MapMode : uint16_t {
    MmText = 1,
    MmLoMetric,
    MmHiMetric,
    MmLoEnglish,
    MmHiEnglish,
    MmTwips,
    MmIsotropic,
    MmAnisotropic
};

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr double kPointsPerMillimetre = 72.0 / 25.4;
// The converter's viewport until a file sets one (its device units are points).
constexpr double kDefaultViewport = 1024;
// A picture wider or higher than 10 m is not a picture.
constexpr double kMaxHimetric = 1e6;

}  // namespace

bool formatOfKind(const char* kind, size_t length, Format* format)
{
    auto starts = [&](const char* word) {
        const size_t n = std::strlen(word);
        return length >= n && std::memcmp(kind, word, n) == 0;
    };
    if (starts("wmetafile")) {
        *format = Format::Wmf;
        return true;
    }
    if (length == 7 && starts("emfblip")) {
        *format = Format::Emf;
        return true;
    }
    return false;
}

Scan scanWmf(const uint8_t* data, size_t size, const Limits& limits)
{
    if (size > limits.maxBytes)
        return refuse("too large");
    size_t pos = 0;
    bool placeable = false;
    int16_t boxLeft = 0, boxTop = 0, boxRight = 0, boxBottom = 0;
    uint16_t inch = 0;
    if (size >= 22 && u32(data) == kPlaceableKey) {
        placeable = true;
        boxLeft = s16(data + 6);
        boxTop = s16(data + 8);
        boxRight = s16(data + 10);
        boxBottom = s16(data + 12);
        inch = u16(data + 14);
        if (inch == 0 || boxLeft == boxRight || boxTop == boxBottom)
            return refuse("placeable header without a size");
        pos = 22;
    }
    if (size - pos < 18)
        return refuse("truncated header");
    const uint16_t type = u16(data + pos);
    const uint16_t headerWords = u16(data + pos + 2);
    const uint16_t version = u16(data + pos + 4);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x100 && version != 0x300))
        return refuse("not a metafile");
    pos += 18;

    Scan s;
    uint16_t mapMode = 0;
    bool haveOrg = false, haveExt = false, haveViewport = false;
    double orgX = 0, orgY = 0, extX = 0, extY = 0, viewportX = kDefaultViewport, viewportY = kDefaultViewport;
    bool ended = false;
    while (size - pos >= 6) {
        const uint32_t words = u32(data + pos);
        const uint16_t function = u16(data + pos + 4);
        if (words < 3 || words > (size - pos) / 2)
            return refuse(words < 3 ? "record of no size" : "truncated record");
        if (++s.records > limits.maxRecords)
            return refuse("too many records");
        if (function == 0 && words == 3) {
            ended = true;
            break;
        }
        const uint8_t* param = data + pos + 6;
        const size_t paramBytes = (words - 3) * 2;
        // The first mapping mode, window and viewport describe the picture as a whole.
        switch (function) {
        case 0x0103:  // SETMAPMODE
            if (paramBytes >= 2 && mapMode == 0)
                mapMode = u16(param);
            break;
        case 0x020B:  // SETWINDOWORG: y, x
            if (paramBytes >= 4 && !haveOrg) {
                orgY = s16(param);
                orgX = s16(param + 2);
                haveOrg = true;
            }
            break;
        case 0x020C:  // SETWINDOWEXT: y, x
            if (paramBytes >= 4 && !haveExt) {
                extY = s16(param);
                extX = s16(param + 2);
                haveExt = extX != 0 && extY != 0;
            }
            break;
        case 0x020E:  // SETVIEWPORTEXT: y, x
            if (paramBytes >= 4 && !haveViewport) {
                viewportY = s16(param);
                viewportX = s16(param + 2);
                haveViewport = true;
            }
            break;
        default: break;
        }
        pos += size_t(words) * 2;
    }
    if (!ended)
        return refuse("no end record");

    // Device units per logical unit, as the converter maps them.
    double unitX = 1, unitY = 1;
    double himetricPerUnit = 0;
    switch (mapMode) {
    case 0:
        if (placeable)
            unitX = unitY = 72.0 / inch;
        break;
    case MmText: break;
    case MmLoMetric:
        unitX = unitY = 0.1 * kPointsPerMillimetre;
        himetricPerUnit = 10;
        break;
    case MmHiMetric:
        unitX = unitY = 0.01 * kPointsPerMillimetre;
        himetricPerUnit = 1;
        break;
    case MmLoEnglish:
        unitX = unitY = 0.72;
        himetricPerUnit = 25.4;
        break;
    case MmHiEnglish:
        unitX = unitY = 0.072;
        himetricPerUnit = 2.54;
        break;
    case MmTwips:
        unitX = unitY = 0.05;
        himetricPerUnit = 2540.0 / 1440.0;
        break;
    case MmIsotropic:
    case MmAnisotropic:
        if (!haveExt || viewportX == 0 || viewportY == 0 || std::fabs(double(viewportX)) > 32767)
            return refuse("scaled mapping without a window");
        unitX = viewportX / extX;
        unitY = viewportY / extY;
        break;
    default: return refuse("unknown mapping mode");
    }

    Rect logical;
    if (placeable) {
        logical = {double(boxLeft), double(boxTop), double(boxRight), double(boxBottom)};
        s.hasFrame = true;
    } else if (haveExt) {
        logical = {orgX, orgY, orgX + extX, orgY + extY};
        s.hasFrame = true;
    }
    if (s.hasFrame) {
        const double x1 = (logical.left - orgX) * unitX, x2 = (logical.right - orgX) * unitX;
        const double y1 = (logical.top - orgY) * unitY, y2 = (logical.bottom - orgY) * unitY;
        s.frame = {std::fmin(x1, x2), std::fmin(y1, y2), std::fmax(x1, x2), std::fmax(y1, y2)};
        if (!(s.frame.width() > 0) || !(s.frame.height() > 0))
            return refuse("empty frame");
        s.aspect = std::fabs(logical.width() / logical.height());
        if (mapMode != MmIsotropic && mapMode != MmAnisotropic)
            s.aspect = s.frame.width() / s.frame.height();
    }
    if (placeable) {
        s.widthHimetric = std::fabs(double(boxRight) - boxLeft) * 2540.0 / inch;
        s.heightHimetric = std::fabs(double(boxBottom) - boxTop) * 2540.0 / inch;
    } else if (haveExt && himetricPerUnit > 0) {
        s.widthHimetric = std::fabs(extX) * himetricPerUnit;
        s.heightHimetric = std::fabs(extY) * himetricPerUnit;
    }
    if (s.widthHimetric > kMaxHimetric || s.heightHimetric > kMaxHimetric)
        return refuse("huge picture");
    s.ok = true;
    return s;
}

Scan scanEmf(const uint8_t* data, size_t size, const Limits& limits)
{
    if (size > limits.maxBytes)
        return refuse("too large");
    if (size < 88)
        return refuse("truncated header");
    const uint32_t headerSize = u32(data + 4);
    if (u32(data) != 1 || u32(data + 40) != 0x464D4520 || headerSize < 88 || headerSize > size || headerSize % 4)
        return refuse("not an enhanced metafile");
    // rclBounds in device pixels, rclFrame in hundredths of a millimetre (both inclusive).
    const double boundsW = double(s32(data + 16)) - s32(data + 8);
    const double boundsH = double(s32(data + 20)) - s32(data + 12);
    const double frameW = double(s32(data + 32)) - s32(data + 24);
    const double frameH = double(s32(data + 36)) - s32(data + 28);
    if (frameW <= 0 || frameH <= 0)
        return refuse("empty frame");
    if (frameW > kMaxHimetric || frameH > kMaxHimetric || std::fabs(boundsW) > 100000 || std::fabs(boundsH) > 100000)
        return refuse("huge picture");

    Scan s;
    size_t pos = 0;
    bool ended = false;
    while (size - pos >= 8) {
        const uint32_t type = u32(data + pos);
        const uint32_t bytes = u32(data + pos + 4);
        if (bytes < 8 || bytes % 4 || bytes > size - pos)
            return refuse(bytes < 8 ? "record of no size" : "truncated record");
        if (++s.records > limits.maxRecords)
            return refuse("too many records");
        pos += bytes;
        if (type == 14) {  // EMR_EOF
            ended = true;
            break;
        }
    }
    if (!ended)
        return refuse("no end record");
    s.widthHimetric = frameW;
    s.heightHimetric = frameH;
    s.ok = true;
    return s;
}

Scan scan(Format format, const uint8_t* data, size_t size, const Limits& limits)
{
    return format == Format::Wmf ? scanWmf(data, size, limits) : scanEmf(data, size, limits);
}

}  // namespace qm::metafile
