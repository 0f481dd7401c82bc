#include "core/guide.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace qm {

namespace {

// Text of an HTML fragment: no tags, the few entities the guide uses read, blanks joined.
QString plainText(QString html)
{
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    html.remove(tags);
    html.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&nbsp;"), QStringLiteral(" "))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    // Line breaks and runs of ASCII blanks become one space; a full-width space is part of
    // the title as written ("第一章　…").
    static const QRegularExpression blanks(QStringLiteral("[ \\t\\r\\n]+"));
    return html.replace(blanks, QStringLiteral(" ")).trimmed();
}

}  // namespace

QList<GuideHeading> guideHeadings(const QString& html)
{
    static const QRegularExpression heading(QStringLiteral("<h([12])\\s+id=\"([^\"]+)\"[^>]*>(.*?)</h\\1>"),
                                            QRegularExpression::DotMatchesEverythingOption
                                                | QRegularExpression::CaseInsensitiveOption);
    QList<GuideHeading> headings;
    for (auto it = heading.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        headings.append({m.captured(1).toInt(), m.captured(2), plainText(m.captured(3))});
    }
    return headings;
}

QStringList guidePictures(const QString& html)
{
    static const QRegularExpression image(QStringLiteral("<img\\s[^>]*src=\"([^\"]+)\""),
                                          QRegularExpression::CaseInsensitiveOption);
    QStringList pictures;
    for (auto it = image.globalMatch(html); it.hasNext();) {
        const QString src = it.next().captured(1);
        if (!pictures.contains(src))
            pictures << src;
    }
    return pictures;
}

QString findGuide(const QStringList& dirs)
{
    for (const QString& dir : dirs) {
        if (dir.isEmpty())
            continue;
        const QString file = QDir::cleanPath(dir + QStringLiteral("/guide/index.html"));
        if (QFileInfo(file).isFile())
            return file;
    }
    return QString();
}

QStringList guideDirs(const QString& executableDir, const QString& programDir)
{
    return {executableDir, executableDir + QStringLiteral("/../share/quellmark"), programDir};
}

}  // namespace qm
