// The keyword table of the RTF reader and the handlers it dispatches to (those of lists: rtf_lists.cpp).

#include "rtf/rtf_parser.h"

#include <QTextCharFormat>

namespace qm::rtf {

namespace {

enum Toggle { Bold, Italic, Strike, Hidden, AssocBold, AssocItalic };
enum Vertical { NoSuperSub, Super, Sub, Up, Down };
enum Indent { Left, Right, First, Before, After, LineSpacing };
enum Merge { HFirst, HNext, VFirst, VNext };

}  // namespace

const std::unordered_map<std::string_view, Keyword>& keywordTable()
{
    static const std::unordered_map<std::string_view, Keyword> table = [] {
        using P = Parser;
        std::unordered_map<std::string_view, Keyword> m;
        auto add = [&m](std::initializer_list<const char*> names, Handler h, int arg = 0) {
            for (const char* n : names)
                m.emplace(n, Keyword{h, arg});
        };
        add({"rtf", "urtf", "ansi"}, &P::onNothing);
        add({"mac"}, &P::onDocCodepage, 10000);
        add({"pc"}, &P::onDocCodepage, 437);
        add({"pca"}, &P::onDocCodepage, 850);
        add({"ansicpg"}, &P::onDocCodepage, 0);
        add({"deff"}, &P::onDefaultFont);
        add({"fonttbl"}, &P::onDestination, int(Dest::FontTable));
        add({"colortbl"}, &P::onDestination, int(Dest::ColorTable));
        add({"f"}, &P::onFont);
        add({"fcharset"}, &P::onFontCharset, 0);
        add({"cpg"}, &P::onFontCharset, 1);
        add({"red"}, &P::onColorComponent, 0);
        add({"green"}, &P::onColorComponent, 1);
        add({"blue"}, &P::onColorComponent, 2);

        // Character formatting.
        add({"plain"}, &P::onPlain);
        add({"b"}, &P::onToggle, Bold);
        add({"i"}, &P::onToggle, Italic);
        add({"strike", "striked"}, &P::onToggle, Strike);
        add({"v"}, &P::onToggle, Hidden);
        add({"ab"}, &P::onToggle, AssocBold);
        add({"ai"}, &P::onToggle, AssocItalic);
        add({"ul", "ulw", "uldb", "ulth"}, &P::onUnderline, QTextCharFormat::SingleUnderline);
        add({"uld", "ulthd"}, &P::onUnderline, QTextCharFormat::DotLine);
        add({"uldash", "ulthdash", "ulldash", "ulthldash"}, &P::onUnderline, QTextCharFormat::DashUnderline);
        add({"uldashd", "ulthdashd"}, &P::onUnderline, QTextCharFormat::DashDotLine);
        add({"uldashdd", "ulthdashdd"}, &P::onUnderline, QTextCharFormat::DashDotDotLine);
        add({"ulwave", "ulhwave", "ululdbwave"}, &P::onUnderline, QTextCharFormat::WaveUnderline);
        add({"ulnone"}, &P::onUnderline, -1);
        add({"super"}, &P::onVertical, Super);
        add({"sub"}, &P::onVertical, Sub);
        add({"nosupersub"}, &P::onVertical, NoSuperSub);
        add({"up"}, &P::onVertical, Up);
        add({"dn"}, &P::onVertical, Down);
        add({"fs"}, &P::onFontSize, 0);
        add({"afs"}, &P::onFontSize, 1);
        add({"cf"}, &P::onColor, 0);
        add({"highlight", "cb", "chcbpat"}, &P::onColor, 1);
        add({"loch"}, &P::onRunType, int(RunType::Loch));
        add({"hich"}, &P::onRunType, int(RunType::Hich));
        add({"dbch"}, &P::onRunType, int(RunType::Dbch));
        add({"rtlch"}, &P::onDirection, 1);
        add({"ltrch"}, &P::onDirection, 0);
        add({"af"}, &P::onAssociatedFont);
        add({"uc"}, &P::onUnicodeSkip);
        add({"u"}, &P::onUnicode);
        add({"upr"}, &P::onDestination, int(Dest::Upr));
        add({"ud"}, &P::onUnicodeAlternative);

        // Paragraphs and special characters.
        add({"pard"}, &P::onParagraphDefaults);
        add({"par", "sect"}, &P::onParagraph, 0);
        add({"page"}, &P::onParagraph, 1);
        add({"line"}, &P::onChar, 0x2028);
        add({"tab"}, &P::onChar, '\t');
        add({"emdash"}, &P::onChar, 0x2014);
        add({"endash"}, &P::onChar, 0x2013);
        add({"bullet"}, &P::onChar, 0x2022);
        add({"lquote"}, &P::onChar, 0x2018);
        add({"rquote"}, &P::onChar, 0x2019);
        add({"ldblquote"}, &P::onChar, 0x201C);
        add({"rdblquote"}, &P::onChar, 0x201D);
        add({"emspace"}, &P::onChar, 0x2003);
        add({"enspace"}, &P::onChar, 0x2002);
        add({"qmspace"}, &P::onChar, 0x2005);
        add({"zwj"}, &P::onChar, 0x200D);
        add({"zwnj"}, &P::onChar, 0x200C);
        add({"zwbo"}, &P::onChar, 0x200B);
        add({"zwnbo"}, &P::onChar, 0xFEFF);
        add({"ltrmark"}, &P::onChar, 0x200E);
        add({"rtlmark"}, &P::onChar, 0x200F);
        add({"ql"}, &P::onAlign, 0);
        add({"qr"}, &P::onAlign, 1);
        add({"qc"}, &P::onAlign, 2);
        add({"qj", "qd"}, &P::onAlign, 3);
        add({"li"}, &P::onIndent, Left);
        add({"ri"}, &P::onIndent, Right);
        add({"fi"}, &P::onIndent, First);
        add({"sb"}, &P::onIndent, Before);
        add({"sa"}, &P::onIndent, After);
        add({"sl"}, &P::onIndent, LineSpacing);
        add({"slmult"}, &P::onLineSpacingMultiple);
        add({"pagebb"}, &P::onPageBreakBefore);

        // Tables.
        add({"intbl"}, &P::onInTable);
        add({"itap"}, &P::onNestingLevel);
        add({"trowd"}, &P::onRowDefaults);
        add({"cellx"}, &P::onCellEdge);
        add({"cell"}, &P::onCellEnd, 0);
        add({"nestcell"}, &P::onCellEnd, 1);
        add({"row"}, &P::onRowEnd, 0);
        add({"nestrow"}, &P::onRowEnd, 1);
        add({"nesttableprops"}, &P::onNestedRowProps);
        add({"clmgf"}, &P::onCellMerge, HFirst);
        add({"clmrg"}, &P::onCellMerge, HNext);
        add({"clvmgf"}, &P::onCellMerge, VFirst);
        add({"clvmrg"}, &P::onCellMerge, VNext);
        add({"clbrdrt", "clbrdrl", "clbrdrb", "clbrdrr", "trbrdrt", "trbrdrl", "trbrdrb", "trbrdrr", "trbrdrh",
             "trbrdrv"},
            &P::onBorder, 1);
        add({"brdrt", "brdrb", "brdrl", "brdrr", "box", "brdrnone", "brdrnil"}, &P::onBorder, 0);
        add({"brdrw"}, &P::onBorderWidth);
        add({"trql"}, &P::onRowAlign, 0);
        add({"trqr"}, &P::onRowAlign, 1);
        add({"trqc"}, &P::onRowAlign, 2);
        add({"trgaph"}, &P::onRowGap);

        // Pictures, fields, shapes.
        add({"pict"}, &P::onPicture);
        add({"pngblip", "jpegblip", "emfblip", "wmetafile", "dibitmap", "wbitmap", "macpict", "pmmetafile"},
            &P::onPictureKind);
        add({"picw"}, &P::onPictureSize, PictureReader::PicW);
        add({"pich"}, &P::onPictureSize, PictureReader::PicH);
        add({"picwgoal"}, &P::onPictureSize, PictureReader::GoalW);
        add({"pichgoal"}, &P::onPictureSize, PictureReader::GoalH);
        add({"picscalex"}, &P::onPictureSize, PictureReader::ScaleX);
        add({"picscaley"}, &P::onPictureSize, PictureReader::ScaleY);
        add({"bin"}, &P::onBinary);
        add({"field"}, &P::onField);
        add({"fldinst"}, &P::onDestination, int(Dest::FieldInst));
        add({"shpinst"}, &P::onDestination, int(Dest::ShapeInst));
        add({"sn"}, &P::onDestination, int(Dest::ShapeName));
        add({"sv"}, &P::onShapeValue);
        // Groups whose text is document text.
        add({"object"}, &P::onObject);
        add({"result"}, &P::onObjectResult);
        add({"listtable"}, &P::onListTable, 0);
        add({"listoverridetable"}, &P::onListTable, 1);
        add({"list", "listid", "listlevel", "levelnfc", "levelnfcn", "levelstartat", "levelfollow", "listoverride",
             "ls", "ilvl"},
            &P::onListWord);
        add({"leveltext"}, &P::onListText);
        add({"listtext"}, &P::onListText, 1);
        add({"fldrslt", "shppict", "shp", "shpgrp", "sp"}, &P::onNothing);
        // Word 95's paragraph numbering: \pn describes it, \pntext is the label written out.
        add({"pn"}, &P::onPn);
        add({"pntext"}, &P::onPnWord);
        add({"pnlvlblt", "pnlvlbody", "pnlvlcont", "pnlvl", "pndec", "pnucltr", "pnlcltr", "pnucrm", "pnlcrm", "pncard",
             "pnord", "pnordt", "pnstart", "pnf"},
            &P::onPnWord);
        add({"pntxta"}, &P::onPnText, 1);
        add({"pntxtb"}, &P::onPnText, 0);

        // Destinations whose content is not document text: metadata, headers and notes,
        // style and list definitions, and the fallbacks for readers that know less
        // (\nonshppict beside \shppict, \shprslt beside \shp, \nonesttables beside nested
        // tables).
        add({"author",
             "buptim",
             "colorschememapping",
             "comment",
             "creatim",
             "datastore",
             "docvar",
             "doccomm",
             "footer",
             "footerf",
             "footerl",
             "footerr",
             "footnote",
             "ftncn",
             "ftnsep",
             "ftnsepc",
             "aftncn",
             "aftnsep",
             "aftnsepc",
             "generator",
             "header",
             "headerf",
             "headerl",
             "headerr",
             "info",
             "keywords",
             "latentstyles",
             "operator",
             "printim",
             "private",
             "revtbl",
             "rsidtbl",
             "stylesheet",
             "subject",
             "template",
             "themedata",
             "title",
             "xe",
             "xmlopen",
             "xmlclose",
             "xmlattr",
             "xmlattrname",
             "xmlattrvalue",
             "xmlns",
             "factoidname",
             "tc",
             "txe",
             "nonshppict",
             "objdata",
             "objclass",
             "pgdsctbl",
             "xmlnstbl",
             "mmathPr",
             "falt",
             "panose",
             "atnid",
             "atnauthor",
             "annotation",
             "bkmkstart",
             "bkmkend",
             "pnseclvl",
             "protusertbl",
             "fchars",
             "lchars",
             "userprops",
             "defchp",
             "defpap",
             "blipuid",
             "picprop",
             "filetbl",
             "revtim",
             "hlinkbase",
             "manager",
             "company",
             "category",
             "nextfile",
             "shptxt",
             "shprslt",
             "do",
             "background",
             "wgrffmtfilter",
             "listpicture",
             "levelnumbers",
             "listname",
             "liststylename",
             "lfolevel",
             "nonesttables"},
            &P::onSkipDestination);
        return m;
    }();
    return table;
}

// A destination whose content is not text skips its group, provided it opens the group:
// the same word after text is a stray and is passed over like any unknown word.
void Parser::onSkipDestination(const Token&, int)
{
    if (!st_.hadContent)
        tok_.skipGroup();
}

void Parser::onDestination(const Token&, int dest)
{
    if (st_.hadContent)
        return;
    st_.dest = Dest(dest);
    switch (st_.dest) {
    case Dest::FontTable: fontTableDepth_ = depth_; break;
    case Dest::ColorTable: colors_.clear(); break;
    case Dest::ShapeName: shapeProperty_.clear(); break;
    default: break;
    }
}

void Parser::onDocCodepage(const Token& t, int codepage)
{
    if (codepage > 0)
        docCodepage_ = codepage;
    else if (t.param > 0 && t.param < 100000)
        docCodepage_ = t.param;
}

void Parser::onDefaultFont(const Token& t, int)
{
    deff_ = t.param;
    st_.ch.font = t.param;
}

void Parser::onFont(const Token& t, int)
{
    if (st_.dest == Dest::FontTable) {
        endFontEntry();
        fontNumber_ = t.param;
        return;
    }
    st_.ch.font = t.param;
    if (st_.ch.run == RunType::Dbch)
        st_.ch.cjkFont = t.param;
}

void Parser::onFontCharset(const Token& t, int cpg)
{
    if (st_.dest != Dest::FontTable)
        return;
    if (cpg)
        fontEntry_.cpg = t.param;
    else
        fontEntry_.charset = t.param;
    // \fcharset1 is "the default character set": it declares nothing.
    if (cpg || t.param != 1)
        charsetDeclared_ = true;
}

void Parser::onColorComponent(const Token& t, int which)
{
    const int v = std::clamp(t.param, 0, 255);
    (which == 0 ? red_ : which == 1 ? green_ : blue_) = v;
    colorSet_ = true;
}

void Parser::onPlain(const Token&, int)
{
    st_.ch = CharProps();
    st_.ch.font = deff_;
}

void Parser::onToggle(const Token& t, int which)
{
    const bool on = !t.hasParam || t.param != 0;
    // Associated properties (\ab, \ai, \af, \afs) apply to double-byte text.
    const bool assoc = st_.ch.run == RunType::Dbch && !st_.rtl;
    CharProps& ch = st_.ch;
    switch (which) {
    case Bold: ch.b = on; break;
    case Italic: ch.i = on; break;
    case Strike: ch.strike = on; break;
    case Hidden: ch.hidden = on; break;
    case AssocBold:
        if (assoc)
            ch.b = on;
        break;
    case AssocItalic:
        if (assoc)
            ch.i = on;
        break;
    default: break;
    }
}

void Parser::onUnderline(const Token& t, int style)
{
    const bool on = style >= 0 && (!t.hasParam || t.param != 0);
    st_.ch.ul = uint8_t(on ? style : QTextCharFormat::NoUnderline);
}

void Parser::onVertical(const Token& t, int which)
{
    const bool up = !t.hasParam || t.param > 0;
    switch (which) {
    case Super: st_.ch.vert = 1; break;
    case Sub: st_.ch.vert = 2; break;
    case Up: st_.ch.vert = up ? 1 : 0; break;
    case Down: st_.ch.vert = up ? 2 : 0; break;
    default: st_.ch.vert = 0; break;
    }
}

void Parser::onFontSize(const Token& t, int associated)
{
    if (associated && !(st_.ch.run == RunType::Dbch && !st_.rtl))
        return;
    st_.ch.fs = t.hasParam ? std::clamp(t.param, 2, 3276) : 24;
}

void Parser::onColor(const Token& t, int background)
{
    (background ? st_.ch.bg : st_.ch.fg) = std::max(t.param, 0);
}

void Parser::onRunType(const Token&, int type)
{
    st_.ch.run = RunType(type);
}

void Parser::onDirection(const Token&, int rtl)
{
    st_.rtl = rtl != 0;
}

void Parser::onAssociatedFont(const Token& t, int)
{
    if (st_.ch.run == RunType::Dbch && !st_.rtl)
        st_.ch.cjkFont = t.param;
}

void Parser::onUnicodeSkip(const Token& t, int)
{
    st_.uc = uint8_t(std::clamp(t.param, 0, 16));
}

// \uN: N is a UTF-16 code unit, written from 32768 up as N - 65536. Numbers outside
// -32768..65535 and characters that may not go into a document are dropped, and their
// fallback text is kept in their place.
void Parser::onUnicode(const Token& t, int)
{
    flushBytes();
    if (!t.hasParam || t.param < -32768 || t.param > 65535)
        return;
    const auto unit = char16_t(t.param < 0 ? t.param + 65536 : t.param);
    char32_t c = unit;
    const Font* f = currentFont();
    if (f && f->symbol != SymbolFont::None && unit >= 0xF020 && unit <= 0xF0FF)
        c = symbolChar(f->symbol, uint8_t(unit - 0xF000));  // symbol fonts live at U+F020..F0FF
    else if (unit == 0 || (unit < 0x20 && unit != u'\t') || (unit >= 0xFDD0 && unit <= 0xFDEF) || unit >= 0xFFFE)
        return;
    if (c)
        appendChar(c);
    ucSkip_ = st_.uc;
}

void Parser::onUnicodeAlternative(const Token&, int)
{
    if (st_.dest == Dest::Upr)
        st_.dest = Dest::Text;
}

void Parser::onParagraphDefaults(const Token&, int)
{
    st_.para = ParaProps();
}

void Parser::onParagraph(const Token&, int page)
{
    if (st_.dest != Dest::Text)
        return;
    endParagraph();
    if (page)
        pageBreakNext_ = true;
}

void Parser::onChar(const Token&, int ch)
{
    appendChar(char32_t(ch));
}

void Parser::onAlign(const Token&, int align)
{
    st_.para.align = uint8_t(align);
}

void Parser::onIndent(const Token& t, int which)
{
    ParaProps& pp = st_.para;
    switch (which) {
    case Left: pp.li = std::clamp(t.param, -31680, 31680); break;
    case Right: pp.ri = std::clamp(t.param, -31680, 31680); break;
    case First: pp.fi = std::clamp(t.param, -31680, 31680); break;
    case Before: pp.sb = std::clamp(t.param, 0, 31680); break;
    case After: pp.sa = std::clamp(t.param, 0, 31680); break;
    default:
        // \sl1000 and a bare \sl mean single spacing.
        pp.sl = !t.hasParam || t.param == 1000 ? 0 : std::clamp(t.param, -31680, 31680);
        break;
    }
}

void Parser::onLineSpacingMultiple(const Token& t, int)
{
    st_.para.slmult = !t.hasParam || t.param != 0;
}

void Parser::onPageBreakBefore(const Token&, int)
{
    pageBreakNext_ = true;
}

void Parser::onInTable(const Token&, int)
{
    st_.para.intbl = true;
    st_.para.itap = std::max(st_.para.itap, 1);
}

// A paragraph marked as in a table is in one, whatever nesting level it claims.
void Parser::onNestingLevel(const Token& t, int)
{
    st_.para.itap = std::clamp(t.param, st_.para.intbl ? 1 : 0, kMaxNesting);
}

void Parser::onRowDefaults(const Token&, int)
{
    tables_.startRowDef(rowDefLevel());
}

void Parser::onCellEdge(const Token& t, int)
{
    tables_.endCellDef(rowDefLevel(), t.param);
}

// \cell ends a cell of a table in the body, \nestcell one of a table at the paragraph's
// nesting level (at least 2); a \cell in a paragraph of a nested table ends a cell of that
// table, as word processors read it.
void Parser::onCellEnd(const Token&, int nested)
{
    endCell(nested || st_.para.itap >= 2 ? std::max(st_.para.itap, 2) : 1);
}

// Likewise a \row among the properties of a nested row ends that row.
void Parser::onRowEnd(const Token&, int nested)
{
    endRow(nested || st_.nestProps ? std::max(st_.para.itap, 2) : 1);
}

void Parser::onNestedRowProps(const Token&, int)
{
    st_.nestProps = true;
}

void Parser::onCellMerge(const Token&, int which)
{
    RowDef::Cell& c = tables_.def(rowDefLevel()).next;
    switch (which) {
    case HFirst: c.hFirst = true; break;
    case HNext: c.hNext = true; break;
    case VFirst: c.vFirst = true; break;
    default: c.vNext = true; break;
    }
}

void Parser::onBorder(const Token&, int cellOrRow)
{
    tables_.def(rowDefLevel()).borderContext = cellOrRow != 0;
}

void Parser::onBorderWidth(const Token& t, int)
{
    RowDef& d = tables_.def(rowDefLevel());
    if (d.borderContext)
        d.borderWidth = std::max(d.borderWidth, std::clamp(t.param, 0, 150));
}

void Parser::onRowAlign(const Token&, int align)
{
    tables_.def(rowDefLevel()).align = align;
}

void Parser::onRowGap(const Token& t, int)
{
    tables_.def(rowDefLevel()).gap = t.param;
}

void Parser::onPicture(const Token&, int)
{
    flushRun();
    st_.dest = Dest::Pict;
    pict_.begin();
}

void Parser::onPictureKind(const Token& t, int)
{
    if (st_.dest == Dest::Pict)
        pict_.setKind(t.word, t.hasParam, t.param);
}

void Parser::onPictureSize(const Token& t, int which)
{
    if (st_.dest == Dest::Pict)
        pict_.setSize(PictureReader::Size(which), t.param);
}

void Parser::onBinary(const Token& t, int)
{
    const std::string_view data = tok_.takeBinary(std::max(t.param, 0));
    if (st_.dest == Dest::Pict)
        pict_.addBinary(data);
}

void Parser::onField(const Token&, int)
{
    if (!fields_.empty() && fields_.back().depth == depth_)
        fields_.back() = Field{depth_, {}, false};  // a second \field in the same group
    else
        fields_.push_back(Field{depth_, {}, false});
}

// The value of a shape property: for the shape's picture (pib) the \pict inside is read,
// every other value is skipped.
void Parser::onShapeValue(const Token&, int)
{
    if (st_.dest == Dest::ShapeInst && shapeProperty_.trimmed() == QLatin1String("pib"))
        st_.dest = Dest::ShapePict;
    else
        tok_.skipGroup();
}

// \object opens the group of an embedded object; what it holds up to its \result is
// kept as it is.
void Parser::onObject(const Token&, int)
{
    if (st_.hadContent)
        return;
    objectDepth_ = depth_;
    objectStart_ = tok_.offset();
    objectHead_.clear();
}

void Parser::onObjectResult(const Token&, int)
{
    if (objectDepth_ < 0 || depth_ != objectDepth_ + 1 || objectStart_ < 0 || groupOpenAt_ < objectStart_)
        return;
    objectHead_ = in_.sliced(objectStart_, groupOpenAt_ - objectStart_).toByteArray();
    objectStart_ = -1;
}

void Parser::onNothing(const Token&, int) {}

}  // namespace qm::rtf
