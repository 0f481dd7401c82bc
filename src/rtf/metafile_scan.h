#pragma once
// Walks the records of a Windows metafile (WMF, as RTF stores it with or without the
// placeable header) or an enhanced metafile (EMF) without drawing anything: checks that
// every record lies inside the data, counts them, and finds the rectangle the picture
// shows and its natural size. The program refuses a file this walk refuses before any
// converter sees it, and the converter program (rtf/helper) uses the same walk.
// Plain C++: the converter program links no Qt.

#include <cstddef>
#include <cstdint>

namespace qm::metafile {

enum class Format : uint8_t { Wmf, Emf };

struct Limits {
    size_t maxBytes = size_t(16) << 20;  // larger files are refused
    uint32_t maxRecords = 200000;
};

// A rectangle in the converter's coordinates (see Scan::frame).
struct Rect {
    double left = 0, top = 0, right = 0, bottom = 0;
    double width() const { return right - left; }
    double height() const { return bottom - top; }
};

struct Scan {
    bool ok = false;
    const char* problem = "";  // why the file is refused, for messages and tests
    uint32_t records = 0;
    // WMF: the rectangle the picture shows (its window, or the placeable header's box),
    // in the device units of the WMF converter: logical units scaled by the mapping mode
    // the file sets, the window origin at 0. `hasFrame` is false when the file names no
    // window, and the converter then shows what is drawn.
    Rect frame;
    bool hasFrame = false;
    // Width to height of the frame as the file means it (in its logical units: a scaled
    // mapping stretches the converter's units).
    double aspect = 1;
    // The size the file gives itself, in hundredths of a millimetre; 0 when it gives none
    // (an RTF picture's size then comes from \picw, \pich and the goal sizes).
    double widthHimetric = 0;
    double heightHimetric = 0;
};

// The format of an RTF picture kind ("wmetafile8", "emfblip"); false for other kinds.
bool formatOfKind(const char* kind, size_t length, Format* format);

Scan scanWmf(const uint8_t* data, size_t size, const Limits& limits = {});
Scan scanEmf(const uint8_t* data, size_t size, const Limits& limits = {});
Scan scan(Format format, const uint8_t* data, size_t size, const Limits& limits = {});

}  // namespace qm::metafile
