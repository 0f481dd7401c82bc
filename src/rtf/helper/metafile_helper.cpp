// quellmark-metafile: turns Windows metafiles into SVG for the program, which starts it
// for a batch of pictures (rtf/metafile.h). WMF goes through libwmf's SVG device, EMF
// through libemf2svg. Both are C libraries that offer no way to bound their time or
// memory, and a damaged or hostile file must not take the program down with them: so
// they run here, in a process of their own that limits its memory and processor time,
// and the program waits for each picture only so long.
//
// Input on stdin, pictures one after another: a byte 'W' or 'E', the length (4 bytes,
// little-endian), the file. Output on stdout, one answer per picture in the same order,
// written as soon as it is ready: a status byte (see Status), the length, the SVG.
//
// Text of a WMF is not left to libwmf, which writes its bytes as they are: the text
// element carries the bytes, the font's character set and its name in hexadecimal
// (qm-text, qm-cs, qm-face), and the program decodes them with its code pages.

#include "rtf/metafile_scan.h"

#include <libwmf/api.h>
#include <libwmf/ipa.h>
#include <libwmf/macro.h>
#include <libwmf/svg.h>

#include <emf2svg.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
#define QM_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QM_SANITIZED 1
#endif

namespace {

using namespace qm::metafile;

enum Status : uint8_t { Done = 0, Refused = 1, Failed = 2, TooLarge = 3 };

// The whole process: address space (libraries included) and processor time. Under
// the sanitizers the address space cannot be limited (their shadow memory is reserved
// up front); the program's deadline still holds.
constexpr rlim_t kAddressSpace = rlim_t(100) << 20;
constexpr rlim_t kCpuSeconds = 20;
// What libwmf may allocate for one picture, and how long one picture may take.
constexpr size_t kWmfMemory = size_t(48) << 20;
constexpr auto kPictureTime = std::chrono::milliseconds(900);
// Answers larger than this are not drawings anyone pasted into a question.
constexpr size_t kMaxSvg = size_t(8) << 20;
// The SVG's larger side, in its own units.
constexpr double kSvgUnits = 2000;

void limitProcess()
{
    rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
    rlimit cpu{kCpuSeconds, kCpuSeconds + 2};
    setrlimit(RLIMIT_CPU, &cpu);
#ifndef QM_SANITIZED
    rlimit as{kAddressSpace, kAddressSpace};
    setrlimit(RLIMIT_AS, &as);
#endif
}

bool readAll(int fd, std::string& out)
{
    char buf[65536];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n == 0)
            return true;
        if (n < 0)
            return false;
        out.append(buf, size_t(n));
    }
}

bool writeAll(int fd, const char* p, size_t n)
{
    while (n > 0) {
        const ssize_t w = write(fd, p, n);
        if (w <= 0)
            return false;
        p += w;
        n -= size_t(w);
    }
    return true;
}

void answer(Status status, const std::string& svg = {})
{
    const bool large = svg.size() > kMaxSvg;
    const std::string& body = large ? std::string() : svg;
    const char head[5] = {char(large ? TooLarge : status), char(body.size() & 0xFF), char(body.size() >> 8 & 0xFF),
                          char(body.size() >> 16 & 0xFF), char(body.size() >> 24 & 0xFF)};
    if (!writeAll(1, head, 5) || !writeAll(1, body.data(), body.size()))
        _exit(3);
}

// --- WMF through libwmf

struct WmfContext {
    size_t allocated = 0;
    std::chrono::steady_clock::time_point deadline;
    uint32_t recordBudget = 0;
    // A lead byte of a double-byte character drawn on its own, waiting for its second.
    std::string pending;
    std::string pendingHead;
};

// libwmf's allocations, counted against kWmfMemory; a block remembers its size before it.
void* wmfAlloc(void* context, size_t size)
{
    auto* c = static_cast<WmfContext*>(context);
    if (size > kWmfMemory || c->allocated + size > kWmfMemory)
        return nullptr;
    auto* block = static_cast<size_t*>(std::malloc(size + sizeof(max_align_t)));
    if (!block)
        return nullptr;
    *block = size;
    c->allocated += size;
    return reinterpret_cast<char*>(block) + sizeof(max_align_t);
}

void wmfFree(void* context, void* mem)
{
    if (!mem)
        return;
    auto* c = static_cast<WmfContext*>(context);
    auto* block = reinterpret_cast<size_t*>(static_cast<char*>(mem) - sizeof(max_align_t));
    c->allocated -= *block;
    std::free(block);
}

