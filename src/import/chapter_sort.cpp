#include "import/chapter_sort.h"

#include <QHash>

namespace qm::import {

QList<qsizetype> chapterSortOrder(const QStringList& questionChapters, const QStringList& chapterList)
{
    // Rank of each listed chapter; unlisted chapters share the rank after the last.
    QHash<QString, qsizetype> rank;
    for (const QString& c : chapterList)
        rank.insert(c, rank.value(c, rank.size()));  // keeps the first place of a repeated name
    const qsizetype unlisted = rank.size();

    QList<QList<qsizetype>> groups(unlisted + 1);
    for (qsizetype i = 0; i < questionChapters.size(); ++i)
        groups[rank.value(questionChapters[i], unlisted)].append(i);

    QList<qsizetype> order;
    order.reserve(questionChapters.size());
    for (const auto& g : groups)
        order += g;
    return order;
}

}  // namespace qm::import
