#pragma once
// What the test program's fonts were before the program set them up, and how a text is
// resolved to fonts.

#include <QFont>
#include <QString>

namespace qm::test {

struct FontsBefore {
    QFont interfaceFont;
    QString captionFamily;  // the family Qt set "口令核对" in
    QString songFamily;     // the family Qt set 宋体 text in
};
extern FontsBefore fontsBefore;

// The families `text` is drawn in with `font`, joined by ',' (one per run of glyphs of one
// font), as they are laid out on the screen.
QString resolvedFamily(const QFont& font, const QString& text);

}  // namespace qm::test
