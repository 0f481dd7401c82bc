#pragma once
// How the pictures of a rich-text document are drawn. Qt draws PNG and JPEG pictures from
// their image resources. Metafile pictures (WMF, EMF: formulas and drawings from word
// processors) would show their placeholder; a document that draws them as vectors has
// its layout's picture drawing replaced by one that converts its metafiles to SVG (all
// that the document holds, in one run of the converter, the first time one is drawn)
// and draws them with Qt SVG: sharp at any zoom on screen, vector drawings with their
// text in a PDF. The drawing of each picture is kept as a resource of the document
// (copies and prints of the document take it along) and by the picture drawing itself,
// which outlives the document's content, so that a box showing one question after
// another converts each picture once.

#include <QByteArray>
#include <QString>

class QTextDocument;
class QTextImageFormat;

namespace qm {

// True for RTF picture kinds that are metafiles ("wmetafile8", "emfblip").
bool isMetafileKind(const QByteArray& kind);

// Makes `doc` draw its metafile pictures as vectors. addPicture and
// restoreImageResources call it for every document that gets a metafile picture; it
// stays with the document's layout (and the copies QTextDocument::print makes).
void drawMetafilesAsVectors(QTextDocument* doc);

// Gives `to` the drawing `from` has made of its picture `pictureName`, if it has one, so
// that a copy of a document's content is not converted again.
void copyMetafileDrawing(QTextDocument* to, const QTextDocument& from, const QString& pictureName);

// How the picture `format` of `doc` is drawn (converting the document's metafiles first
// when they are not yet converted).
enum class PictureLook { Image, Vector, Placeholder };
PictureLook pictureLook(QTextDocument* doc, const QTextImageFormat& format);

}  // namespace qm
