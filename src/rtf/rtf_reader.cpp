#include "rtf/rtf_reader.h"

#include "core/gbk.h"
#include "rtf/rich_text.h"

#include <QColor>
#include <QHash>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qm {

namespace {

// Groups nested deeper than this share the state of the deepest one kept.
constexpr int kMaxDepth = 1000;
// Columns of one table; Word allows 63.
constexpr int kMaxColumns = 63;
// Each new row or column makes Qt re-index every cell of its table. Past this many cell
// visits (some tenths of a second) the rest of the document's tables are read as text:
// cells separated by tabs, rows by paragraphs.
constexpr qsizetype kMaxTableWork = 8'000'000;

enum class Dest : uint8_t {
    Text,        // document text
    Upr,         // \upr: its ANSI alternative is dropped, the \ud part is read
    FontTable,
    ColorTable,
    Pict,
};

// Which kind of character the following text is (\loch, \hich, \dbch); "associated"
// properties such as \af, \ab, \afs apply to double-byte text.
enum class RunType : uint8_t { Loch, Hich, Dbch };

struct CharProps {
    int font = -1;     // font number; -1 none
    int cjkFont = -1;  // font of double-byte characters (\dbch\af); -1 = `font`
    int fs = 24;       // size in half points
    int fg = 0;        // colour table index; 0 automatic
    int bg = 0;
    uint8_t ul = 0;    // QTextCharFormat::UnderlineStyle
    uint8_t vert = 0;  // 0 normal, 1 superscript, 2 subscript
    bool b = false;
    bool i = false;
    bool strike = false;
    bool hidden = false;
    bool operator==(const CharProps&) const = default;
};

struct CharPropsHash {
    size_t operator()(const CharProps& c) const noexcept
    {
        size_t h = size_t(c.font) * 1000003u ^ size_t(c.cjkFont) * 10007u ^ size_t(c.fs) * 131u;
        h ^= size_t(c.fg) << 20 ^ size_t(c.bg) << 28 ^ size_t(c.ul) << 3 ^ size_t(c.vert) << 6;
        return h ^ (c.b | c.i << 1 | c.strike << 2 | c.hidden << 3);
    }
};

struct ParaProps {
    uint8_t align = 0;  // 0 left, 1 right, 2 centre, 3 justified
    bool inTable = false;
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0, sl = 0;  // twips
    bool slmult = false;
    bool operator==(const ParaProps&) const = default;
};

struct State {
    CharProps ch;
    ParaProps para;
    Dest dest = Dest::Text;
    uint8_t uc = 1;
    RunType run = RunType::Loch;
    bool rtl = false;
};

struct Font {
    QString name;
    int charset = -1;
    int cpg = 0;
};

enum class Kw : uint8_t {
    Skip, Rtf, Ansi, Mac, Pc, Pca, AnsiCpg, Deff, FontTable, ColorTable, F, FCharset, Cpg, Red,
    Green, Blue, Plain, B, I, Ul, UlDot, UlDash, UlDashDot, UlDashDotDot, UlWave, UlNone, Strike,
    Super, Sub, NoSuperSub, Up, Dn, Fs, Cf, Highlight, V, Loch, Hich, Dbch, Rtlch, Ltrch, Af, Afs,
    Ab, Ai, Uc, U, Pard, Par, Line, Tab, Page, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa, Sl, SlMult,
    InTbl, PageBb, Trowd, Cellx, Cell, Row, NestCell, NestRow, ClMgf, ClMrg, ClVmgf, ClVmrg,
    CellBorder, ParaBorder, BrdrNone, BrdrW, TrQc, TrQr, TrQl, TrGaph, Pict, PictKind, PicW, PicH,
    PicWGoal, PicHGoal, PicScaleX, PicScaleY, Bin, Symbol, ShpPict, Upr, Ud, TextDest
};

struct KwEntry {
    Kw kw;
    char16_t ch = 0;  // Symbol: the character; Ul*: unused
};

const std::unordered_map<std::string_view, KwEntry>& keywords()
{
    static const std::unordered_map<std::string_view, KwEntry> map = [] {
        std::unordered_map<std::string_view, KwEntry> m;
        const std::pair<const char*, Kw> plain[] = {
            {"rtf", Kw::Rtf}, {"urtf", Kw::Rtf}, {"ansi", Kw::Ansi}, {"mac", Kw::Mac}, {"pc", Kw::Pc},
            {"pca", Kw::Pca}, {"ansicpg", Kw::AnsiCpg}, {"deff", Kw::Deff},
            {"fonttbl", Kw::FontTable}, {"colortbl", Kw::ColorTable}, {"f", Kw::F},
            {"fcharset", Kw::FCharset}, {"cpg", Kw::Cpg}, {"red", Kw::Red}, {"green", Kw::Green},
            {"blue", Kw::Blue}, {"plain", Kw::Plain}, {"b", Kw::B}, {"i", Kw::I}, {"ul", Kw::Ul},
            {"ulw", Kw::Ul}, {"uldb", Kw::Ul}, {"ulth", Kw::Ul}, {"uld", Kw::UlDot},
            {"ulthd", Kw::UlDot}, {"uldash", Kw::UlDash}, {"ulthdash", Kw::UlDash},
            {"ulldash", Kw::UlDash}, {"ulthldash", Kw::UlDash}, {"uldashd", Kw::UlDashDot},
            {"ulthdashd", Kw::UlDashDot}, {"uldashdd", Kw::UlDashDotDot},
            {"ulthdashdd", Kw::UlDashDotDot}, {"ulwave", Kw::UlWave}, {"ulhwave", Kw::UlWave},
            {"ululdbwave", Kw::UlWave}, {"ulnone", Kw::UlNone}, {"strike", Kw::Strike},
            {"striked", Kw::Strike}, {"super", Kw::Super}, {"sub", Kw::Sub},
            {"nosupersub", Kw::NoSuperSub}, {"up", Kw::Up}, {"dn", Kw::Dn}, {"fs", Kw::Fs},
            {"cf", Kw::Cf}, {"highlight", Kw::Highlight}, {"cb", Kw::Highlight},
            {"chcbpat", Kw::Highlight}, {"v", Kw::V}, {"loch", Kw::Loch}, {"hich", Kw::Hich},
            {"dbch", Kw::Dbch}, {"rtlch", Kw::Rtlch}, {"ltrch", Kw::Ltrch}, {"af", Kw::Af},
            {"afs", Kw::Afs}, {"ab", Kw::Ab}, {"ai", Kw::Ai}, {"uc", Kw::Uc}, {"u", Kw::U},
            {"pard", Kw::Pard}, {"par", Kw::Par}, {"sect", Kw::Par}, {"line", Kw::Line},
            {"tab", Kw::Tab}, {"page", Kw::Page}, {"ql", Kw::Ql}, {"qc", Kw::Qc}, {"qr", Kw::Qr},
            {"qj", Kw::Qj}, {"qd", Kw::Qj}, {"li", Kw::Li}, {"ri", Kw::Ri}, {"fi", Kw::Fi},
            {"sb", Kw::Sb}, {"sa", Kw::Sa}, {"sl", Kw::Sl}, {"slmult", Kw::SlMult},
            {"intbl", Kw::InTbl}, {"pagebb", Kw::PageBb}, {"trowd", Kw::Trowd},
            {"cellx", Kw::Cellx}, {"cell", Kw::Cell}, {"row", Kw::Row},
            {"nestcell", Kw::NestCell}, {"nestrow", Kw::NestRow}, {"clmgf", Kw::ClMgf},
            {"clmrg", Kw::ClMrg}, {"clvmgf", Kw::ClVmgf}, {"clvmrg", Kw::ClVmrg},
            {"clbrdrt", Kw::CellBorder}, {"clbrdrl", Kw::CellBorder}, {"clbrdrb", Kw::CellBorder},
            {"clbrdrr", Kw::CellBorder}, {"trbrdrt", Kw::CellBorder}, {"trbrdrl", Kw::CellBorder},
            {"trbrdrb", Kw::CellBorder}, {"trbrdrr", Kw::CellBorder}, {"trbrdrh", Kw::CellBorder},
            {"trbrdrv", Kw::CellBorder}, {"brdrt", Kw::ParaBorder}, {"brdrb", Kw::ParaBorder},
            {"brdrl", Kw::ParaBorder}, {"brdrr", Kw::ParaBorder}, {"box", Kw::ParaBorder},
            {"brdrnone", Kw::BrdrNone}, {"brdrnil", Kw::BrdrNone}, {"brdrw", Kw::BrdrW},
            {"trqc", Kw::TrQc}, {"trqr", Kw::TrQr}, {"trql", Kw::TrQl}, {"trgaph", Kw::TrGaph},
            {"pict", Kw::Pict}, {"pngblip", Kw::PictKind}, {"jpegblip", Kw::PictKind},
            {"emfblip", Kw::PictKind}, {"wmetafile", Kw::PictKind}, {"dibitmap", Kw::PictKind},
            {"wbitmap", Kw::PictKind}, {"macpict", Kw::PictKind}, {"pmmetafile", Kw::PictKind},
            {"picw", Kw::PicW}, {"pich", Kw::PicH}, {"picwgoal", Kw::PicWGoal},
            {"pichgoal", Kw::PicHGoal}, {"picscalex", Kw::PicScaleX},
            {"picscaley", Kw::PicScaleY}, {"bin", Kw::Bin}, {"shppict", Kw::ShpPict},
            {"upr", Kw::Upr}, {"ud", Kw::Ud}, {"fldrslt", Kw::TextDest},
            {"result", Kw::TextDest}, {"listtext", Kw::TextDest}, {"pntext", Kw::TextDest},
        };
        for (const auto& [name, kw] : plain)
            m.emplace(name, KwEntry{kw});
        // Destinations whose content is not document text.
        for (const char* name :
             {"author", "buptim", "colorschememapping", "comment", "creatim", "datastore", "docvar",
              "doccomm", "footer", "footerf", "footerl", "footerr", "footnote", "ftncn", "ftnsep",
              "ftnsepc", "aftncn", "aftnsep", "aftnsepc", "generator", "header", "headerf",
              "headerl", "headerr", "info", "keywords", "latentstyles", "listoverridetable",
              "listtable", "operator", "printim", "private", "revtbl", "rsidtbl", "stylesheet",
              "subject", "template", "themedata", "title", "xe", "tc", "txe", "fldinst",
              "nonshppict", "objdata", "objclass", "pgdsctbl", "xmlnstbl", "mmathPr", "falt",
              "panose", "atnid", "atnauthor", "annotation", "bkmkstart", "bkmkend", "pn",
              "pntxta", "pntxtb", "protusertbl", "fchars", "lchars", "userprops", "defchp",
              "defpap", "blipuid", "picprop", "shpinst", "filetbl", "revtim", "doccomm",
              "hlinkbase", "manager", "company", "category", "nextfile", "shptxt", "sp", "sn",
              "sv", "do", "background", "pgp", "wgrffmtfilter", "listpicture", "tcn", "ts"})
            m.emplace(name, KwEntry{Kw::Skip});
        const std::pair<const char*, char16_t> symbols[] = {
            {"emdash", 0x2014}, {"endash", 0x2013}, {"bullet", 0x2022}, {"lquote", 0x2018},
            {"rquote", 0x2019}, {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
            {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005}, {"zwj", 0x200D},
            {"zwnj", 0x200C}, {"zwbo", 0x200B}, {"zwnbo", 0xFEFF}, {"ltrmark", 0x200E},
            {"rtlmark", 0x200F}};
        for (const auto& [name, ch] : symbols)
            m.emplace(name, KwEntry{Kw::Symbol, ch});
        return m;
    }();
    return map;
}

// Code page of a font character set (\fcharset); 0 = the document's code page.
int charsetCodepage(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
    }
}

constexpr int kSymbolCodepage = -2;

// Characters of the Symbol font (character set 2) at their byte positions 0x20..0xFF.
char16_t symbolChar(uint8_t b)
{
    static const char16_t table[224] = {
        0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B, 0x0028, 0x0029, 0x2217,
        0x002B, 0x002C, 0x2212, 0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035,
        0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F, 0x2245,
        0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1, 0x039A,
        0x039B, 0x039C, 0x039D, 0x039F, 0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2,
        0x03A9, 0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F, 0x203E, 0x03B1,
        0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB,
        0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9,
        0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0x007F, 0x0080, 0x0081, 0x0082,
        0x0083, 0x0084, 0x0085, 0x0086, 0x0087, 0x0088, 0x0089, 0x008A, 0x008B, 0x008C, 0x008D,
        0x008E, 0x008F, 0x0090, 0x0091, 0x0092, 0x0093, 0x0094, 0x0095, 0x0096, 0x0097, 0x0098,
        0x0099, 0x009A, 0x009B, 0x009C, 0x009D, 0x009E, 0x009F, 0x20AC, 0x03D2, 0x2032, 0x2264,
        0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192,
        0x2193, 0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022, 0x00F7, 0x2260,
        0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5, 0x2135, 0x2111, 0x211C, 0x2118, 0x2297,
        0x2295, 0x2205, 0x2229, 0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,
        0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228,
        0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3, 0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211,
        0x239B, 0x239C, 0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA, 0x20AC,
        0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5, 0x23A6,
        0x23AB, 0x23AC, 0x23AD, 0x0020};
    return b >= 0x20 ? table[b - 0x20] : char16_t(b);
}

inline int hexValue(uint8_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

inline bool isAlpha(uint8_t c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
inline bool isDigit(uint8_t c) { return c >= '0' && c <= '9'; }

class Parser {
public:
    Parser(QByteArrayView in, QTextDocument* doc)
        : p_(reinterpret_cast<const uint8_t*>(in.data())),
          end_(p_ + in.size()),
          doc_(doc),
          cur_(doc)
    {
    }

    void run();

private:
    // --- tokens
    void controlWord();
    void handleWord(std::string_view word, bool hasParam, int param);
    void handleSymbol(uint8_t c);
    void literalText();
    void pushGroup();
    void popGroup();
    void skipGroup();
    void addByte(uint8_t b);

    // --- text
    int codepage() const;
    void flushBytes();
    void appendText(QStringView s);
    void appendChar(char16_t c);
    void flushRun();
    void insertRun(const QString& text, const CharProps& props);
    const QTextCharFormat& charFormat(const CharProps& props);
    const Font* font(int number) const;

    // --- paragraphs and tables
    void prepareContent();
    void endParagraph();
    void applyBlockFormat();
    QTextBlockFormat blockFormat() const;
    void openCell();
    void endCell();
    void endRow();
    void closeTable();

    // --- fonts, colours, pictures
    void endFontEntry();
    void endPicture();

    const uint8_t* p_;
    const uint8_t* end_;
    QTextDocument* doc_;
    QTextCursor cur_;

    State st_;
    std::vector<State> stack_;
    int overflow_ = 0;       // groups opened beyond kMaxDepth
    bool star_ = false;      // \* seen: the next control word starts an optional destination
    int depth_ = 0;          // open groups, including those beyond kMaxDepth
    bool done_ = false;

    int deff_ = 0;
    int ansiCpg_ = 936;
    QHash<int, Font> fonts_;
    int fontNumber_ = -1;   // font being defined in the font table
    int fontTableDepth_ = -1;
    Font fontEntry_;
    std::vector<QColor> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorSet_ = false;

    QByteArray bytes_;       // text bytes waiting to be decoded
    int ucSkip_ = 0;         // fallback characters still to skip after \uN
    QString run_;            // decoded text of the current run
    CharProps runProps_;
    std::unordered_map<CharProps, QTextCharFormat, CharPropsHash> formats_;
    std::unordered_map<int, std::unique_ptr<QStringDecoder>> decoders_;

    bool pendingPar_ = false;    // a \par has ended the current block; the next comes with content
    bool pageBreakNext_ = false;
    bool blockStarted_ = false;  // the current block has content or was begun by \par

    // Tables
    struct CellDef {
        int right = 0;
        bool hFirst = false, hNext = false, vFirst = false, vNext = false;
    };
    QTextTable* table_ = nullptr;
    int row_ = -1;
    int col_ = 0;
    int cellPos_ = 0;  // where the next cell of the row starts
    bool rowOpen_ = false;
    bool cellOpen_ = false;
    std::vector<CellDef> rowDef_;
    CellDef cellDef_;
    bool borderContext_ = false;
    bool rowBorder_ = false;
    int borderWidth_ = 0;
    int rowAlign_ = 0;
    int rowGap_ = 108;
    std::vector<int> vStart_;
    qsizetype tableWork_ = 0;
    bool tablesOff_ = false;

    // Picture being read
    struct Pict {
        QByteArray kind;
        QByteArray data;
        int nibble = -1;
        int w = 0, h = 0, wGoal = 0, hGoal = 0, scaleX = 100, scaleY = 100;
    } pict_;
};

void Parser::run()
{
    // Build the whole document as one edit: the layout is updated once at the end.
    cur_.beginEditBlock();
    while (p_ < end_ && *p_ != '{')
        ++p_;
    while (p_ < end_ && !done_) {
        const uint8_t c = *p_;
        switch (c) {
        case '{':
            ++p_;
            pushGroup();
            break;
        case '}':
            ++p_;
            popGroup();
            break;
        case '\\':
            controlWord();
            break;
        case '\r':
        case '\n':
            ++p_;
            break;
        default:
            literalText();
            break;
        }
    }
    // A file that ends inside groups closes them all.
    while (!stack_.empty() && !done_)
        popGroup();
    flushBytes();
    flushRun();
    if (table_)
        closeTable();
    if (!pendingPar_)
        applyBlockFormat();
    cur_.endEditBlock();
}

void Parser::pushGroup()
{
    flushBytes();
    star_ = false;
    ucSkip_ = 0;
    ++depth_;
    if (stack_.size() >= size_t(kMaxDepth)) {
        ++overflow_;
        return;
    }
    stack_.push_back(st_);
}

void Parser::popGroup()
{
    flushBytes();
    star_ = false;
    ucSkip_ = 0;
    if (depth_ == 0)
        return;
    --depth_;
    if (overflow_ > 0) {
        --overflow_;
        return;
    }
    if (stack_.empty())
        return;
    const Dest closing = st_.dest;
    st_ = stack_.back();
    stack_.pop_back();
    // A font entry ends with its group (or with the table).
    if (closing == Dest::FontTable && (st_.dest != Dest::FontTable || depth_ == fontTableDepth_))
        endFontEntry();
    if (closing == Dest::Pict && st_.dest != Dest::Pict)
        endPicture();
    if (stack_.empty())
        done_ = true;  // the closing brace of the document
}

// Jumps over the rest of the current group (an unknown or unwanted destination), minding
// escaped braces and binary data.
void Parser::skipGroup()
{
    int depth = 1;
    while (p_ < end_) {
        const uint8_t c = *p_++;
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) {
                --p_;  // the closing brace is handled as usual
                return;
            }
        } else if (c == '\\' && p_ < end_) {
            if (end_ - p_ > 3 && std::memcmp(p_, "bin", 3) == 0 && !isAlpha(p_[3])) {
                p_ += 3;
                long long n = 0;
                while (p_ < end_ && isDigit(*p_)) {
                    if (n < (1LL << 40))
                        n = n * 10 + (*p_ - '0');
                    ++p_;
                }
                if (p_ < end_ && *p_ == ' ')
                    ++p_;
                p_ += std::min<long long>(n, end_ - p_);
            } else {
                ++p_;
            }
        }
    }
}

void Parser::controlWord()
{
    ++p_;  // backslash
    if (p_ >= end_)
        return;
    const uint8_t c = *p_;
    if (isAlpha(c)) {
        const uint8_t* s = p_;
        while (p_ < end_ && isAlpha(*p_))
            ++p_;
        const std::string_view word(reinterpret_cast<const char*>(s), std::min<size_t>(p_ - s, 32));
        bool hasParam = false;
        bool negative = false;
        long long value = 0;
        if (p_ + 1 < end_ && *p_ == '-' && isDigit(p_[1])) {
            negative = true;
            ++p_;
        }
        while (p_ < end_ && isDigit(*p_)) {
            hasParam = true;
            if (value < 100000000000LL)
                value = value * 10 + (*p_ - '0');
            ++p_;
        }
        if (p_ < end_ && *p_ == ' ')
            ++p_;
        value = std::min<long long>(value, INT32_MAX);
        handleWord(word, hasParam, int(negative ? -value : value));
        return;
    }
    ++p_;
    if (c == '\'') {
        if (end_ - p_ >= 2) {
            const int hi = hexValue(p_[0]);
            const int lo = hexValue(p_[1]);
            if (hi >= 0 && lo >= 0) {
                p_ += 2;
                star_ = false;
                if (ucSkip_ > 0) {
                    --ucSkip_;
                    return;
                }
                addByte(uint8_t(hi << 4 | lo));
                return;
            }
        }
        return;
    }
    handleSymbol(c);
}

void Parser::handleSymbol(uint8_t c)
{
    if (c == '*') {
        star_ = true;
        return;
    }
    star_ = false;
    if (ucSkip_ > 0 && (c == '\\' || c == '{' || c == '}')) {
        --ucSkip_;
        return;
    }
    switch (c) {
    case '\\':
    case '{':
    case '}':
        addByte(c);
        break;
    case '~':
        appendChar(0x00A0);
        break;
    case '_':
        appendChar(0x2011);
        break;
    case '\r':
    case '\n':
        flushBytes();
        if (st_.dest == Dest::Text)
            endParagraph();
        break;
    case '\t':
        appendChar(u'\t');
        break;
    default:  // \- optional hyphen, \: index entries, \| formula character
        break;
    }
}

void Parser::literalText()
{
    if (st_.dest == Dest::Pict) {
        // Hexadecimal picture data; everything else is noise.
        while (p_ < end_) {
            const uint8_t c = *p_;
            if (c == '\\' || c == '{' || c == '}')
                return;
            ++p_;
            const int v = hexValue(c);
            if (v < 0)
                continue;
            if (pict_.nibble < 0) {
                pict_.nibble = v;
            } else {
                pict_.data.append(char(pict_.nibble << 4 | v));
                pict_.nibble = -1;
            }
        }
        return;
    }
    if (st_.dest == Dest::ColorTable) {
        if (*p_++ == ';') {
            colors_.push_back(colorSet_ ? QColor(red_, green_, blue_) : QColor());
            red_ = green_ = blue_ = 0;
            colorSet_ = false;
        }
        return;
    }
    if (st_.dest == Dest::FontTable) {
        const uint8_t c = *p_++;
        if (ucSkip_ > 0) {
            --ucSkip_;
        } else if (c == ';') {
            flushBytes();
            endFontEntry();
        } else {
            addByte(c);
        }
        return;
    }
    star_ = false;
    // Plain text: take the whole stretch up to the next special character at once.
    const uint8_t* s = p_;
    while (p_ < end_) {
        const uint8_t c = *p_;
        if (c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n')
            break;
        ++p_;
    }
    while (ucSkip_ > 0 && s < p_) {
        ++s;
        --ucSkip_;
    }
    for (const uint8_t* q = s; q < p_; ++q) {
        if (*q == '\t') {
            bytes_.append(reinterpret_cast<const char*>(s), q - s);
            appendChar(u'\t');
            s = q + 1;
        }
    }
    if (s < p_)
        bytes_.append(reinterpret_cast<const char*>(s), p_ - s);
}

void Parser::addByte(uint8_t b)
{
    bytes_.append(char(b));
}

const Font* Parser::font(int number) const
{
    const auto it = fonts_.constFind(number);
    return it == fonts_.cend() ? nullptr : &it.value();
}

int Parser::codepage() const
{
    int number = st_.ch.font >= 0 ? st_.ch.font : deff_;
    if (st_.dest == Dest::FontTable)
        number = fontNumber_;
    else if (st_.run == RunType::Dbch && st_.ch.cjkFont >= 0)
        number = st_.ch.cjkFont;
    const Font* f = st_.dest == Dest::FontTable ? &fontEntry_ : font(number);
    if (f) {
        if (f->charset == 2)
            return kSymbolCodepage;
        if (f->cpg > 0)
            return f->cpg;
        if (const int cp = charsetCodepage(f->charset))
            return cp;
    }
    return ansiCpg_;
}

void Parser::flushBytes()
{
    if (bytes_.isEmpty())
        return;
    const int cp = codepage();
    QString text;
    if (cp == 936) {
        text = gbkDecode(bytes_);
    } else if (cp == kSymbolCodepage) {
        text.resize(bytes_.size());
        for (qsizetype i = 0; i < bytes_.size(); ++i)
            text[i] = QChar(symbolChar(uint8_t(bytes_[i])));
    } else if (cp == 1252 || cp == 0) {
        text = QString::fromLatin1(bytes_);
        static const char16_t high[32] = {
            0x20AC, 0x81, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
            0x2039, 0x0152, 0x8D, 0x017D, 0x8F, 0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D, 0x017E, 0x0178};
        for (QChar& ch : text)
            if (ch.unicode() >= 0x80 && ch.unicode() < 0xA0)
                ch = QChar(high[ch.unicode() - 0x80]);
    } else {
        std::unique_ptr<QStringDecoder>& dec = decoders_[cp];
        if (!dec) {
            const QByteArray name = cp == 10000 ? QByteArray("macintosh")
                                  : cp == 437 || cp == 850 ? "IBM" + QByteArray::number(cp)
                                  : cp == 932 ? QByteArray("Shift_JIS")
                                  : cp == 950 ? QByteArray("Big5")
                                  : "windows-" + QByteArray::number(cp);
            dec = std::make_unique<QStringDecoder>(name.constData());
            if (!dec->isValid())
                dec = std::make_unique<QStringDecoder>(QStringDecoder::Latin1);
        }
        text = dec->decode(bytes_);
        dec->resetState();
    }
    bytes_.clear();
    appendText(text);
}

void Parser::appendChar(char16_t c)
{
    flushBytes();
    const QChar ch(c);
    appendText(QStringView(&ch, 1));
}

void Parser::appendText(QStringView s)
{
    switch (st_.dest) {
    case Dest::Text:
        break;
    case Dest::FontTable:
        fontEntry_.name += s;
        return;
    default:
        return;
    }
    if (st_.ch.hidden || s.isEmpty())
        return;
    if (!(st_.ch == runProps_)) {
        flushRun();
        runProps_ = st_.ch;
    }
    run_ += s;
}

const QTextCharFormat& Parser::charFormat(const CharProps& props)
{
    const auto it = formats_.find(props);
    if (it != formats_.end())
        return it->second;
    QTextCharFormat fmt;
    const Font* f = font(props.font >= 0 ? props.font : deff_);
    if (f && !f->name.isEmpty())
        fmt.setFontFamilies({f->name});
    fmt.setFontPointSize(props.fs / 2.0);
    if (props.b)
        fmt.setFontWeight(QFont::Bold);
    if (props.i)
        fmt.setFontItalic(true);
    if (props.ul)
        fmt.setUnderlineStyle(QTextCharFormat::UnderlineStyle(props.ul));
    if (props.strike)
        fmt.setFontStrikeOut(true);
    if (props.vert)
        fmt.setVerticalAlignment(props.vert == 1 ? QTextCharFormat::AlignSuperScript
                                                 : QTextCharFormat::AlignSubScript);
    if (size_t(props.fg) < colors_.size() && colors_[props.fg].isValid())
        fmt.setForeground(colors_[props.fg]);
    if (props.bg > 0 && size_t(props.bg) < colors_.size() && colors_[props.bg].isValid())
        fmt.setBackground(colors_[props.bg]);
    return formats_.emplace(props, fmt).first->second;
}

void Parser::flushRun()
{
    if (run_.isEmpty())
        return;
    prepareContent();
    const CharProps& props = runProps_;
    const Font* latin = font(props.font >= 0 ? props.font : deff_);
    const Font* cjk = props.cjkFont >= 0 ? font(props.cjkFont) : nullptr;
    if (cjk && (!latin || latin->name != cjk->name)) {
        // Chinese characters take the double-byte font, the rest the ordinary one.
        CharProps cjkProps = props;
        cjkProps.font = props.cjkFont;
        qsizetype start = 0;
        bool startCjk = run_[0].unicode() >= 0x2E80;
        for (qsizetype i = 1; i <= run_.size(); ++i) {
            const bool isCjk = i < run_.size() && run_[i].unicode() >= 0x2E80;
            if (i == run_.size() || isCjk != startCjk) {
                cur_.insertText(run_.mid(start, i - start), charFormat(startCjk ? cjkProps : props));
                start = i;
                startCjk = isCjk;
            }
        }
    } else {
        cur_.insertText(run_, charFormat(props));
    }
    run_.clear();
}

// Called before anything goes into the document: leaves a table that the text is not part
// of, enters the table cell it is part of, and starts the block a \par asked for.
void Parser::prepareContent()
{
    if (table_ && !(st_.para.inTable && !tablesOff_))
        closeTable();
    if (st_.para.inTable && !tablesOff_) {
        if (!cellOpen_)
            openCell();
    }
    if (pendingPar_) {
        cur_.insertBlock();
        pendingPar_ = false;
    }
}

QTextBlockFormat Parser::blockFormat() const
{
    const ParaProps& pp = st_.para;
    QTextBlockFormat fmt;
    switch (pp.align) {
    case 1: fmt.setAlignment(Qt::AlignRight); break;
    case 2: fmt.setAlignment(Qt::AlignHCenter); break;
    case 3: fmt.setAlignment(Qt::AlignJustify); break;
    default: break;
    }
    if (pp.li)
        fmt.setLeftMargin(pp.li / kTwipsPerPixel);
    if (pp.ri)
        fmt.setRightMargin(pp.ri / kTwipsPerPixel);
    if (pp.fi)
        fmt.setTextIndent(pp.fi / kTwipsPerPixel);
    if (pp.sb)
        fmt.setTopMargin(pp.sb / kTwipsPerPixel);
    if (pp.sa)
        fmt.setBottomMargin(pp.sa / kTwipsPerPixel);
    if (pp.sl && pp.slmult)
        fmt.setLineHeight(std::abs(pp.sl) * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
    else if (pp.sl > 0)
        fmt.setLineHeight(pp.sl / kTwipsPerPixel, QTextBlockFormat::MinimumHeight);
    else if (pp.sl < 0)
        fmt.setLineHeight(-pp.sl / kTwipsPerPixel, QTextBlockFormat::FixedHeight);
    return fmt;
}

void Parser::applyBlockFormat()
{
    QTextBlockFormat fmt = blockFormat();
    if (pageBreakNext_) {
        fmt.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        pageBreakNext_ = false;
    }
    if (cur_.blockFormat() != fmt)
        cur_.setBlockFormat(fmt);
    if (cur_.block().length() == 1) {
        // An empty paragraph is as high as its paragraph mark's font.
        CharProps props = st_.ch;
        props.hidden = false;
        cur_.setBlockCharFormat(charFormat(props));
    }
}

void Parser::endParagraph()
{
    flushRun();
    prepareContent();
    applyBlockFormat();
    pendingPar_ = true;
}

void Parser::openCell()
{
    if (!table_) {
        const int columns = std::clamp(int(rowDef_.size()), 1, kMaxColumns);
        QTextTableFormat fmt;
        fmt.setCellPadding(std::clamp(rowGap_, 0, 1440) / kTwipsPerPixel);
        fmt.setCellSpacing(0);
        fmt.setBorderCollapse(true);
        fmt.setBorder(rowBorder_ ? std::max(1.0, borderWidth_ / kTwipsPerPixel) : 0);
        fmt.setBorderBrush(Qt::black);
        fmt.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        if (rowAlign_ == 2)
            fmt.setAlignment(Qt::AlignHCenter);
        else if (rowAlign_ == 1)
            fmt.setAlignment(Qt::AlignRight);
        if (int(rowDef_.size()) == columns) {
            QList<QTextLength> widths;
            int left = 0;
            bool valid = true;
            for (const CellDef& c : rowDef_) {
                if (c.right <= left)
                    valid = false;
                widths.append(QTextLength(QTextLength::FixedLength, (c.right - left) / kTwipsPerPixel));
                left = c.right;
            }
            if (valid)
                fmt.setColumnWidthConstraints(widths);
        }
        table_ = cur_.insertTable(1, columns, fmt);
        cellPos_ = cur_.position();
        row_ = 0;
        rowOpen_ = true;
        col_ = 0;
        vStart_.assign(columns, -1);
    } else if (!rowOpen_) {
        table_->appendRows(1);
        row_ = table_->rows() - 1;
        rowOpen_ = true;
        col_ = 0;
        tableWork_ += qsizetype(table_->rows()) * table_->columns();
        // The cells of the new row are empty, one position each, at the end of the table.
        cellPos_ = table_->lastPosition() - (table_->columns() - 1);
    }
    pendingPar_ = false;
    if (col_ < table_->columns()) {
        // Cells follow one another: looking them up would rebuild the table's cell index
        // after every change and make big tables quadratic.
        cur_.setPosition(cellPos_);
    } else if (table_->columns() < kMaxColumns) {
        tableWork_ += qsizetype(table_->rows()) * table_->columns();
        table_->appendColumns(1);
        vStart_.resize(table_->columns(), -1);
        cur_ = table_->cellAt(row_, col_).firstCursorPosition();
    } else {
        // More cells than a table may have: the extra text joins the last cell.
        const QTextTableCell cell = table_->cellAt(row_, table_->columns() - 1);
        cur_ = cell.lastCursorPosition();
        pendingPar_ = cell.firstPosition() != cell.lastPosition();
    }
    cellOpen_ = true;
    if (tableWork_ > kMaxTableWork)
        tablesOff_ = true;
}

void Parser::endCell()
{
    flushRun();
    if (tablesOff_) {
        appendChar(u'\t');
        return;
    }
    if (!cellOpen_) {
        const bool in = st_.para.inTable;
        st_.para.inTable = true;
        prepareContent();
        st_.para.inTable = in;
    }
    applyBlockFormat();
    pendingPar_ = false;
    cellOpen_ = false;
    ++col_;
    cellPos_ = cur_.position() + 1;
}

void Parser::endRow()
{
    flushRun();
    if (tablesOff_) {
        endParagraph();
        return;
    }
    if (!table_ || !rowOpen_)
        return;  // a row without cells adds nothing
    // Merged cells as the row definition describes them.
    const int n = std::min<int>(int(rowDef_.size()), table_->columns());
    for (int c = 0; c < n; ++c) {
        if (rowDef_[c].hFirst) {
            int span = 1;
            while (c + span < n && rowDef_[c + span].hNext)
                ++span;
            if (span > 1)
                table_->mergeCells(row_, c, 1, span);
        }
        if (rowDef_[c].vFirst) {
            vStart_[c] = row_;
        } else if (rowDef_[c].vNext && vStart_[c] >= 0) {
            table_->mergeCells(vStart_[c], c, row_ - vStart_[c] + 1, 1);
        } else {
            vStart_[c] = -1;
        }
    }
    rowOpen_ = false;
    cellOpen_ = false;
    col_ = 0;
}

void Parser::closeTable()
{
    table_ = nullptr;
    rowOpen_ = false;
    cellOpen_ = false;
    col_ = 0;
    cur_.movePosition(QTextCursor::End);
    pendingPar_ = false;
}

void Parser::endFontEntry()
{
    if (fontNumber_ < 0)
        return;
    flushBytes();
    Font f = fontEntry_;
    f.name = f.name.trimmed();
    if (f.name.endsWith(QLatin1Char(';')))
        f.name.chop(1);
    f.name = f.name.trimmed();
    fonts_.insert(fontNumber_, f);
    fontNumber_ = -1;
    fontEntry_ = Font();
}

void Parser::endPicture()
{
    Pict pict = std::move(pict_);
    pict_ = Pict();
    if (pict.data.isEmpty())
        return;
    if (pict.kind.isEmpty())
        pict.kind = "wmetafile8";
    // Display size: the goal size in twips, scaled; without it, bitmaps show at their own
    // size and metafiles at their extent in hundredths of a millimetre.
    auto size = [&](int goal, int extent, int scale) -> double {
        double px = 0;
        if (goal > 0)
            px = goal / kTwipsPerPixel;
        else if (extent > 0 && pict.kind != "pngblip" && pict.kind != "jpegblip")
            px = extent * 96.0 / 2540.0;
        if (scale > 0 && scale != 100)
            px = px * std::min(scale, 10000) / 100.0;
        return std::min(px, 5000.0);
    };
    const double w = size(pict.wGoal, pict.w, pict.scaleX);
    const double h = size(pict.hGoal, pict.h, pict.scaleY);
    if (st_.dest != Dest::Text)
        return;
    flushRun();
    prepareContent();
    addPicture(cur_, pict.data, pict.kind, w, h, pict.w, pict.h);
}

void Parser::handleWord(std::string_view word, bool hasParam, int param)
{
    const bool star = star_;
    star_ = false;
    const auto& map = keywords();
    const auto it = map.find(word);
    if (it == map.end()) {
        if (star) {
            skipGroup();
        } else if (word.size() > 4 && word.substr(0, 4) == "brdr" && borderContext_) {
            // A border style (\brdrs, \brdrdb, ...) of a cell or row border.
            if (word != "brdrcf" && word != "brdrsp")
                rowBorder_ = true;
        }
        return;
    }
    const Kw kw = it->second.kw;
    if (kw != Kw::U && kw != Kw::Bin && ucSkip_ > 0)
        ucSkip_ = 0;
    if (kw != Kw::U)
        flushBytes();
    const bool on = !hasParam || param != 0;
    CharProps& ch = st_.ch;
    ParaProps& pp = st_.para;
    const bool assoc = st_.run == RunType::Dbch && !st_.rtl;
    switch (kw) {
    case Kw::Skip:
        skipGroup();
        break;
    case Kw::Rtf:
        break;
    case Kw::Ansi:
        break;
    case Kw::Mac:
        ansiCpg_ = 10000;
        break;
    case Kw::Pc:
        ansiCpg_ = 437;
        break;
    case Kw::Pca:
        ansiCpg_ = 850;
        break;
    case Kw::AnsiCpg:
        if (param > 0 && param < 100000)
            ansiCpg_ = param;
        break;
    case Kw::Deff:
        deff_ = param;
        ch.font = param;
        break;
    case Kw::FontTable:
        st_.dest = Dest::FontTable;
        fontTableDepth_ = depth_;
        break;
    case Kw::ColorTable:
        st_.dest = Dest::ColorTable;
        colors_.clear();
        break;
    case Kw::F:
        if (st_.dest == Dest::FontTable) {
            endFontEntry();
            fontNumber_ = param;
        } else {
            ch.font = param;
            if (st_.run == RunType::Dbch)
                ch.cjkFont = param;
        }
        break;
    case Kw::FCharset:
        if (st_.dest == Dest::FontTable)
            fontEntry_.charset = param;
        break;
    case Kw::Cpg:
        if (st_.dest == Dest::FontTable)
            fontEntry_.cpg = param;
        break;
    case Kw::Red:
        red_ = std::clamp(param, 0, 255);
        colorSet_ = true;
        break;
    case Kw::Green:
        green_ = std::clamp(param, 0, 255);
        colorSet_ = true;
        break;
    case Kw::Blue:
        blue_ = std::clamp(param, 0, 255);
        colorSet_ = true;
        break;
    case Kw::Plain:
        ch = CharProps();
        ch.font = deff_;
        st_.run = RunType::Loch;
        break;
    case Kw::B:
        ch.b = on;
        break;
    case Kw::I:
        ch.i = on;
        break;
    case Kw::Ab:
        if (assoc)
            ch.b = on;
        break;
    case Kw::Ai:
        if (assoc)
            ch.i = on;
        break;
    case Kw::Ul:
        ch.ul = on ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline;
        break;
    case Kw::UlDot:
        ch.ul = on ? QTextCharFormat::DotLine : QTextCharFormat::NoUnderline;
        break;
    case Kw::UlDash:
        ch.ul = on ? QTextCharFormat::DashUnderline : QTextCharFormat::NoUnderline;
        break;
    case Kw::UlDashDot:
        ch.ul = on ? QTextCharFormat::DashDotLine : QTextCharFormat::NoUnderline;
        break;
    case Kw::UlDashDotDot:
        ch.ul = on ? QTextCharFormat::DashDotDotLine : QTextCharFormat::NoUnderline;
        break;
    case Kw::UlWave:
        ch.ul = on ? QTextCharFormat::WaveUnderline : QTextCharFormat::NoUnderline;
        break;
    case Kw::UlNone:
        ch.ul = QTextCharFormat::NoUnderline;
        break;
    case Kw::Strike:
        ch.strike = on;
        break;
    case Kw::Super:
        ch.vert = 1;
        break;
    case Kw::Sub:
        ch.vert = 2;
        break;
    case Kw::NoSuperSub:
        ch.vert = 0;
        break;
    case Kw::Up:
        ch.vert = (!hasParam || param > 0) ? 1 : 0;
        break;
    case Kw::Dn:
        ch.vert = (!hasParam || param > 0) ? 2 : 0;
        break;
    case Kw::Fs:
        ch.fs = hasParam ? std::clamp(param, 2, 3276) : 24;
        break;
    case Kw::Afs:
        if (assoc)
            ch.fs = hasParam ? std::clamp(param, 2, 3276) : 24;
        break;
    case Kw::Cf:
        ch.fg = std::max(param, 0);
        break;
    case Kw::Highlight:
        ch.bg = std::max(param, 0);
        break;
    case Kw::V:
        ch.hidden = on;
        break;
    case Kw::Loch:
        st_.run = RunType::Loch;
        break;
    case Kw::Hich:
        st_.run = RunType::Hich;
        break;
    case Kw::Dbch:
        st_.run = RunType::Dbch;
        break;
    case Kw::Rtlch:
        st_.rtl = true;
        break;
    case Kw::Ltrch:
        st_.rtl = false;
        break;
    case Kw::Af:
        if (assoc)
            ch.cjkFont = param;
        break;
    case Kw::Uc:
        st_.uc = uint8_t(std::clamp(param, 0, 16));
        break;
    case Kw::U: {
        flushBytes();
        if (!hasParam || param == 0)
            break;
        char16_t c = char16_t(param < 0 ? param + 65536 : param);
        const Font* f = font(st_.run == RunType::Dbch && ch.cjkFont >= 0 ? ch.cjkFont : ch.font);
        if (f && f->charset == 2 && c >= 0xF020 && c <= 0xF0FF)
            c = symbolChar(uint8_t(c - 0xF000));
        appendChar(c);
        ucSkip_ = st_.uc;
        break;
    }
    case Kw::Pard:
        pp = ParaProps();
        break;
    case Kw::Par:
        if (st_.dest == Dest::Text)
            endParagraph();
        break;
    case Kw::Line:
        appendChar(QChar::LineSeparator);
        break;
    case Kw::Tab:
        appendChar(u'\t');
        break;
    case Kw::Page:
        if (st_.dest == Dest::Text) {
            endParagraph();
            pageBreakNext_ = true;
        }
        break;
    case Kw::Ql:
        pp.align = 0;
        break;
    case Kw::Qr:
        pp.align = 1;
        break;
    case Kw::Qc:
        pp.align = 2;
        break;
    case Kw::Qj:
        pp.align = 3;
        break;
    case Kw::Li:
        pp.li = std::clamp(param, -31680, 31680);
        break;
    case Kw::Ri:
        pp.ri = std::clamp(param, -31680, 31680);
        break;
    case Kw::Fi:
        pp.fi = std::clamp(param, -31680, 31680);
        break;
    case Kw::Sb:
        pp.sb = std::clamp(param, 0, 31680);
        break;
    case Kw::Sa:
        pp.sa = std::clamp(param, 0, 31680);
        break;
    case Kw::Sl:
        pp.sl = std::clamp(param, -31680, 31680);
        if (!hasParam || param == 1000)  // \sl1000 and bare \sl mean single spacing
            pp.sl = 0;
        break;
    case Kw::SlMult:
        pp.slmult = on;
        break;
    case Kw::InTbl:
        pp.inTable = true;
        break;
    case Kw::PageBb:
        pageBreakNext_ = true;
        break;
    case Kw::Trowd:
        rowDef_.clear();
        cellDef_ = CellDef();
        borderContext_ = false;
        rowBorder_ = false;
        borderWidth_ = 0;
        rowAlign_ = 0;
        break;
    case Kw::Cellx:
        if (rowDef_.size() < size_t(kMaxColumns)) {
            cellDef_.right = std::clamp(param, 0, 31680 * 4);
            rowDef_.push_back(cellDef_);
        }
        cellDef_ = CellDef();
        borderContext_ = false;
        break;
    case Kw::Cell:
        endCell();
        break;
    case Kw::Row:
        endRow();
        break;
    case Kw::NestCell:
        appendChar(u'\t');
        break;
    case Kw::NestRow:
        appendChar(QChar::LineSeparator);
        break;
    case Kw::ClMgf:
        cellDef_.hFirst = true;
        break;
    case Kw::ClMrg:
        cellDef_.hNext = true;
        break;
    case Kw::ClVmgf:
        cellDef_.vFirst = true;
        break;
    case Kw::ClVmrg:
        cellDef_.vNext = true;
        break;
    case Kw::CellBorder:
        borderContext_ = true;
        break;
    case Kw::ParaBorder:
    case Kw::BrdrNone:
        borderContext_ = false;
        break;
    case Kw::BrdrW:
        if (borderContext_)
            borderWidth_ = std::max(borderWidth_, std::clamp(param, 0, 150));
        break;
    case Kw::TrQc:
        rowAlign_ = 2;
        break;
    case Kw::TrQr:
        rowAlign_ = 1;
        break;
    case Kw::TrQl:
        rowAlign_ = 0;
        break;
    case Kw::TrGaph:
        rowGap_ = param;
        break;
    case Kw::Pict:
        flushRun();
        st_.dest = Dest::Pict;
        pict_ = Pict();
        break;
    case Kw::PictKind:
        if (st_.dest == Dest::Pict) {
            pict_.kind = QByteArray(word.data(), qsizetype(word.size()));
            if (hasParam)
                pict_.kind += QByteArray::number(param);
        }
        break;
    case Kw::PicW:
        pict_.w = std::clamp(param, 0, 1000000);
        break;
    case Kw::PicH:
        pict_.h = std::clamp(param, 0, 1000000);
        break;
    case Kw::PicWGoal:
        pict_.wGoal = std::clamp(param, 0, 1000000);
        break;
    case Kw::PicHGoal:
        pict_.hGoal = std::clamp(param, 0, 1000000);
        break;
    case Kw::PicScaleX:
        pict_.scaleX = param;
        break;
    case Kw::PicScaleY:
        pict_.scaleY = param;
        break;
    case Kw::Bin: {
        const qsizetype n = std::min<qsizetype>(std::max(param, 0), end_ - p_);
        if (st_.dest == Dest::Pict)
            pict_.data.append(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        break;
    }
    case Kw::Symbol:
        appendChar(it->second.ch);
        break;
    case Kw::ShpPict:
    case Kw::TextDest:
        break;
    case Kw::Upr:
        st_.dest = Dest::Upr;
        break;
    case Kw::Ud:
        if (st_.dest == Dest::Upr)
            st_.dest = Dest::Text;
        break;
    }
}

void readPlainText(QByteArrayView bytes, QTextDocument* doc)
{
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        text = QString::fromUtf8(bytes.sliced(3));
    else if (bytes.startsWith("\xFF\xFE"))
        text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    else
        text = gbkDecode(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QChar(0), QChar(0xFFFD));
    QTextCursor cursor(doc);
    cursor.insertText(text);
}

bool looksLikeRtf(QByteArrayView bytes)
{
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    const QByteArrayView rest = bytes.sliced(i);
    return rest.startsWith("{\\rtf") || rest.startsWith("{\\urtf");
}

}  // namespace

void RtfReader::read(QByteArrayView rtf, QTextDocument* doc)
{
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->clear();
    if (looksLikeRtf(rtf)) {
        Parser parser(rtf, doc);
        parser.run();
    } else {
        readPlainText(rtf, doc);
    }
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
}

}  // namespace qm
