#include "rtf/rtf_parser.h"

#include "rtf/rich_text.h"

#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>

#include <climits>

namespace qm::rtf {

namespace {

// Groups nested deeper than this share the state of the deepest one kept.
constexpr int kMaxDepth = 1000;

// Characters that never go into the document: control characters other than the tab
// (line and paragraph ends are structure, not text), the markers Qt keeps its frames
// with, the object character pictures stand on, and the noncharacters.
inline bool isForbidden(char16_t c)
{
    if (c < 0x20)
        return c != u'\t';
    return c >= 0xFDD0 && (c <= 0xFDEF || c == 0xFFFC || c >= 0xFFFE);
}

// Characters word processors show in the font of East Asian text whatever the run:
// ideographs, kana, hangul and their punctuation, and the full-width forms.
inline bool isEastAsian(char16_t c)
{
    return (c >= 0x2E80 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F)
           || (c >= 0xFF00 && c <= 0xFFEF);
}

}  // namespace

size_t CharPropsHash::operator()(const CharProps& c) const noexcept
{
    size_t h = size_t(c.font) * 1000003u ^ size_t(c.cjkFont) * 10007u ^ size_t(c.fs) * 131u;
    h ^= size_t(c.fg) << 20 ^ size_t(c.bg) << 28 ^ size_t(c.ul) << 3 ^ size_t(c.vert) << 6;
    return h ^ (c.b | c.i << 1 | c.strike << 2 | c.hidden << 3 | int(c.run) << 4);
}

Parser::Parser(QByteArrayView in, QTextDocument* doc)
    : in_(in), tok_(in), doc_(doc), cur_(doc), tables_(cur_, pendingPar_)
{
    decoder_.setDocument(in);
}

void Parser::run()
{
    // Build the whole document as one edit: the layout is updated once at the end.
    cur_.beginEditBlock();
    tok_.skipToGroup();
    bool groupStart = false;  // the last token opened a group
    bool star = false;        // \* right after "{": the next word names an optional destination
    while (!done_) {
        const Token t = tok_.next();
        const bool wasGroupStart = groupStart;
        const bool wasStar = star;
        groupStart = false;
        star = false;
        switch (t.kind) {
        case Token::End: done_ = true; break;
        case Token::GroupOpen:
            groupOpenAt_ = tok_.offset() - 1;
            pushGroup();
            groupStart = true;
            break;
        case Token::GroupClose: popGroup(); break;
        case Token::Word: handleWord(t, wasStar); break;
        case Token::Symbol:
            if (t.symbol == '*') {
                // Only right after "{" does \* mark a destination; elsewhere it means nothing.
                star = wasGroupStart;
                groupStart = wasGroupStart;
            } else {
                handleSymbol(t.symbol);
            }
            break;
        case Token::Bytes: handleBytes(t.bytes); break;
        case Token::Text: handleText(t.text); break;
        }
    }
    // A file that ends inside groups closes them all.
    while (!stack_.empty())
        popGroup();
    flushBytes();
    flushRun();
    tables_.enter(0);
    // A page break after the last paragraph begins a page that only the document's final
    // paragraph mark stands on: an empty paragraph keeps it, as a word processor shows it.
    if (pendingPar_ && pageBreakNext_) {
        cur_.insertBlock();
        pendingPar_ = false;
    }
    if (!pendingPar_)
        applyBlockFormat();
    cur_.endEditBlock();
}

void Parser::pushGroup()
{
    flushBytes();
    ucSkip_ = 0;
    ++depth_;
    if (stack_.size() >= size_t(kMaxDepth)) {
        ++overflow_;
        return;
    }
    stack_.push_back(st_);
    st_.hadContent = false;
}

void Parser::popGroup()
{
    flushBytes();
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
    const State closingState = st_;
    st_ = stack_.back();
    stack_.pop_back();
    // A font entry ends with its group (or with the table).
    if (closing == Dest::FontTable && (st_.dest != Dest::FontTable || depth_ == fontTableDepth_))
        endFontEntry();
    if (closing == Dest::Pict && st_.dest != Dest::Pict)
        endPicture(st_.dest);
    if (closing == Dest::ListLevel && st_.dest == Dest::ListTable)
        endListLevel(closingState);
    if (closing == Dest::Pn && st_.dest == Dest::Text)
        endPn();
    while (!fields_.empty() && depth_ < fields_.back().depth)
        endField();
    if (objectDepth_ >= 0 && depth_ < objectDepth_) {
        objectDepth_ = -1;
        objectStart_ = -1;
        objectHead_.clear();
    }
    if (stack_.empty())
        done_ = true;  // the closing brace of the document
}

void Parser::handleWord(const Token& t, bool star)
{
    const auto& table = keywordTable();
    const auto it = table.find(t.word);
    if (it == table.end()) {
        if (star) {
            tok_.skipGroup();  // an optional destination this reader does not know
        } else if (t.word.size() > 4 && t.word.substr(0, 4) == "brdr") {
            // A border style (\brdrs, \brdrdb, ...) of the cell or row border being defined.
            RowDef& def = tables_.def(rowDefLevel());
            if (def.borderContext && t.word != "brdrcf" && t.word != "brdrsp")
                def.border = true;
        }
        // Any other unknown word is passed over: it never ends a group nor drops text.
        return;
    }
    const Keyword& kw = it->second;
    if (kw.handler != &Parser::onUnicode && kw.handler != &Parser::onBinary)
        ucSkip_ = 0;
    if (kw.handler != &Parser::onUnicode)
        flushBytes();
    (this->*kw.handler)(t, kw.arg);
}

void Parser::handleSymbol(uint8_t c)
{
    if (ucSkip_ > 0 && (c == '\\' || c == '{' || c == '}')) {
        --ucSkip_;
        return;
    }
    switch (c) {
    case '\\':
    case '{':
    case '}': {
        const char ch = char(c);
        handleBytes(std::string_view(&ch, 1));
        break;
    }
    case '~': appendChar(0x00A0); break;
    case '_': appendChar(0x2011); break;
    case '\r':
    case '\n':
        flushBytes();
        if (st_.dest == Dest::Text)
            endParagraph();
        break;
    case '\t': appendChar(u'\t'); break;
    default:  // \- optional hyphen, \: index entries, \| formula character
        break;
    }
}

void Parser::handleBytes(std::string_view bytes)
{
    const size_t skip = std::min<size_t>(size_t(ucSkip_), bytes.size());
    ucSkip_ -= int(skip);
    bytes.remove_prefix(skip);
    switch (st_.dest) {
    case Dest::Pict:
    case Dest::ColorTable:
    case Dest::ShapeInst:
    case Dest::ShapePict:
    case Dest::ListTable:
    case Dest::ListLevel:
    case Dest::ListOverrides:
    case Dest::Pn: return;
    case Dest::PnBefore:
    case Dest::PnAfter:
        for (const char b : bytes)
            (st_.dest == Dest::PnBefore ? pn_.before : pn_.after) += QChar(0xF800 + uint8_t(b));
        return;
    case Dest::LevelText:
        // Bytes below 0x20 are the label's length and its numbers' places; the others are
        // kept as bytes until the level's font is known.
        for (const char b : bytes)
            addLevelText(QString(QChar((uint8_t(b) < 0x20 ? 0xF700 : 0xF800) + uint8_t(b))));
        return;
    default: bytes_.append(bytes.data(), qsizetype(bytes.size()));
    }
}

void Parser::handleText(std::string_view text)
{
    switch (st_.dest) {
    case Dest::Pict: pict_.addHex(text); return;
    case Dest::ColorTable:
        for (const char c : text) {
            if (c == ';') {
                colors_.push_back(colorSet_ ? QColor(red_, green_, blue_) : QColor());
                red_ = green_ = blue_ = 0;
                colorSet_ = false;
            }
        }
        return;
    case Dest::ShapeInst:
    case Dest::ShapePict:
    case Dest::ListTable:
    case Dest::ListLevel:
    case Dest::ListOverrides:
    case Dest::Pn: return;
    case Dest::PnBefore:
    case Dest::PnAfter:
        for (const char c : text)
            (st_.dest == Dest::PnBefore ? pn_.before : pn_.after) += QChar(0xF800 + uint8_t(c));
        return;
    case Dest::LevelText: {
        // The label ends with ";".
        const size_t end = std::min(text.find(';'), text.size());
        for (size_t i = 0; i < end; ++i)
            addLevelText(QString(QChar(0xF800 + uint8_t(text[i]))));
        if (end < text.size())
            levelTextEnded_ = true;
        return;
    }
    case Dest::FontTable:
        for (const char c : text) {
            if (ucSkip_ > 0) {
                --ucSkip_;
            } else if (c == ';') {
                flushBytes();
                endFontEntry();
            } else {
                bytes_.append(c);
            }
        }
        return;
    default: break;
    }
    size_t start = std::min<size_t>(size_t(ucSkip_), text.size());
    ucSkip_ -= int(start);
    for (size_t i = start; i < text.size(); ++i) {
        if (text[i] == '\t') {
            bytes_.append(text.data() + start, qsizetype(i - start));
            appendChar(u'\t');
            start = i + 1;
        }
    }
    if (start < text.size())
        bytes_.append(text.data() + start, qsizetype(text.size() - start));
}

const Font* Parser::font(int number) const
{
    const auto it = fonts_.constFind(number);
    return it == fonts_.cend() ? nullptr : &it.value();
}

// The font whose code page the text now read is in: the double-byte font for
// double-byte text, otherwise the current font.
const Font* Parser::currentFont() const
{
    const CharProps& ch = st_.ch;
    if (ch.run == RunType::Dbch && ch.cjkFont >= 0)
        return font(ch.cjkFont);
    return font(ch.font >= 0 ? ch.font : deff_);
}

// The code page of the bytes now read; negative for a symbol font, 0 when neither the
// font nor the document declares one.
int Parser::codepage() const
{
    const Font* f = st_.dest == Dest::FontTable ? &fontEntry_ : currentFont();
    if (f) {
        if (f->symbol != SymbolFont::None)
            return -int(f->symbol);
        if (f->cpg > 0)
            return f->cpg;
        if (const int cp = charsetCodepage(f->charset))
            return cp;
    }
    return docCodepage_;
}

void Parser::flushBytes()
{
    if (bytes_.isEmpty())
        return;
    const int cp = codepage();
    const QString text =
        cp < 0 ? Decoder::decodeSymbols(bytes_, SymbolFont(-cp)) : decoder_.decode(bytes_, cp, !charsetDeclared_);
    bytes_.clear();
    appendText(text);
}

void Parser::appendChar(char32_t c)
{
    flushBytes();
    const QString s = QString::fromUcs4(&c, 1);
    appendText(s);
}

void Parser::appendText(QStringView s)
{
    if (s.isEmpty())
        return;
    QString clean;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (isForbidden(s[i].unicode())) {
            clean.reserve(s.size());
            for (const QChar c : s)
                if (!isForbidden(c.unicode()))
                    clean += c;
            s = clean;
            break;
        }
    }
    switch (st_.dest) {
    case Dest::Text: break;
    case Dest::FontTable: fontEntry_.name += s; return;
    case Dest::FieldInst:
        if (!fields_.empty())
            fields_.back().instruction += s;
        return;
    case Dest::ShapeName: shapeProperty_ += s; return;
    case Dest::LevelText: addLevelText(s); return;
    case Dest::PnBefore: pn_.before += s; return;
    case Dest::PnAfter: pn_.after += s; return;
    default: return;
    }
    st_.hadContent = true;
    if (st_.ch.hidden || s.isEmpty())
        return;
    if (!fields_.empty())
        fields_.back().hasResult = true;
    if (!(st_.ch == runProps_)) {
        flushRun();
        runProps_ = st_.ch;
    }
    run_ += s;
}

