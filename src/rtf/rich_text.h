#pragma once
// Helpers around rich-text documents shared by the RTF reader and writer and by the
// rich-text box: plain text of stored RTF, RTF from plain text, and copying whole
// documents (with their pictures) into one another without the clipboard.

#include <QByteArray>
#include <QString>
#include <QTextFormat>

class QTextCursor;
class QTextDocument;

namespace qm {

// The document's layout measures lengths in pixels at 96 dpi; RTF measures in twips.
inline constexpr double kTwipsPerPixel = 15.0;

// Properties carried by every picture read from RTF, so that the picture survives copies
// between documents and is written back with its original bytes.
enum RichTextProperty {
    PictureBytes = QTextFormat::UserProperty + 0x5100,  // QByteArray: the picture file
    PictureKind,                                        // QByteArray: "pngblip", "emfblip", ...
    PictureExtentW,                                     // int: \picw as read
    PictureExtentH,                                     // int: \pich as read
    PictureObject,  // QByteArray: the RTF of the embedded object the picture shows (\object … up to
                    // its \result), when it came as one
};

// The text of a document, paragraphs separated by "\n" (tables give one line per cell).
// A picture contributes nothing: Qt's object placeholder (U+FFFC) is left out.
QString documentText(const QTextDocument& doc);

// documentText of an RTF document. Non-RTF input is taken as GBK plain text.
QString rtfPlainText(QByteArrayView rtf);

// A one-run RTF document holding `text` in the given font and size; each line of the text
// (CR LF, LF or CR) becomes a paragraph.
QByteArray rtfFromPlainText(const QString& text, const QString& fontName = QStringLiteral("宋体"),
                            double pointSize = 10.5);

// Inserts the whole content of `src` at `cursor` (replacing its selection) with its
// formatting and pictures; the cursor ends behind the inserted content.
void insertDocument(QTextCursor& cursor, const QTextDocument& src);

// Gives each picture in positions [from, to) of `doc` its image resource, made from the
// picture bytes it carries or copied from `src`. Needed after a fragment of another
// document has been inserted, since resources do not travel with fragments.
void restoreImageResources(QTextDocument* doc, int from, int to, const QTextDocument* src = nullptr);

// Inserts at `cursor` the picture file `bytes` of the RTF picture kind `kind` (the control
// word, such as "pngblip" or "wmetafile8"), shown `width` x `height` pixels (0 = natural
// size), and adds its image resource to the document. Kinds Qt cannot draw show a
// placeholder; their bytes are kept and written back unchanged.
// `object` is the RTF of the embedded object the picture is the result of (see
// PictureObject), written back around it.
void addPicture(QTextCursor& cursor, const QByteArray& bytes, const QByteArray& kind, double width, double height,
                int picw = 0, int pich = 0, const QByteArray& object = {});

// Lays the spaces at the end of a line out and draws them, as a word processor does: a
// fill-in blank (a run of underlined spaces) that falls at a line's end keeps its whole
// length, part at the end of one line and the rest on the next.
void layOutTrailingSpaces(QTextDocument& doc);

// The font family a character format names, or `fallback` when it names none.
QString fontFamilyOf(const QTextCharFormat& format, const QString& fallback);

// True for font names of Chinese, Japanese or Korean fonts (their text is written as GBK).
bool isCjkFontName(const QString& family);

}  // namespace qm
