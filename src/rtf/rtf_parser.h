#pragma once
// The RTF reader proper: follows groups and their state, decodes text, and builds the
// document through the table and picture builders. Control words are dispatched through
// the keyword table of rtf_keywords.cpp to the handlers declared here.

#include "rtf/rtf_charset.h"
#include "rtf/rtf_picture.h"
#include "rtf/rtf_tables.h"
#include "rtf/rtf_tokenizer.h"

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>

#include <climits>
#include <unordered_map>
#include <vector>

class QTextDocument;

namespace qm::rtf {

// Where the text of a group goes.
enum class Dest : uint8_t {
    Text,       // document text
    Upr,        // \upr: its ANSI alternative is dropped, the \ud part is read
    FontTable,  // font names
    ColorTable,
    Pict,           // hexadecimal picture data
    FieldInst,      // a field's instruction (SYMBOL fields are read from it)
    ShapeInst,      // a shape's properties: only its picture is read
    ShapeName,      // the name of a shape property (\sn)
    ShapePict,      // the value of a shape's picture property: a \pict inside is kept
    ListTable,      // \listtable: list definitions
    ListLevel,      // a level of a list definition
    LevelText,      // a level's text: the number's placeholders and the text around them
    ListOverrides,  // \listoverridetable: which list each \lsN names
    Pn,             // \pn: a paragraph's numbering (Word 95)
    PnBefore,       // its text before and after the number
    PnAfter,
};

// Which kind of character the following text is (\loch, \hich, \dbch).
enum class RunType : uint8_t { Loch, Hich, Dbch };

struct CharProps {
    int font = -1;     // font number; -1 none
    int cjkFont = -1;  // font of double-byte text (\dbch\af, \dbch\f); -1 = `font`
    int fs = 24;       // size in half points
    int fg = 0;        // colour table index; 0 automatic
    int bg = 0;
    uint8_t ul = 0;    // QTextCharFormat::UnderlineStyle
    uint8_t vert = 0;  // 0 normal, 1 superscript, 2 subscript
    RunType run = RunType::Loch;
    bool b = false;
    bool i = false;
    bool strike = false;
    bool hidden = false;
    bool operator==(const CharProps&) const = default;
};

struct CharPropsHash {
    size_t operator()(const CharProps& c) const noexcept;
};

struct ParaProps {
    uint8_t align = 0;  // 0 left, 1 right, 2 centre, 3 justified
    int itap = 0;       // table nesting level: 0 body, 1 a table, 2 a table in a cell, ...
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0, sl = 0;  // twips
    bool slmult = false;
    bool intbl = false;  // \intbl: the paragraph is in a table, whatever \itap says
    int ls = 0;          // \lsN: the list the paragraph is an item of (0 none)
    int ilvl = 0;        // \ilvlN: its level in the list
    bool pn = false;     // the paragraph has a \pn numbering
};

// A list definition of \listtable, as far as the labels of its items go.
struct ListLevel {
    int format = 0;  // \levelnfc: 0 1, 1 I, 2 i, 3 A, 4 a, 23 bullet, 255 none, ...
    int start = 1;   // \levelstartat
    int follow = 0;  // \levelfollow: 0 tab, 1 space, 2 nothing
    int font = -1;   // the font of the label (bullets in Symbol, Wingdings)
    QString text;    // the label: U+F700 + n stands for the number of level n
    bool hasText = false;
};
struct ListDef {
    std::vector<ListLevel> levels;
};

// A paragraph's numbering as \pn gives it.
struct PnDef {
    bool bullet = false;
    bool none = false;  // \pnlvlcont: no label
    int format = 0;     // as ListLevel::format
    int start = 1;
    int font = -1;
    QString before, after;  // bytes as U+F800 + b until the group ends
};

struct State {
    CharProps ch;
    ParaProps para;
    Dest dest = Dest::Text;
    uint8_t uc = 1;
    bool rtl = false;
    bool hadContent = false;  // text or a paragraph end was read in this group
    bool nestProps = false;   // inside {\*\nesttableprops}: row words define nested rows
};

struct Font {
    QString name;
    int charset = -1;
    int cpg = 0;
    SymbolFont symbol = SymbolFont::None;
};

class Parser;
// A control word's handler and the value it is given (which property, which style).
using Handler = void (Parser::*)(const Token& word, int arg);
struct Keyword {
    Handler handler;
    int arg = 0;
};
// The keywords the reader knows; every other control word is passed over.
const std::unordered_map<std::string_view, Keyword>& keywordTable();

class Parser {
public:
    Parser(QByteArrayView in, QTextDocument* doc);
    void run();

