#pragma once
// The user guide: an HTML file shipped with the program (guide/index.html beside the
// program, or share/quellmark/guide of an installation), whose headings make its contents.

#include <QList>
#include <QString>
#include <QStringList>

namespace qm {

// One heading of the guide: a chapter (level 1) or a section (level 2), with the anchor
// that leads to it.
struct GuideHeading {
    int level = 1;
    QString anchor;
    QString title;
    bool operator==(const GuideHeading&) const = default;
};

// The anchor of the section on the batch question file format.
inline constexpr char16_t kGuideBatchFormat[] = u"batch-format";

// The headings of the guide's HTML, in order: every <h1 id="…"> and <h2 id="…">, the title
// as plain text (tags removed, entities read).
QList<GuideHeading> guideHeadings(const QString& html);

// The pictures the guide shows: the src of every <img>, in order, each once.
QStringList guidePictures(const QString& html);

// The guide's file: the first of `dirs` that holds guide/index.html; "" when none does.
QString findGuide(const QStringList& dirs);

// Where the guide of a program in `executableDir` with `programDir` may be: beside the
// program, in the installation's share/quellmark, in the program directory.
QStringList guideDirs(const QString& executableDir, const QString& programDir);

}  // namespace qm
