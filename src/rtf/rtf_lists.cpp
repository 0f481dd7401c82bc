// The labels of list items: the list table's definitions (\listtable, \listoverridetable)
// and the numbers counted through a document, made into the label a word processor shows
// before each item of a list (\lsN, \ilvlN); and the handlers of the list keywords.

#include "rtf/rtf_parser.h"

namespace qm::rtf {

namespace {

// Where a label's text holds the number of level n, and a byte b of its text (decoded in
// the level's font when the level ends).
constexpr char16_t kPlace = 0xF700;
constexpr char16_t kByte = 0xF800;

QString roman(int n, bool upper)
{
    if (n <= 0 || n >= 4000)
        return QString::number(n);
    static const struct {
        int value;
        const char* digits;
    } table[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
                 {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    QString out;
    for (const auto& t : table)
        for (; n >= t.value; n -= t.value)
            out += QLatin1String(t.digits);
    return upper ? out.toUpper() : out;
}

// a, b, … z, aa, bb, … as word processors count in letters.
QString letters(int n, bool upper)
{
    if (n <= 0)
        return QString::number(n);
    const QChar c = QChar((upper ? 'A' : 'a') + (n - 1) % 26);
    return QString((n - 1) / 26 + 1, c);
}

// 一, 二, … 十, 十一, … 九十九 (Chinese counting).
QString chinese(int n)
{
    static const char16_t digits[] = u"〇一二三四五六七八九";
    if (n < 0 || n >= 100)
        return QString::number(n);
    if (n < 10)
        return QString(QChar(digits[n]));
    QString out;
    if (n >= 20)
        out += QChar(digits[n / 10]);
    out += QChar(u'十');
    if (n % 10)
        out += QChar(digits[n % 10]);
    return out;
}

QString number(int n, int format)
{
    switch (format) {
    case 1: return roman(n, true);
    case 2: return roman(n, false);
    case 3: return letters(n, true);
    case 4: return letters(n, false);
    case 10:
    case 11:
    case 33:
    case 35:
    case 37:
    case 39: return chinese(n);
    case 14: {  // full-width digits
        QString s = QString::number(n);
        for (QChar& c : s)
            c = QChar(c.unicode() - '0' + 0xFF10);
        return s;
    }
    case 18: return n >= 1 && n <= 20 ? QString(QChar(0x2460 + n - 1)) : QString::number(n);  // ①
    case 22: return n < 10 ? QStringLiteral("0") + QString::number(n) : QString::number(n);
    case 23:
    case 255: return {};
    default: return QString::number(n);
    }
}

}  // namespace

void Parser::addLevelText(QStringView text)
{
    if (!levelTextEnded_)
        level_.text += text;
}

// A level ends with its group: its font (set after its text) is known now. The text
// starts with the label's length.
void Parser::endListLevel(const State& closing)
{
    ListLevel level = level_;
    level.font = closing.ch.font != levelStartFont_ ? closing.ch.font : -1;
    QString text = level.text;
    int length = -1;  // in characters: a Chinese character is one, its two bytes
    if (!text.isEmpty() && text[0].unicode() >= kPlace && text[0].unicode() < kPlace + 0x20) {
        length = text[0].unicode() - kPlace;
        text.remove(0, 1);
    }
    const QString decoded = decodeLabelBytes(text, level.font);
    level.text = length >= 0 ? decoded.left(length) : decoded;
    if (pendingList_.levels.size() < 9)
        pendingList_.levels.push_back(level);
    level_ = ListLevel();
}

// Label text whose bytes (U+F800 + b) are decoded in the font `fontNumber` names: bullets
// of symbol fonts are their pictograms (Symbol's 0xB7 is •), other text is in the font's
// code page or the document's; so are \uN of a symbol font.
QString Parser::decodeLabelBytes(const QString& text, int fontNumber)
{
    const Font* f = font(fontNumber);
    const SymbolFont symbols = f ? f->symbol : SymbolFont::None;
    int cp = docCodepage_;
    if (f && f->cpg > 0)
        cp = f->cpg;
    else if (f && charsetCodepage(f->charset))
        cp = charsetCodepage(f->charset);
    QString decoded;
    QByteArray run;
    auto flush = [&] {
        if (!run.isEmpty())
            decoded += symbols != SymbolFont::None ? Decoder::decodeSymbols(run, symbols)
                                                   : decoder_.decode(run, cp, !charsetDeclared_);
        run.clear();
    };
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= kByte && u <= kByte + 0xFF) {
            run.append(char(u - kByte));
            continue;
        }
        flush();
        if (symbols != SymbolFont::None && u >= 0xF020 && u <= 0xF0FF) {
            const char32_t m = symbolChar(symbols, uint8_t(u & 0xFF));
            if (m)
                decoded += QString::fromUcs4(&m, 1);
        } else {
            decoded += c;
        }
    }
    flush();
    return decoded;
}

void Parser::endPn()
{
    pn_.before = decodeLabelBytes(pn_.before, pn_.font);
    pn_.after = decodeLabelBytes(pn_.after, pn_.font);
    st_.para.pn = true;
}

QString Parser::pnLabel() const
{
    if (pn_.none)
        return {};
    QString label = pn_.before;
    if (!pn_.bullet)
        label += number(lastParaNumbered_ ? pnCount_ + 1 : pn_.start, pn_.format) + pn_.after;
    return label.isEmpty() ? label : label + QLatin1Char('\t');
}

// The label of the paragraph's list item, counting it.
QString Parser::listLabel()
{
    const auto id = listOverrides_.constFind(st_.para.ls);
    if (id == listOverrides_.cend())
        return {};
    const auto def = lists_.constFind(*id);
    if (def == lists_.cend() || def->levels.empty())
        return {};
    const std::vector<ListLevel>& levels = def->levels;
    const int at = std::min(st_.para.ilvl, int(levels.size()) - 1);
    std::vector<int>& counts = listCounts_[st_.para.ls];
    counts.resize(levels.size(), INT_MIN);
    counts[size_t(at)] = counts[size_t(at)] == INT_MIN ? levels[size_t(at)].start : counts[size_t(at)] + 1;
    for (size_t deeper = size_t(at) + 1; deeper < counts.size(); ++deeper)
        counts[deeper] = INT_MIN;
    const ListLevel& level = levels[size_t(at)];
    if (level.format == 255 && !level.hasText)
        return {};
    QString label;
    for (const QChar c : level.text) {
        const char16_t u = c.unicode();
        if (u >= kPlace && u < kPlace + 9) {
            const size_t n = u - kPlace;
            if (n < levels.size()) {
                const int count = counts[n] == INT_MIN ? levels[n].start : counts[n];
                label += number(count, levels[n].format);
            }
        } else if (u < kPlace || u > kPlace + 0xFF) {
            label += c;
        }
    }
    if (label.isEmpty())
        return {};
    switch (level.follow) {
    case 1: label += QLatin1Char(' '); break;
    case 2: break;
    default: label += QLatin1Char('\t'); break;
    }
    return label;
}

// --- The keywords of lists (dispatched from the keyword table, rtf_keywords.cpp) ---

// The list table and the list override table: read for the labels of list items.
void Parser::onListTable(const Token&, int overrides)
{
    if (st_.hadContent)
        return;
    st_.dest = overrides ? Dest::ListOverrides : Dest::ListTable;
}

void Parser::onListWord(const Token& t, int)
{
    const std::string_view w = t.word;
    if (w == "ls" || w == "ilvl") {
        if (st_.dest == Dest::ListOverrides && w == "ls") {
            overrideLs_ = t.param;
            if (listId_)
                listOverrides_.insert(overrideLs_, listId_);
        } else if (st_.dest == Dest::Text || st_.dest == Dest::Upr) {
            (w == "ls" ? st_.para.ls : st_.para.ilvl) = std::clamp(t.param, 0, w == "ls" ? 100000 : 8);
        }
        return;
    }
    if (st_.dest == Dest::ListOverrides) {
        if (w == "listoverride") {
            listId_ = 0;
            overrideLs_ = 0;
        } else if (w == "listid") {
            listId_ = t.param;
            if (overrideLs_)
                listOverrides_.insert(overrideLs_, listId_);
        }
        return;
    }
    if (st_.dest == Dest::ListTable) {
        if (w == "list") {
            listId_ = 0;
            pendingList_ = ListDef();
        } else if (w == "listid") {
            listId_ = t.param;
            lists_.insert(listId_, pendingList_);
        } else if (w == "listlevel") {
            st_.dest = Dest::ListLevel;
            level_ = ListLevel();
            levelStartFont_ = st_.ch.font;
        }
        return;
    }
    if (st_.dest == Dest::ListLevel) {
        if (w == "levelnfc" || w == "levelnfcn")
            level_.format = t.param;
        else if (w == "levelstartat")
            level_.start = t.param;
        else if (w == "levelfollow")
            level_.follow = t.param;
        return;
    }
    // A list definition outside the tables is not text.
    if ((w == "list" || w == "listlevel" || w == "listoverride") && !st_.hadContent)
        tok_.skipGroup();
}

// \leveltext: the label of a level. \listtext: the label a writer put before an item,
// which readers that know the list table (as LibreOffice) do not show: the label is made
// from the list's definition.
void Parser::onListText(const Token&, int item)
{
    if (item) {
        // Some writers put it before the paragraph's \ls: a document with lists of its own
        // has its labels made, never read.
        if (!listOverrides_.isEmpty() && !lists_.isEmpty())
            tok_.skipGroup();
        return;
    }
    if (st_.dest != Dest::ListLevel) {
        if (!st_.hadContent)
            tok_.skipGroup();
        return;
    }
    st_.dest = Dest::LevelText;
    levelTextEnded_ = false;
    level_.text.clear();
    level_.hasText = true;
}

// \pn: the numbering of the paragraph (Word 95, WordPad). Its label is \pntext when the
// writer put one before it; a paragraph without gets the label \pn describes.
void Parser::onPn(const Token&, int)
{
    if (st_.hadContent || st_.dest != Dest::Text) {
        tok_.skipGroup();
        return;
    }
    st_.dest = Dest::Pn;
    pn_ = PnDef();
}

void Parser::onPnWord(const Token& t, int)
{
    const std::string_view w = t.word;
    if (w == "pntext") {
        pntextSeen_ = true;
        return;
    }
    if (st_.dest != Dest::Pn)
        return;
    if (w == "pnlvlblt")
        pn_.bullet = true;
    else if (w == "pnlvlcont")
        pn_.none = true;
    else if (w == "pnstart")
        pn_.start = t.param;
    else if (w == "pnf")
        pn_.font = t.param;
    else if (w == "pnucltr")
        pn_.format = 3;
    else if (w == "pnlcltr")
        pn_.format = 4;
    else if (w == "pnucrm")
        pn_.format = 1;
    else if (w == "pnlcrm")
        pn_.format = 2;
    else if (w == "pndec" || w == "pncard" || w == "pnord" || w == "pnordt")
        pn_.format = 0;
}

void Parser::onPnText(const Token&, int after)
{
    if (st_.dest != Dest::Pn)
        return;
    st_.dest = after ? Dest::PnAfter : Dest::PnBefore;
}

}  // namespace qm::rtf