const QTextCharFormat& Parser::charFormat(const CharProps& props)
{
    // Properties that give the same format share one key: a colour or font number the
    // tables do not hold is none, so that a document cannot grow the cache with numbers.
    CharProps key = props;
    key.run = RunType::Loch;
    key.cjkFont = -1;
    const auto validColor = [this](int index) {
        return index >= 0 && size_t(index) < colors_.size() && colors_[size_t(index)].isValid();
    };
    if (!validColor(key.fg))
        key.fg = -1;  // the automatic colour
    if (key.bg == 0 || !validColor(key.bg))
        key.bg = 0;
    const Font* f = font(key.font >= 0 ? key.font : deff_);
    key.font = f ? (key.font >= 0 ? key.font : deff_) : INT_MIN;
    const auto it = formats_.find(key);
    if (it != formats_.end())
        return it->second;
    QTextCharFormat fmt;
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
        fmt.setVerticalAlignment(props.vert == 1 ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignSubScript);
    if (key.fg >= 0)
        fmt.setForeground(colors_[size_t(key.fg)]);
    if (key.bg)
        fmt.setBackground(colors_[size_t(key.bg)]);
    return formats_.emplace(key, fmt).first->second;
}

void Parser::flushRun()
{
    if (run_.isEmpty())
        return;
    prepareContent();
    // The format depends on the font alone, not on the kind of text it was read as.
    CharProps props = runProps_;
    props.run = RunType::Loch;
    props.cjkFont = -1;
    const Font* latin = font(props.font >= 0 ? props.font : deff_);
    const Font* cjk = runProps_.cjkFont >= 0 ? font(runProps_.cjkFont) : nullptr;
    if (cjk && (!latin || latin->name != cjk->name)) {
        // As word processors do: ASCII takes the ordinary font, East Asian characters the
        // double-byte one; the others (quotes, dashes, ellipses, circled numbers, Greek)
        // the font of the kind of text they were read as, so that punctuation in a
        // double-byte run shows in the Chinese font.
        CharProps cjkProps = props;
        cjkProps.font = runProps_.cjkFont;
        const bool dbch = runProps_.run == RunType::Dbch;
        auto isCjk = [dbch](char16_t c) { return c >= 0x80 && (dbch || isEastAsian(c)); };
        qsizetype start = 0;
        bool startCjk = isCjk(run_[0].unicode());
        for (qsizetype i = 1; i <= run_.size(); ++i) {
            const bool cjkHere = i < run_.size() && isCjk(run_[i].unicode());
            if (i == run_.size() || cjkHere != startCjk) {
                cur_.insertText(run_.mid(start, i - start), charFormat(startCjk ? cjkProps : props));
                start = i;
                startCjk = cjkHere;
            }
        }
    } else {
        cur_.insertText(run_, charFormat(props));
    }
    run_.clear();
}

