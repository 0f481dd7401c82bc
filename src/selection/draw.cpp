#include "selection/draw.h"

#include "core/numbers.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSet>
#include <algorithm>
#include <chrono>
#include <climits>
#include <numeric>
#include <tuple>
#include <vector>

namespace qm::selection {

namespace {

quint64 splitMix64(quint64& x)
{
    quint64 z = (x += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

quint64 rotl(quint64 x, int k)
{
    return (x << k) | (x >> (64 - k));
}

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

// The whole number a draw-count cell asks for: 0 for an empty cell, a text that is not a
// number, 0 or less; fractions are cut off.
int drawCountOf(const QString& cell)
{
    const double v = Val(cell);
    if (!(v >= 1))
        return 0;
    return v >= double(INT_MAX) ? INT_MAX : int(v);
}

// `count` distinct indices of [0, n), each set of them equally likely, in the order drawn:
// the first `count` steps of a Fisher–Yates shuffle of the indices.
QList<int> drawPositions(int n, int count, RandomSource& random)
{
    std::vector<int> index(static_cast<size_t>(n));
    std::iota(index.begin(), index.end(), 0);
    QList<int> drawn;
    drawn.reserve(count);
    for (int k = 0; k < count; ++k) {
        const int j = k + int(random.below(quint32(n - k)));
        std::swap(index[size_t(k)], index[size_t(j)]);
        drawn << index[size_t(k)];
    }
    return drawn;
}

}  // namespace

// --- Chance ---

SeededRandom::SeededRandom(quint64 seed)
{
    // xoshiro256** with its state spread from the seed by splitmix64, which never gives
    // the all-zero state.
    for (quint64& s : m_state)
        s = splitMix64(seed);
}

quint32 SeededRandom::below(quint32 n)
{
    if (n <= 1)
        return 0;
    // Values below 2^32 mod n are refused, so that every remainder is equally likely.
    const quint32 threshold = quint32(-n) % n;
    for (;;) {
        const quint64 result = rotl(m_state[1] * 5, 7) * 9;
        const quint64 t = m_state[1] << 17;
        m_state[2] ^= m_state[0];
        m_state[3] ^= m_state[1];
        m_state[1] ^= m_state[2];
        m_state[0] ^= m_state[3];
        m_state[2] ^= t;
        m_state[3] = rotl(m_state[3], 45);
        const quint32 x = quint32(result >> 32);
        if (x >= threshold)
            return x % n;
    }
}

quint64 clockSeed()
{
    return quint64(std::chrono::system_clock::now().time_since_epoch().count())
           ^ (quint64(std::chrono::steady_clock::now().time_since_epoch().count()) << 17);
}

// --- The composed list ---

QStringList composedHeader()
{
    return {QStringLiteral("题型"), QStringLiteral("题号"), QStringLiteral("编号"), QStringLiteral("小题分"),
            QStringLiteral("N"),    QStringLiteral("S"),    QStringLiteral("F")};
}

QStringList composedCells(const ComposedRow& row)
{
    return {row.type,          QString::number(row.number),   QString::number(row.id),
            row.questionScore, QString::number(row.position), row.query,
            row.sectionTotal};
}

QString rowQueryText(const QuestionFilter& filter)
{
    QJsonObject o;
    if (filter.type)
        o.insert(kTypeField, *filter.type);
    if (filter.chapter)
        o.insert(kChapterField, *filter.chapter);
    if (filter.unit)
        o.insert(kUnitField, *filter.unit);
    if (filter.difficulty)
        o.insert(kDifficultyField, *filter.difficulty);
    if (filter.score)
        o.insert(kScoreField, *filter.score);
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

std::optional<QuestionFilter> filterOfQuery(const QString& text)
{
    QJsonParseError parsed;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &parsed);
    if (parsed.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    QuestionFilter f;
    const QJsonObject o = doc.object();
    for (auto it = o.begin(); it != o.end(); ++it) {
        const QString key = it.key();
        const QJsonValue v = it.value();
        if (key == kScoreField) {
            if (!v.isDouble())
                return std::nullopt;
            f.score = v.toDouble();
            continue;
        }
        if (!v.isString())
            return std::nullopt;
        if (key == kTypeField)
            f.type = v.toString();
        else if (key == kChapterField)
            f.chapter = v.toString();
        else if (key == kUnitField)
            f.unit = v.toString();
        else if (key == kDifficultyField)
            f.difficulty = v.toString();
        else
            return std::nullopt;
    }
    return f;
}

QString chineseNumber(int n)
{
    static constexpr char16_t kDigits[] = u"一二三四五六七八九";
    if (n < 1 || n > 99)
        return {};
    const int tens = n / 10;
    const int units = n % 10;
    QString text;
    if (tens > 1)
        text += QChar(kDigits[tens - 1]);
    if (tens > 0)
        text += QStringLiteral("十");
    if (units > 0)
        text += QChar(kDigits[units - 1]);
    return text;
}

QString sectionNumeral(int section)
{
    if (section < 1 || section > kMaxManualSections)
        return QString();
    return chineseNumber(section) + QStringLiteral("、");
}

// --- Drawing ---

namespace {

QString missingLine(const DrawResult& result)
{
    return QStringLiteral("题库中符合条件的题目不够，共少选了 %1 道题。").arg(result.missing);
}

QStringList typeLines(const DrawResult& result)
{
    QStringList lines;
    for (int row : result.rowsWithoutType)
        lines << QStringLiteral("题数表第%1行没有题型，这一行的题没有出。").arg(row);
    return lines;
}

QStringList reuseLines(const DrawResult& result)
{
    QStringList lines;
    for (const RowShortfall& r : result.reused)
        lines << QStringLiteral("题数表第%1行近期未用过的题不够，选了 %2 道近期用过的题。").arg(r.row).arg(r.count);
    return lines;
}

// The lines that concern one paper alone: its missing and its recently used questions.
QStringList ownLines(const DrawResult& result)
{
    QStringList lines;
    if (result.missing > 0)
        lines << missingLine(result);
    return lines + reuseLines(result);
}

}  // namespace

QString drawReport(const DrawResult& result)
{
    QStringList lines;
    if (result.missing > 0)
        lines << missingLine(result);
    lines << typeLines(result) << reuseLines(result);
    return lines.join(QLatin1Char('\n'));
}

QString parallelReport(const ParallelDraw& draw)
{
    QStringList lines;
    for (const QString& line : ownLines(draw.a))
        lines << QStringLiteral("A卷：") + line;
    for (const QString& line : ownLines(draw.b))
        lines << QStringLiteral("B卷：") + line;
    for (const RowShortfall& r : draw.b.shared)
        lines
            << QStringLiteral("题数表第%1行的题不够出两份不同的试卷，B卷与A卷共用了 %2 道题。").arg(r.row).arg(r.count);
    lines << typeLines(draw.a);
    return lines.join(QLatin1Char('\n'));
}

int drawingSectionCount(const Grid& grid)
{
    if (grid.isEmpty())
        return 0;
    const int columns = int(grid[0].size());
    int sections = 0;
    std::optional<QString> sectionType;
    std::optional<QString> lastCounted;
    for (qsizetype r = 1; r < grid.size(); ++r) {
        const QStringList& cells = grid[r];
        if (cells.size() != columns)
            continue;
        if (!cells[0].isEmpty())
            sectionType = cells[0];
        if (sectionType && drawCountOf(cells[drawCountColumn(columns)]) > 0 && sectionType != lastCounted) {
            ++sections;
            lastCounted = sectionType;
        }
    }
    return sections;
}

namespace {

using Usage = QMap<qint64, UsageSummary>;

// What one drawing row asks for.
struct Ask {
    qsizetype row;
    QuestionFilter filter;
    int count;
};

// The rows of `grid` that draw, checked: the header, the cells of each row, the number of
// sections and of questions. Rows before the first type name belong to no section and
// draw nothing; they are listed in `rowsWithoutType`.
std::optional<QList<Ask>> asksOf(const Grid& grid, QList<int>& rowsWithoutType, QString* error)
{
    const std::optional<GridOptions> options = grid.isEmpty() ? std::nullopt : optionsOfHeader(grid[0]);
    if (!options) {
        fail(error, QStringLiteral("题数表的表头不对，无法出卷！"));
        return std::nullopt;
    }
    const int columns = int(grid[0].size());
    for (qsizetype r = 1; r < grid.size(); ++r) {
        if (grid[r].size() != columns) {
            fail(error, QStringLiteral("题数表第%1行的格数不对，无法出卷！").arg(r));
            return std::nullopt;
        }
    }
    QList<Ask> asks;
    const int scoreColumn = bankCountColumn(columns) - 1;
    std::optional<QString> sectionType;
    qint64 asked = 0;
    for (qsizetype r = 1; r < grid.size(); ++r) {
        const QStringList& cells = grid[r];
        if (!cells[0].isEmpty())
            sectionType = cells[0];
        const int count = drawCountOf(cells[drawCountColumn(columns)]);
        if (count == 0)
            continue;
        if (!sectionType) {
            rowsWithoutType << int(r);
            continue;
        }
        // What a plan may ask is bounded before the bank is read.
        asked += count;
        if (asked > kMaxPaperQuestions) {
            fail(error,
                 QStringLiteral("一份试卷最多只能有%1道题，这个题数表要出的题超过了这个数。").arg(kMaxPaperQuestions));
            return std::nullopt;
        }
        QuestionFilter f;
        f.type = *sectionType;
        int c = 1;
        if (options->chapters())
            f.chapter = cells[c++];
        if (options->units())
            f.unit = cells[c++];
        if (options->difficulties())
            f.difficulty = cells[c++];
        if (options->scores())
            f.score = Val(cells[scoreColumn]);
        asks.append({r, f, count});
    }
    if (drawingSectionCount(grid) > kMaxSections) {
        fail(error, QStringLiteral("试卷最多只能有九个大题（题型），请减少题型后再出卷！"));
        return std::nullopt;
    }
    return asks;
}

// True when the choices put the question `id` behind others: it is the other paper's, or
// it was used on or after the date to avoid.
bool inOtherPaper(const DrawChoices& choices, qint64 id)
{
    return choices.otherPaper.contains(id);
}

bool usedRecently(const DrawChoices& choices, const Usage& usage, qint64 id)
{
    if (!choices.avoidUsedSince)
        return false;
    const auto it = usage.constFind(id);
    return it != usage.cend() && it->last.date >= *choices.avoidUsedSince;
}

// Shuffles `list` in place, every order equally likely.
void shuffle(QList<int>& list, RandomSource& random)
{
    for (qsizetype k = list.size() - 1; k > 0; --k)
        list.swapItemsAt(k, qsizetype(random.below(quint32(k + 1))));
}

// The positions `free` (into `ids`) in the order the choices prefer them: the other
// paper's questions last; before them those used recently, the least recently used first;
// with preferUnused, the least used first among those alike so far; chance among equals.
QList<int> ranked(QList<int> free, const QList<qint64>& ids, const Usage& usage, const DrawChoices& choices,
                  RandomSource& random)
{
    shuffle(free, random);
    // Each question's place in the order, worked out once: the other paper's, then recent
    // (by the day of its latest use), then how often it was used.
    struct Keyed {
        std::tuple<bool, bool, qint64, int> key;
        int position;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(free.size()));
    for (const int p : free) {
        const qint64 id = ids[p];
        const auto it = usage.constFind(id);
        const bool used = it != usage.cend();
        const bool recent = used && choices.avoidUsedSince && it->last.date >= *choices.avoidUsedSince;
        keyed.push_back({std::tuple(inOtherPaper(choices, id), recent, recent ? it->last.date.toJulianDay() : 0,
                                    choices.preferUnused && used ? it->count : 0),
                         p});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
    QList<int> order;
    order.reserve(free.size());
    for (const Keyed& k : keyed)
        order << k.position;
    return order;
}

// Draws every ask from its matching questions (`matching`, in the order of `asks`).
DrawResult drawFrom(const Grid& grid, const QList<Ask>& asks, const QList<QList<qint64>>& matching, const Usage& usage,
                    RandomSource& random, const DrawChoices& choices)
{
    DrawResult result;
    const int columns = int(grid[0].size());
    const bool chance = !choices.needsUsage() && choices.otherPaper.isEmpty();
    qint64 missing = 0;
    // Every question drawn so far: a row of the same kind as one before draws from the rest.
    QSet<qint64> taken;
    int drawnInSection = 0;
    QString sectionTotal;
    qsizetype next = 0;  // the next row of `asks`
    for (qsizetype r = 1; r < grid.size(); ++r) {
        const QStringList& cells = grid[r];
        if (!cells[0].isEmpty()) {
            const QString& total = cells[sectionTotalColumn(columns)];
            sectionTotal = Val(total) > 0 ? total : QString();
            drawnInSection = 0;
        }
        if (next == asks.size() || asks[next].row != r)
            continue;
        const Ask& ask = asks[next];
        const QList<qint64>& ids = matching[next];
        ++next;
        QList<int> free;  // positions in `ids` of the questions not drawn yet
        free.reserve(ids.size());
        for (int p = 0; p < ids.size(); ++p)
            if (!taken.contains(ids[p]))
                free << p;
        const int n = int(free.size());
        const int wanted = std::min(ask.count, n);
        if (ask.count > n)
            missing += ask.count - n;
        QList<int> chosen;  // positions in `ids`, in the order they stand in the paper
        if (chance) {
            for (const int k : drawPositions(n, wanted, random))
                chosen << free[k];
        } else {
            chosen = ranked(free, ids, usage, choices, random).mid(0, wanted);
            shuffle(chosen, random);
            int recent = 0;
            int shared = 0;
            for (const int p : chosen) {
                shared += inOtherPaper(choices, ids[p]) ? 1 : 0;
                recent += usedRecently(choices, usage, ids[p]) ? 1 : 0;
            }
            if (recent > 0)
                result.reused.append({int(r), recent});
            if (shared > 0)
                result.shared.append({int(r), shared});
        }
        const QString query = rowQueryText(ask.filter);
        for (int k = 0; k < chosen.size(); ++k) {
            const int p = chosen[k];
            ComposedRow row;
            row.type = *ask.filter.type;
            row.number = drawnInSection + k + 1;
            row.id = ids[p];
            taken.insert(row.id);
            row.questionScore = cells[questionScoreColumn(columns)];
            row.position = p;
            row.query = query;
            row.sectionTotal = sectionTotal;
            result.rows << row;
        }
        drawnInSection += int(chosen.size());
    }
    result.missing = int(std::min<qint64>(missing, INT_MAX));
    return result;
}

// What a draw reads from the bank: the questions of each ask, and the uses when the
// choices need them.
struct BankView {
    QList<QList<qint64>> matching;
    Usage usage;
};

std::optional<BankView> readBank(const QString& bankPath, const QList<Ask>& asks, const DrawChoices& choices,
                                 QString* error)
{
    QList<QuestionFilter> filters;
    for (const Ask& a : asks)
        filters << a.filter;
    BankView view;
    const BankFile bank(bankPath);
    std::optional<QList<QList<qint64>>> matching = bank.idsMatchingEach(filters, error);
    if (!matching)
        return std::nullopt;
    view.matching = std::move(*matching);
    if (choices.needsUsage()) {
        std::optional<Usage> usage = bank.usage(false, error);
        if (!usage)
            return std::nullopt;
        view.usage = std::move(*usage);
    }
    return view;
}

}  // namespace

std::optional<DrawResult> drawPaper(const QString& bankPath, const Grid& grid, RandomSource& random, QString* error)
{
    return drawPaper(bankPath, grid, random, DrawChoices{}, error);
}

namespace {

// What every draw starts from: the grid's rows as asks and the bank's matching questions.
struct Prepared {
    QList<Ask> asks;
    QList<int> rowsWithoutType;
    BankView bank;
};

std::optional<Prepared> prepare(const QString& bankPath, const Grid& grid, const DrawChoices& choices, QString* error)
{
    Prepared p;
    std::optional<QList<Ask>> asks = asksOf(grid, p.rowsWithoutType, error);
    if (!asks)
        return std::nullopt;
    std::optional<BankView> bank = readBank(bankPath, *asks, choices, error);
    if (!bank)
        return std::nullopt;
    p.asks = std::move(*asks);
    p.bank = std::move(*bank);
    return p;
}

}  // namespace

std::optional<DrawResult> drawPaper(const QString& bankPath, const Grid& grid, RandomSource& random,
                                    const DrawChoices& choices, QString* error)
{
    const std::optional<Prepared> p = prepare(bankPath, grid, choices, error);
    if (!p)
        return std::nullopt;
    DrawResult result = drawFrom(grid, p->asks, p->bank.matching, p->bank.usage, random, choices);
    result.rowsWithoutType = p->rowsWithoutType;
    return result;
}

std::optional<ParallelDraw> drawParallel(const QString& bankPath, const Grid& grid, RandomSource& random,
                                         const DrawChoices& choices, QString* error)
{
    const std::optional<Prepared> p = prepare(bankPath, grid, choices, error);
    if (!p)
        return std::nullopt;
    ParallelDraw draw;
    draw.a = drawFrom(grid, p->asks, p->bank.matching, p->bank.usage, random, choices);
    // B leaves out what A drew, as far as the rows allow.
    DrawChoices forB = choices;
    for (const ComposedRow& row : draw.a.rows)
        forB.otherPaper.insert(row.id);
    draw.b = drawFrom(grid, p->asks, p->bank.matching, p->bank.usage, random, forB);
    draw.a.rowsWithoutType = p->rowsWithoutType;
    draw.b.rowsWithoutType = p->rowsWithoutType;
    return draw;
}

ReplaceResult replaceQuestion(const QString& bankPath, QList<ComposedRow>& rows, int index, RandomSource& random,
                              QString* error)
{
    return replaceQuestion(bankPath, rows, index, random, DrawChoices{}, error);
}

ReplaceResult replaceQuestion(const QString& bankPath, QList<ComposedRow>& rows, int index, RandomSource& random,
                              const DrawChoices& choices, QString* error)
{
    if (index < 0 || index >= rows.size()) {
        fail(error, QStringLiteral("出题表中没有第%1道题，无法换题！").arg(index + 1));
        return ReplaceResult::Failed;
    }
    const std::optional<QuestionFilter> filter = filterOfQuery(rows[index].query);
    if (!filter) {
        fail(error, QStringLiteral("出题表第%1道题不是从题库抽出的，无法换题！").arg(index + 1));
        return ReplaceResult::Failed;
    }
    const BankFile bank(bankPath);
    const std::optional<QList<qint64>> ids = bank.idsMatching(*filter, error);
    if (!ids)
        return ReplaceResult::Failed;
    const int n = int(ids->size());
    if (n == 0)
        return ReplaceResult::NoQuestions;
    if (n == 1)
        return ReplaceResult::OnlyOne;
    // Every position some row of the same query holds, this row's own included.
    std::vector<bool> taken(size_t(n), false);
    for (const ComposedRow& row : rows)
        if (row.query == rows[index].query && row.position >= 0 && row.position < n)
            taken[size_t(row.position)] = true;
    QList<int> candidates;
    bool others = false;  // some were left out only for being the other paper's
    for (int p = 0; p < n; ++p) {
        if (taken[size_t(p)])
            continue;
        if (choices.otherPaper.contains((*ids)[p]))
            others = true;
        else
            candidates << p;
    }
    if (candidates.isEmpty())
        return others ? ReplaceResult::InOtherPaper : ReplaceResult::AllDrawn;
    int p = 0;
    if (choices.needsUsage()) {
        const std::optional<Usage> usage = bank.usage(false, error);
        if (!usage)
            return ReplaceResult::Failed;
        p = ranked(candidates, *ids, *usage, choices, random).first();
    } else {
        p = candidates[qsizetype(random.below(quint32(candidates.size())))];
    }
    rows[index].id = (*ids)[p];
    rows[index].position = p;
    return ReplaceResult::Replaced;
}

}  // namespace qm::selection
