#pragma once
// The text layer of the program's PDFs: which character each glyph on the page stands for,
// as copying, searching and pdftotext read it.
//
// Qt's PDF writer names a glyph by the first character the font maps to it. Chinese fonts
// draw 一 and the Kangxi radical ⼀ with one glyph, so papers copied as radicals ("⼀",
// "⼈", "⾼"); and a glyph the shaper substituted (the digits in a run of Latin text) is
// named by no character at all, so "4.(2%)" copied as ".( %)". The writer numbers a font's
// glyphs in the order they are first drawn. So the PDF starts with a page on which every
// glyph of the document is drawn once, in an order whose characters are known; afterwards
// that page is removed and each font's character map is written from what it drew.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QRawFont>
#include <optional>

class QPaintDevice;
class QPainter;
class QTextBlock;
class QTextLayout;

namespace qm::paper {

class TextLayer {
public:
    // The glyphs `layout` (laid out for the PDF) draws for its text, with their characters.
    void addLayout(const QTextLayout& layout);
    // The same for a paragraph of a document, shaped for `device`.
    void addBlock(const QTextBlock& block, QPaintDevice* device);
    // Draws every glyph once, font after font, at the top left of the painter's page.
    void drawGlyphs(QPainter& painter) const;
    // `pdf`, whose first page is the one drawGlyphs painted, without that page and with the
    // character maps of the fonts drawn there written anew; nothing when it cannot be read.
    std::optional<QByteArray> finish(const QByteArray& pdf) const;

private:
    // The glyphs of one font file, in the order they were met, each with its character.
    struct Face {
        QRawFont font;
        QList<quint32> glyphs;
        QList<char32_t> characters;
        QHash<quint32, qsizetype> index;
        // `glyph` stands for `c`, unless it is known already.
        void add(quint32 glyph, char32_t c);
    };
    Face& faceOf(const QRawFont& font);
    QList<Face> m_faces;
    QHash<QString, qsizetype> m_faceByName;  // by PostScript name
};

// A font's PostScript name (the name a PDF gives it), "" when its name table lacks one.
QString postScriptName(const QRawFont& font);

}  // namespace qm::paper