    // --- keyword handlers (rtf_keywords.cpp); `arg` as the keyword table gives it
    void onSkipDestination(const Token&, int);
    void onDestination(const Token&, int dest);
    void onDocCodepage(const Token&, int which);
    void onDefaultFont(const Token&, int);
    void onFont(const Token&, int);
    void onFontCharset(const Token&, int which);
    void onColorComponent(const Token&, int which);
    void onPlain(const Token&, int);
    void onToggle(const Token&, int which);
    void onUnderline(const Token&, int style);
    void onVertical(const Token&, int which);
    void onFontSize(const Token&, int associated);
    void onColor(const Token&, int background);
    void onRunType(const Token&, int type);
    void onDirection(const Token&, int rtl);
    void onAssociatedFont(const Token&, int);
    void onUnicodeSkip(const Token&, int);
    void onUnicode(const Token&, int);
    void onParagraphDefaults(const Token&, int);
    void onParagraph(const Token&, int page);
    void onChar(const Token&, int ch);
    void onAlign(const Token&, int align);
    void onIndent(const Token&, int which);
    void onLineSpacingMultiple(const Token&, int);
    void onInTable(const Token&, int);
    void onNestingLevel(const Token&, int);
    void onPageBreakBefore(const Token&, int);
    void onRowDefaults(const Token&, int);
    void onCellEdge(const Token&, int);
    void onCellEnd(const Token&, int nested);
    void onRowEnd(const Token&, int nested);
    void onCellMerge(const Token&, int which);
    void onBorder(const Token&, int cellOrRow);
    void onBorderWidth(const Token&, int);
    void onRowAlign(const Token&, int align);
    void onRowGap(const Token&, int);
    void onNestedRowProps(const Token&, int);
    void onPicture(const Token&, int);
    void onPictureKind(const Token&, int);
    void onPictureSize(const Token&, int which);
    void onBinary(const Token&, int);
    void onField(const Token&, int);
    void onObject(const Token&, int);
    void onListTable(const Token&, int overrides);
    void onListWord(const Token& word, int which);
    void onListText(const Token&, int);
    void onPn(const Token&, int);
    void onPnWord(const Token&, int);
    void onPnText(const Token&, int after);
    void onObjectResult(const Token&, int);
    void onShapeValue(const Token&, int);
    void onUnicodeAlternative(const Token&, int);
    void onNothing(const Token&, int);

private:
    // --- tokens and groups
    void handleWord(const Token& t, bool star);
    void handleSymbol(uint8_t c);
    void handleText(std::string_view text);
    void handleBytes(std::string_view bytes);
    void pushGroup();
    void popGroup();

    // --- text
    int codepage() const;
    const Font* font(int number) const;
    const Font* currentFont() const;
    void flushBytes();
    void appendText(QStringView s);
    void appendChar(char32_t c);
    void flushRun();
    const QTextCharFormat& charFormat(const CharProps& props);

    // --- paragraphs, tables, fields, pictures
    void prepareContent();
    void endParagraph();
    void applyBlockFormat();
    QTextBlockFormat blockFormat() const;
    void endCell(int level);
    void endRow(int level);
    int rowDefLevel() const;
    void endFontEntry();
    void endPicture(Dest into);
    void endField();
    char32_t symbolFieldChar(const QString& instruction);
    void endListLevel(const State& closing);
    void addLevelText(QStringView text);
    QString listLabel();
    QString decodeLabelBytes(const QString& text, int fontNumber);
    void endPn();
    QString pnLabel() const;

    QByteArrayView in_;
    Tokenizer tok_;
    QTextDocument* doc_;
    QTextCursor cur_;

    State st_;
    std::vector<State> stack_;
    int overflow_ = 0;  // groups opened beyond the depth kept
    int depth_ = 0;     // open groups, including those beyond the depth kept
    bool done_ = false;

    int deff_ = 0;
    int docCodepage_ = 0;           // \ansicpg, \mac, \pc, \pca; 0 = none declared
    bool charsetDeclared_ = false;  // some font of the table names a character set
    QHash<int, Font> fonts_;
    int fontNumber_ = -1;  // font being defined in the font table
    int fontTableDepth_ = -1;
    Font fontEntry_;
    std::vector<QColor> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorSet_ = false;
    Decoder decoder_;

    QByteArray bytes_;  // text bytes waiting to be decoded
    int ucSkip_ = 0;    // fallback characters still to skip after \uN
    QString run_;       // decoded text of the current run
    CharProps runProps_;
    std::unordered_map<CharProps, QTextCharFormat, CharPropsHash> formats_;

    bool pendingPar_ = false;  // a \par has ended the current block; the next comes with content
    bool pageBreakNext_ = false;
    TableBuilder tables_;
    PictureReader pict_;

    struct Field {
        int depth = 0;  // the group that holds \field
        QString instruction;
        bool hasResult = false;
    };
    std::vector<Field> fields_;
    QString shapeProperty_;  // name of the shape property being read

    // An embedded object (\object) whose shown result is a picture: its RTF up to the
    // result (class, size, data), kept with the picture so that the object is written
    // back and stays editable in a word processor.
    qsizetype groupOpenAt_ = 0;  // where the last group opened
    qsizetype objectStart_ = -1;
    int objectDepth_ = -1;
    QByteArray objectHead_;

    // Lists: definitions by \listid, \lsN to \listid, the numbers counted so far of each
    // \lsN and level, and whether the paragraph has its label.
    QHash<int, ListDef> lists_;
    QHash<int, int> listOverrides_;
    QHash<int, std::vector<int>> listCounts_;
    int listId_ = 0;  // the list or override being defined
    int overrideLs_ = 0;
    ListLevel level_;      // the level being defined
    ListDef pendingList_;  // the list being defined (its \listid comes last)
    bool levelTextEnded_ = false;
    int levelStartFont_ = -1;  // the font before the level: a level without \f names none
    bool labelDone_ = false;
    PnDef pn_;                 // the \pn being read, then the paragraph's
    bool pntextSeen_ = false;  // the paragraph has its \pntext
    bool lastParaNumbered_ = false;
    int pnCount_ = 0;
    // Where the paragraph being read started and the table level its text went to.
    int paraStart_ = 0;
    int paraLevel_ = 0;
};

}  // namespace qm::rtf
