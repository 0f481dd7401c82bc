#include "bankstore/duplicates.h"

#include "bankstore/search_text.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace qm {

namespace {

// The distinct trigrams of a text, each as the three UTF-16 units in the low 48 bits of a
// number (no two trigrams share one), sorted. A text of one or two characters is its own
// one piece.
std::vector<uint64_t> trigrams(QStringView text)
{
    std::vector<uint64_t> out;
    const qsizetype n = text.size();
    if (n == 0)
        return out;
    if (n < 3) {
        // Folded text holds no U+0000, so this is no trigram's number.
        out.push_back((uint64_t(text[0].unicode()) << 32) | (n > 1 ? uint64_t(text[1].unicode()) << 16 : 0));
        return out;
    }
    out.reserve(size_t(n - 2));
    for (qsizetype i = 0; i + 2 < n; ++i)
        out.push_back((uint64_t(text[i].unicode()) << 32) | (uint64_t(text[i + 1].unicode()) << 16)
                      | text[i + 2].unicode());
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

template <typename T>
size_t overlap(const std::vector<T>& a, const std::vector<T>& b)
{
    size_t i = 0, j = 0, common = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i] < b[j]) {
            ++i;
        } else if (b[j] < a[i]) {
            ++j;
        } else {
            ++common;
            ++i;
            ++j;
        }
    }
    return common;
}

template <typename T>
double jaccard(const std::vector<T>& a, const std::vector<T>& b)
{
    if (a.empty() && b.empty())
        return 1;
    const size_t common = overlap(a, b);
    return double(common) / double(a.size() + b.size() - common);
}

// A searchable text as duplicates are compared: without its spaces, so that a space added
// or left out (which Chinese text does not need) makes no difference.
QString compared(QStringView searchText)
{
    QString text = searchText.toString();
    text.remove(QLatin1Char(' '));
    return text;
}

double answerSimilarity(QStringView a, QStringView b)
{
    return answerPart(a) == answerPart(b) ? 1 : jaccard(trigrams(answerPart(a)), trigrams(answerPart(b)));
}

double similarity(QStringView a, QStringView b)
{
    const QStringView qa = questionPart(a), qb = questionPart(b);
    if (qa == qb)
        return answerSimilarity(a, b);
    return jaccard(trigrams(qa), trigrams(qb));
}

}  // namespace

QString sameTextKey(QStringView searchText)
{
    QString key = compared(searchText);
    return questionPart(key).isEmpty() ? QString() : key;
}

double textSimilarity(QStringView a, QStringView b)
{
    return similarity(compared(a), compared(b));
}

QList<DuplicatePair> findDuplicates(const QList<std::pair<qint64, QString>>& texts, double similarity)
{
    const double t = std::clamp(similarity, 0.5, 1.0);
    // The same texts: each group's first (lowest 编号) stands for it below.
    QList<std::pair<qint64, QString>> sorted = texts;
    for (auto& [id, text] : sorted)
        text = compared(text);
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<DuplicatePair> same;
    QHash<QStringView, qint64> firstOf;
    std::vector<int> compared;  // indexes into `sorted`
    for (int i = 0; i < sorted.size(); ++i) {
        const QString& text = sorted[i].second;
        if (questionPart(text).isEmpty())
            continue;
        const auto it = firstOf.constFind(QStringView(text));
        if (it != firstOf.constEnd()) {
            same.append({*it, sorted[i].first, 1});
            continue;
        }
        firstOf.insert(QStringView(text), sorted[i].first);
        compared.push_back(i);
    }
    if (t >= 1)
        return same;

    // How often each trigram occurs, counted in a table of hashed trigrams: a collision only
    // makes a trigram look commoner than it is, which costs a little speed, never a pair.
    const size_t n = compared.size();
    std::vector<std::vector<uint64_t>> grams(n);
    constexpr int kCountBits = 22;
    std::vector<uint16_t> counts(size_t(1) << kCountBits, 0);
    auto slot = [](uint64_t g) { return size_t((g * 0x9E3779B97F4A7C15ull) >> (64 - kCountBits)); };
    for (size_t k = 0; k < n; ++k) {
        grams[k] = trigrams(questionPart(sorted[compared[k]].second));
        for (const uint64_t g : grams[k]) {
            uint16_t& c = counts[slot(g)];
            if (c < UINT16_MAX)
                ++c;
        }
    }
    // Each text's trigrams in one order for all, rarest first: the count above the trigram
    // (which takes 48 bits).
    for (std::vector<uint64_t>& doc : grams) {
        for (uint64_t& g : doc)
            g |= uint64_t(counts[slot(g)]) << 48;
        std::sort(doc.begin(), doc.end());
    }
    counts = {};

    // The prefix of each text: two texts at the similarity share a trigram of their
    // prefixes. Every (trigram, text) of the prefixes, sorted by trigram, is the index.
    auto prefixOf = [&](size_t size) { return std::min(size, size - size_t(std::ceil(t * double(size) - 1e-9)) + 1); };
    std::vector<std::pair<uint64_t, uint32_t>> index;
    for (uint32_t k = 0; k < n; ++k)
        for (size_t p = 0; p < prefixOf(grams[k].size()); ++p)
            index.push_back({grams[k][p], k});
    std::sort(index.begin(), index.end());

    // Each text is compared with the texts before it (in 编号 order) that share a prefix
    // trigram and whose size allows the similarity.
    std::vector<uint32_t> seen(n, UINT32_MAX);
    QList<DuplicatePair> near;
    for (uint32_t x = 0; x < n; ++x) {
        const std::vector<uint64_t>& dx = grams[x];
        for (size_t p = 0; p < prefixOf(dx.size()); ++p) {
            auto it = std::lower_bound(index.begin(), index.end(), std::pair<uint64_t, uint32_t>(dx[p], 0));
            for (; it != index.end() && it->first == dx[p] && it->second < x; ++it) {
                const uint32_t y = it->second;
                const std::vector<uint64_t>& dy = grams[y];
                if (seen[y] == x)
                    continue;
                seen[y] = x;
                const double small = double(std::min(dx.size(), dy.size()));
                const double large = double(std::max(dx.size(), dy.size()));
                if (small < t * large - 1e-9)
                    continue;
                const QString& a = sorted[compared[y]].second;
                const QString& b = sorted[compared[x]].second;
                double s = jaccard(dy, dx);
                if (s >= 1 && questionPart(a) == questionPart(b))
                    s = answerSimilarity(a, b);
                if (s + 1e-9 >= t)
                    near.append({sorted[compared[y]].first, sorted[compared[x]].first, s});
            }
        }
    }
    std::sort(near.begin(), near.end(), [](const DuplicatePair& a, const DuplicatePair& b) {
        if (a.similarity != b.similarity)
            return a.similarity > b.similarity;
        return std::pair(a.first, a.second) < std::pair(b.first, b.second);
    });
    return same + near;
}

}  // namespace qm
