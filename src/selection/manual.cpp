#include "selection/manual.h"

#include "core/numbers.h"
#include "selection/draw.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <tuple>

namespace qm::selection {

namespace {

const QString kSeparator = QStringLiteral("||");

}  // namespace

QString pickKeyText(const PickKey& key)
{
    return QStringLiteral("%1").arg(key.typePosition, 3, 10, QLatin1Char('0')) + key.type + kSeparator
           + QString::number(key.id);
}

std::optional<PickKey> parsePickKey(const QString& text)
{
    const qsizetype bar = text.lastIndexOf(kSeparator);
    if (text.size() < 3 || bar < 3)
        return std::nullopt;
    bool okPosition = false;
    bool okId = false;
    PickKey key;
    key.typePosition = text.left(3).toInt(&okPosition);
    key.type = text.mid(3, bar - 3);
    key.id = text.mid(bar + kSeparator.size()).toLongLong(&okId);
    if (!okPosition || !okId || key.typePosition < 0)
        return std::nullopt;
    return key;
}

QStringList ManualPicks::keys() const
{
    QStringList keys;
    keys.reserve(m_picks.size());
    for (const PickedQuestion& p : m_picks)
        keys << p.key;
    return keys;
}

QStringList ManualPicks::shownKeys(const QString& bankPath) const
{
    QStringList shown;
    shown.reserve(m_picks.size());
    for (const PickedQuestion& p : m_picks)
        shown << (p.bankPath == bankPath
                      ? p.key
                      : p.key + QStringLiteral("（") + QFileInfo(p.bankPath).completeBaseName() + QStringLiteral("）"));
    return shown;
}

bool ManualPicks::hasPicksFrom(const QString& bankPath) const
{
    return std::any_of(m_picks.cbegin(), m_picks.cend(),
                       [&](const PickedQuestion& p) { return p.bankPath == bankPath; });
}

ManualPicks::Pick ManualPicks::pick(const PickKey& key, const QString& bankPath)
{
    if (key.typePosition >= kMaxManualSections)
        return {Outcome::BeyondLastNumeral, -1, {}};
    const PickedQuestion picked{pickKeyText(key), bankPath};
    const auto less = [](const PickedQuestion& a, const PickedQuestion& b) {
        return std::tie(a.key, a.bankPath) < std::tie(b.key, b.bankPath);
    };
    const auto at = std::lower_bound(m_picks.begin(), m_picks.end(), picked, less);
    if (at != m_picks.end() && *at == picked)
        return {Outcome::AlreadyPicked, int(at - m_picks.begin()), {}};
    const int row = int(at - m_picks.begin());
    m_picks.insert(row, picked);
    const int number = ++m_numbers[key.type];
    return {Outcome::Picked, row, sectionNumeral(key.typePosition + 1) + QString::number(number) + QLatin1Char('.')};
}

void ManualPicks::removeAt(int row)
{
    if (row >= 0 && row < m_picks.size())
        m_picks.removeAt(row);
}

QList<ArrangedQuestion> arrangePicks(const QList<PickedQuestion>& picks)
{
    // The types in the order they first occur, each with its picks in list order.
    QStringList types;
    QHash<QString, QList<std::pair<qint64, QString>>> byType;
    for (const PickedQuestion& p : picks) {
        const std::optional<PickKey> key = parsePickKey(p.key);
        if (!key)
            continue;
        if (!byType.contains(key->type))
            types << key->type;
        byType[key->type].append({key->id, p.bankPath});
    }
    QList<ArrangedQuestion> out;
    for (int s = 0; s < types.size(); ++s) {
        int number = 0;
        for (const auto& [id, bank] : byType[types[s]])
            out.append({s + 1, types[s], ++number, id, bank});
    }
    return out;
}

QList<ArrangedQuestion> arrangePicks(const QStringList& keys, const QString& bankPath)
{
    QList<PickedQuestion> picks;
    for (const QString& key : keys)
        picks.append({key, bankPath});
    return arrangePicks(picks);
}

BankInformation bankInformation(const QString& bankPath, const QString& bankName, const QList<AttributeCount>& counts)
{
    BankInformation info;
    const QString path = QDir::toNativeSeparators(bankPath);
    info.caption = path + QStringLiteral("　题库信息");
    info.headings = QStringList{QStringLiteral("题  型"),  QStringLiteral("章   节"), QStringLiteral("单　 元"),
                                QStringLiteral("难   度"), QStringLiteral("分  值"),  QStringLiteral("题  数")};
    info.nodes.append({path, QString(), bankName});
    QSet<QString> keys{path};
    for (const AttributeCount& c : counts) {
        const QStringList cells{c.type, c.chapter, c.unit, c.difficulty, numText(c.score), QString::number(c.count)};
        info.rows.append(cells);
        const QStringList texts{c.type,
                                c.chapter,
                                c.unit,
                                c.difficulty,
                                QStringLiteral("分值:") + cells[4],
                                QStringLiteral("题数:") + cells[5]};
        QString parent = path;
        for (qsizetype i = 0; i < cells.size(); ++i) {
            const QString key = parent + QLatin1Char('\\') + cells[i];
            if (!keys.contains(key)) {
                keys.insert(key);
                info.nodes.append({key, parent, texts[i]});
            }
            parent = key;
        }
    }
    return info;
}

}  // namespace qm::selection