// Called before anything goes into the document: leaves the tables the text is not part
// of, enters the table cell it is part of, and starts the block a \par asked for.
void Parser::prepareContent()
{
    // A paragraph goes at most one table deeper than the tables open: a nesting level
    // beyond that is taken as a slip of the writer.
    const int level = std::min(st_.para.itap, tables_.depth() + 1);
    tables_.enter(level);
    if (pendingPar_) {
        cur_.insertBlock();
        pendingPar_ = false;
    }
    if (!labelDone_) {
        labelDone_ = true;
        paraStart_ = cur_.position();
        paraLevel_ = level;
        if ((st_.para.ls > 0 || (st_.para.pn && !pntextSeen_)) && st_.dest == Dest::Text) {
            const QString label = st_.para.ls > 0 ? listLabel() : pnLabel();
            if (!label.isEmpty()) {
                CharProps props = st_.ch;
                props.hidden = false;
                cur_.insertText(label, charFormat(props));
            }
        }
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
        props.run = RunType::Loch;
        props.cjkFont = -1;
        cur_.setBlockCharFormat(charFormat(props));
    }
}

void Parser::endParagraph()
{
    flushRun();
    prepareContent();
    applyBlockFormat();
    pendingPar_ = true;
    labelDone_ = false;
    // Word 95's numbers count on through the paragraphs that have them.
    const bool numbered = st_.para.pn && !pn_.bullet && !pn_.none && st_.para.ls == 0;
    if (numbered)
        pnCount_ = lastParaNumbered_ ? pnCount_ + 1 : pn_.start;
    lastParaNumbered_ = numbered;
    pntextSeen_ = false;
    st_.hadContent = true;
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
    f.symbol = symbolFontOf(f.name);
    fonts_.insert(fontNumber_, f);
    fontNumber_ = -1;
    fontEntry_ = Font();
}