void* wmfRealloc(void* context, void* mem, size_t size)
{
    if (!mem)
        return wmfAlloc(context, size);
    auto* c = static_cast<WmfContext*>(context);
    auto* block = reinterpret_cast<size_t*>(static_cast<char*>(mem) - sizeof(max_align_t));
    const size_t old = *block;
    if (size > kWmfMemory || c->allocated - old + size > kWmfMemory)
        return nullptr;
    auto* grown = static_cast<size_t*>(std::realloc(block, size + sizeof(max_align_t)));
    if (!grown)
        return nullptr;
    *grown = size;
    c->allocated = c->allocated - old + size;
    return reinterpret_cast<char*>(grown) + sizeof(max_align_t);
}

// Called by libwmf after every record while scanning and playing: a file that takes too
// long or far more records than it holds (a loop) is stopped.
int wmfStatus(void* context, float)
{
    auto* c = static_cast<WmfContext*>(context);
    if (c->recordBudget == 0 || std::chrono::steady_clock::now() > c->deadline)
        return 1;
    --c->recordBudget;
    return 0;
}

std::string hex(const char* p, size_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(n * 2);
    for (size_t i = 0; i < n; ++i) {
        const auto b = uint8_t(p[i]);
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

bool isDoubleByteCharset(int charset)
{
    return charset == 128 || charset == 129 || charset == 130 || charset == 134 || charset == 136;
}

// The SVG device's coordinates: the bounding box stretched to width x height.
struct Mapping {
    double x(wmfAPI* api, double v) const
    {
        const wmf_svg_t* d = WMF_SVG_GetData(api);
        return (v - d->bbox.TL.x) / (double(d->bbox.BR.x) - d->bbox.TL.x) * d->width;
    }
    double y(wmfAPI* api, double v) const
    {
        const wmf_svg_t* d = WMF_SVG_GetData(api);
        return (v - d->bbox.TL.y) / (double(d->bbox.BR.y) - d->bbox.TL.y) * d->height;
    }
    double height(wmfAPI* api, double v) const
    {
        const wmf_svg_t* d = WMF_SVG_GetData(api);
        return v * d->height / (double(d->bbox.BR.y) - d->bbox.TL.y);
    }
};

void drawText(wmfAPI* api, wmfDrawText_t* text)
{
    wmf_svg_t* d = WMF_SVG_GetData(api);
    auto* c = static_cast<WmfContext*>(api->user_data);
    if (!d->out || !text->str)
        return;
    const wmfFont* font = WMF_DC_FONT(text->dc);
    const int charset = font ? WMF_FONT_CHARSET(font) : 0;
    std::string bytes(text->str);
    if (bytes.empty())
        return;
    // libwmf draws the characters of a text with spacing one byte at a time: the two
    // bytes of a Chinese character come in two calls and are put together here.
    if (!c->pending.empty()) {
        bytes = c->pending + bytes;
        c->pending.clear();
    } else if (bytes.size() == 1 && isDoubleByteCharset(charset) && uint8_t(bytes[0]) >= 0x81
               && uint8_t(bytes[0]) != 0xFF) {
        c->pending = bytes;
        c->pendingHead.clear();
    }
    const Mapping m;
    const double size = std::fabs(m.height(api, text->font_height));
    const double theta = font ? -WMF_TEXT_ANGLE(font) : 0;
    const wmfRGB* rgb = WMF_DC_TEXTCOLOR(text->dc);
    const char* face = font && WMF_FONT_NAME(font) ? WMF_FONT_NAME(font) : "";
    char head[512];
    std::snprintf(head, sizeof head,
                  "<text font-size=\"%.4f\" font-weight=\"%d\" font-style=\"%s\" fill=\"#%02x%02x%02x\" "
                  "transform=\"matrix(%.6f %.6f %.6f %.6f %.4f %.4f)\" qm-cs=\"%d\"",
                  size, font ? int(WMF_FONT_WEIGHT(font)) : 400, font && WMF_FONT_ITALIC(font) ? "italic" : "normal",
                  rgb ? rgb->r : 0, rgb ? rgb->g : 0, rgb ? rgb->b : 0, std::cos(theta), std::sin(theta),
                  -std::sin(theta), std::cos(theta), m.x(api, text->pt.x), m.y(api, text->pt.y), charset);
    if (!c->pending.empty()) {
        // Drawn where its first byte goes.
        c->pendingHead = head;
        return;
    }
    std::string element = c->pendingHead.empty() ? std::string(head) : c->pendingHead;
    c->pendingHead.clear();
    element +=
        " qm-face=\"" + hex(face, std::strlen(face)) + "\" qm-text=\"" + hex(bytes.data(), bytes.size()) + "\"/>\n";
    // Written straight to the stream: libwmf's formatted printing cannot take a long text.
    d->out->sputs(element.data(), d->out->context);
}

uint16_t le16(const std::string& s, size_t at)
{
    return uint16_t(uint8_t(s[at]) | uint8_t(s[at + 1]) << 8);
}

// libwmf's SAVEDC gives the new device context the default text alignment instead of
// the one in force, and text drawn after it lands a line too low (formula editors save
// the context around every piece). The copy that libwmf plays has the alignment set
// again after every SAVEDC and RESTOREDC. `wmf` has passed scanWmf.
std::string keepTextAlignment(const std::string& wmf)
{
    const size_t start = wmf.size() >= 22 && le16(wmf, 0) == 0xCDD7 && le16(wmf, 2) == 0x9AC6 ? 22 : 0;
    std::string out = wmf.substr(0, start + 18);
    std::vector<uint16_t> saved;
    uint16_t align = 0;
    auto setAlign = [&out](uint16_t a) {
        const char rec[8] = {4, 0, 0, 0, 0x2E, 0x01, char(a & 0xFF), char(a >> 8)};
        out.append(rec, sizeof rec);
    };
    size_t pos = start + 18;
    while (wmf.size() - pos >= 6) {
        const uint32_t words = uint32_t(le16(wmf, pos)) | uint32_t(le16(wmf, pos + 2)) << 16;
        const uint16_t function = le16(wmf, pos + 4);
        out.append(wmf, pos, size_t(words) * 2);
        const bool params = words >= 4;
        if (function == 0x012E && params) {  // SETTEXTALIGN
            align = le16(wmf, pos + 6);
        } else if (function == 0x001E) {  // SAVEDC
            saved.push_back(align);
            setAlign(align);
        } else if (function == 0x0127 && params) {  // RESTOREDC: -n levels back, or level n
            const auto n = int16_t(le16(wmf, pos + 6));
            size_t keep = n < 0 ? (saved.size() > size_t(-n) ? saved.size() - size_t(-n) : 0)
                                : std::min(saved.size(), size_t(std::max(n - 1, 0)));
            if (keep < saved.size()) {
                align = saved[keep];
                saved.resize(keep);
            }
            setAlign(align);
        }
        if (function == 0 && words == 3)
            break;
        pos += size_t(words) * 2;
    }
    // The header's file size, in words.
    const size_t words = (out.size() - start) / 2;
    for (int i = 0; i < 4; ++i)
        out[start + 6 + size_t(i)] = char(words >> (8 * i) & 0xFF);
    return out;
}

// libwmf measures text with the URW base fonts. Its own table names their Type 1 files,
// which FreeType takes ten times longer to open than the OpenType files of the same
// fonts: a formula's three fonts cost more than drawing it. The converter names those.
char kFontDir[] = "/usr/share/fonts/opentype/urw-base35";
char* kFontDirs[] = {kFontDir, nullptr};
wmfMapping kFonts[] = {
    {const_cast<char*>("Times-Roman"), const_cast<char*>("NimbusRoman-Regular.otf"), FT_ENCODING_UNICODE},
    {const_cast<char*>("Times-Italic"), const_cast<char*>("NimbusRoman-Italic.otf"), FT_ENCODING_UNICODE},
    {const_cast<char*>("Times-Bold"), const_cast<char*>("NimbusRoman-Bold.otf"), FT_ENCODING_UNICODE},
    {const_cast<char*>("Times-BoldItalic"), const_cast<char*>("NimbusRoman-BoldItalic.otf"), FT_ENCODING_UNICODE},
    {const_cast<char*>("Helvetica"), const_cast<char*>("NimbusSans-Regular.otf"), FT_ENCODING_UNICODE},
    {const_cast<char*>("Helvetica-Oblique"), const_cast<char*>("NimbusSans-Italic.otf"), FT_ENCODING_UNICODE},
    {const_cast<char*>("Helvetica-Bold"), const_cast<char*>("NimbusSans-Bold.otf"), FT_ENCODING_UNICODE},
    {const_cast<char*>("Helvetica-BoldOblique"), const_cast<char*>("NimbusSans-BoldItalic.otf"), FT_ENCODING_UNICODE},
    {const_cast<char*>("Courier"), const_cast<char*>("NimbusMonoPS-Regular.otf"), FT_ENCODING_UNICODE},
    {const_cast<char*>("Courier-Oblique"), const_cast<char*>("NimbusMonoPS-Italic.otf"), FT_ENCODING_UNICODE},
    {const_cast<char*>("Courier-Bold"), const_cast<char*>("NimbusMonoPS-Bold.otf"), FT_ENCODING_UNICODE},
    {const_cast<char*>("Courier-BoldOblique"), const_cast<char*>("NimbusMonoPS-BoldItalic.otf"), FT_ENCODING_UNICODE},
    {const_cast<char*>("Symbol"), const_cast<char*>("StandardSymbolsPS.otf"), FT_ENCODING_ADOBE_CUSTOM},
    {const_cast<char*>("ZapfDingbats"), const_cast<char*>("D050000L.otf"), FT_ENCODING_ADOBE_CUSTOM},
    {nullptr, nullptr, FT_ENCODING_NONE},
};

std::string convertWmf(const std::string& original, const Scan& scan)
{
    const std::string file = keepTextAlignment(original);
    WmfContext context;
    context.deadline = std::chrono::steady_clock::now() + kPictureTime;
    // Scanning and playing each pass over every record once.
    context.recordBudget = scan.records * 2 + 16;
    wmfAPI_Options options{};
    options.context = &context;
    options.malloc = wmfAlloc;
    options.realloc = wmfRealloc;
    options.free = wmfFree;
    options.function = wmf_svg_function;
    options.fontdirs = kFontDirs;
    options.font.ps = kFonts;
    wmfAPI* api = nullptr;
    const unsigned long flags = WMF_OPT_ALLOC | WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR
                                | WMF_OPT_NO_DEBUG | WMF_OPT_FONTDIRS | WMF_OPT_FONTMAP;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
        if (api)
            wmf_api_destroy(api);
        return {};
    }
    api->user_data = &context;
    static_cast<wmfFunctionReference*>(api->function_reference)->draw_text = drawText;
    wmf_status_function(api, &context, wmfStatus);
    std::string svg;
    wmfD_Rect box{};
    std::vector<unsigned char> bytes(file.begin(), file.end());
    if (wmf_mem_open(api, bytes.data(), long(bytes.size())) == wmf_E_None && wmf_scan(api, 0, &box) == wmf_E_None) {
        wmf_svg_t* d = WMF_SVG_GetData(api);
        if (scan.hasFrame) {
            box.TL.x = float(scan.frame.left);
            box.TL.y = float(scan.frame.top);
            box.BR.x = float(scan.frame.right);
            box.BR.y = float(scan.frame.bottom);
        }
        const double w = double(box.BR.x) - box.TL.x;
        const double h = double(box.BR.y) - box.TL.y;
        // The SVG has the picture's own proportions, its larger side kSvgUnits long.
        const double aspect = scan.hasFrame ? scan.aspect : w / h;
        if (w > 0 && h > 0 && std::isfinite(w) && std::isfinite(h) && aspect > 1e-4 && aspect < 1e4) {
            d->bbox = box;
            d->width = unsigned(std::max(1.0, std::round(aspect >= 1 ? kSvgUnits : kSvgUnits * aspect)));
            d->height = unsigned(std::max(1.0, std::round(aspect >= 1 ? kSvgUnits / aspect : kSvgUnits)));
            d->flags |= WMF_SVG_INLINE_IMAGES;
            d->out = wmf_stream_create(api, nullptr);
            if (d->out && wmf_play(api, 0, &box) == wmf_E_None) {
                char* buffer = nullptr;
                unsigned long length = 0;
                wmf_stream_destroy(api, d->out, &buffer, &length);
                d->out = nullptr;
                if (buffer)
                    svg.assign(buffer, length);
            }
        }
    }
    wmf_api_destroy(api);
    return svg;
}

// --- EMF through libemf2svg

std::string convertEmf(const std::string& file)
{
    generatorOptions options{};
    options.nameSpace = const_cast<char*>("");
    options.svgDelimiter = true;
    // The GDI records every EMF+ file carries for older readers are drawn: the EMF+
    // reader of the library is the less proven part.
    options.emfplus = false;
    std::vector<char> bytes(file.begin(), file.end());
    char* out = nullptr;
    size_t length = 0;
    std::string svg;
    if (emf2svg(bytes.data(), bytes.size(), &out, &length, &options) == 1 && out)
        svg.assign(out, length);
    std::free(out);
    return svg;
}

}  // namespace

int main()
{
    limitProcess();
    std::string input;
    if (!readAll(0, input))
        return 2;
    size_t pos = 0;
    while (input.size() - pos >= 5) {
        const char format = input[pos];
        const uint32_t length = uint32_t(uint8_t(input[pos + 1])) | uint32_t(uint8_t(input[pos + 2])) << 8
                                | uint32_t(uint8_t(input[pos + 3])) << 16 | uint32_t(uint8_t(input[pos + 4])) << 24;
        pos += 5;
        if (length > input.size() - pos)
            return 2;
        const std::string file = input.substr(pos, length);
        pos += length;
        const Format f = format == 'E' ? Format::Emf : Format::Wmf;
        const Scan scan = qm::metafile::scan(f, reinterpret_cast<const uint8_t*>(file.data()), file.size());
        if (!scan.ok) {
            answer(Refused);
            continue;
        }
        const std::string svg = f == Format::Wmf ? convertWmf(file, scan) : convertEmf(file);
        answer(svg.empty() ? Failed : Done, svg);
    }
    return 0;
}