void Parser::endPicture(Dest into)
{
    std::optional<Picture> pict = pict_.take();
    // Pictures count where the text is, and as the picture of a shape; those in other
    // destinations (headers, fallbacks of shapes) do not.
    if (!pict || (into != Dest::Text && into != Dest::ShapePict))
        return;
    flushRun();
    prepareContent();
    addPicture(cur_, pict->bytes, pict->kind, pict->width, pict->height, pict->picw, pict->pich, objectHead_);
    objectHead_.clear();  // the object's first picture stands for it
    st_.hadContent = true;
}

// A field ends with its group. A SYMBOL field whose result holds nothing shows the
// character its instruction names.
void Parser::endField()
{
    const Field field = fields_.back();
    fields_.pop_back();
    if (field.hasResult)
        return;
    if (const char32_t c = symbolFieldChar(field.instruction)) {
        const Dest dest = st_.dest;
        st_.dest = Dest::Text;
        appendChar(c);
        st_.dest = dest;
    }
}

// The character of a "SYMBOL 176 \f "Symbol" \s 12" instruction (0 for other fields):
// the number is a byte of the named symbol font, a Unicode character with \u, a
// Shift-JIS character with \j, and otherwise a byte of the document's code page.
char32_t Parser::symbolFieldChar(const QString& instruction)
{
    const QStringList words = instruction.simplified().split(QLatin1Char(' '));
    if (words.size() < 2 || words[0].compare(QLatin1String("SYMBOL"), Qt::CaseInsensitive) != 0)
        return 0;
    bool ok = false;
    const QString& number = words[1];
    const uint n = number.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? number.mid(2).toUInt(&ok, 16)
                                                                               : number.toUInt(&ok, 10);
    if (!ok || n == 0 || n > 0x10FFFF)
        return 0;
    QString fontName;
    bool unicode = false;
    bool shiftJis = false;
    for (qsizetype i = 2; i < words.size(); ++i) {
        const QString& p = words[i];
        if (p.compare(QLatin1String("\\u"), Qt::CaseInsensitive) == 0) {
            unicode = true;
        } else if (p.compare(QLatin1String("\\j"), Qt::CaseInsensitive) == 0) {
            shiftJis = true;
        } else if (p.compare(QLatin1String("\\f"), Qt::CaseInsensitive) == 0 && i + 1 < words.size()) {
            // The font name, quoted or not, may hold spaces.
            fontName = words[++i];
            while (fontName.startsWith(QLatin1Char('"')) && !fontName.endsWith(QLatin1Char('"'))
                   && i + 1 < words.size())
                fontName += QLatin1Char(' ') + words[++i];
            fontName.remove(QLatin1Char('"'));
        }
    }
    if (unicode)
        return n;
    const SymbolFont symbols = symbolFontOf(fontName);
    if (symbols != SymbolFont::None) {
        const uint b = n >= 0xF020 && n <= 0xF0FF ? n - 0xF000 : n;
        return b < 0x100 ? symbolChar(symbols, uint8_t(b)) : 0;
    }
    QByteArray bytes;
    if (n > 0xFF)
        bytes = QByteArray(1, char(n >> 8)) + char(n & 0xFF);
    else
        bytes = QByteArray(1, char(n));
    if (n > 0xFF && !shiftJis)
        return n;
    const QString s = decoder_.decode(bytes, shiftJis ? 932 : docCodepage_);
    return s.size() == 1 ? s[0].unicode() : 0;
}

}  // namespace qm::rtf
