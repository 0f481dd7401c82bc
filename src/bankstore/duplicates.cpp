#include "bankstore/duplicates.h"

#include "bankstore/search_text.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace qm {

namespace {

// The distinct trigrams of a text, each as the three UTF-16 units in one number (no two
// trigrams share one), sorted. A text of one or two characters is its own one piece.
std::vector<uint64_t> trigrams(QStringView text)
{
    std::vector<uint64_t> out;
    const qsizetype n = text.size();
    if (n == 0)
        return out;
    if (n < 3) {
        out.push_back((uint64_t(1) << 48) | (uint64_t(text[0].unicode()) << 16) | (n > 1 ? text[1].unicode() : 0));
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

    // Each compared text's question trigrams as token numbers, rarest first.
    const size_t n = compared.size();
    std::vector<std::vector<uint64_t>> grams(n);
    std::vector<uint64_t> all;
    for (size_t k = 0; k < n; ++k) {
        grams[k] = trigrams(questionPart(sorted[compared[k]].second));
        all.insert(all.end(), grams[k].begin(), grams[k].end());
    }
    std::sort(all.begin(), all.end());
    std::vector<uint64_t> keys;
    std::vector<uint32_t> counts;
    for (size_t i = 0; i < all.size();) {
        size_t j = i;
        while (j < all.size() && all[j] == all[i])
            ++j;
        keys.push_back(all[i]);
        counts.push_back(uint32_t(j - i));
        i = j;
    }
    all = {};
    std::vector<uint32_t> byRarity(keys.size());
    for (uint32_t i = 0; i < byRarity.size(); ++i)
        byRarity[i] = i;
    std::stable_sort(byRarity.begin(), byRarity.end(), [&](uint32_t a, uint32_t b) { return counts[a] < counts[b]; });
    std::vector<uint32_t> token(keys.size());  // key index -> token number, rarer is lower
    for (uint32_t r = 0; r < byRarity.size(); ++r)
        token[byRarity[r]] = r;
    std::vector<std::vector<uint32_t>> docs(n);
    for (size_t k = 0; k < n; ++k) {
        docs[k].reserve(grams[k].size());
        for (const uint64_t g : grams[k])
            docs[k].push_back(token[size_t(std::lower_bound(keys.begin(), keys.end(), g) - keys.begin())]);
        std::sort(docs[k].begin(), docs[k].end());
        grams[k] = {};
    }

    // Shorter texts first: a text is compared with the ones before it that are long enough
    // and share a token of its prefix with theirs.
    std::vector<uint32_t> order(n);
    for (uint32_t k = 0; k < n; ++k)
        order[k] = k;
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t a, uint32_t b) { return docs[a].size() < docs[b].size(); });
    auto prefixOf = [&](size_t size) { return size - size_t(std::ceil(t * double(size) - 1e-9)) + 1; };
    std::vector<std::vector<uint32_t>> index(keys.size());
    std::vector<uint32_t> seen(n, UINT32_MAX);
    QList<DuplicatePair> near;
    for (const uint32_t x : order) {
        const std::vector<uint32_t>& dx = docs[x];
        const size_t prefix = std::min(dx.size(), prefixOf(dx.size()));
        const double minSize = t * double(dx.size());
        for (size_t p = 0; p < prefix; ++p) {
            for (const uint32_t y : index[dx[p]]) {
                if (seen[y] == x || double(docs[y].size()) < minSize - 1e-9)
                    continue;
                seen[y] = x;
                const QString& a = sorted[compared[y]].second;
                const QString& b = sorted[compared[x]].second;
                double s = jaccard(docs[y], dx);
                if (s >= 1 && questionPart(a) == questionPart(b))
                    s = answerSimilarity(a, b);
                if (s + 1e-9 >= t) {
                    qint64 i = sorted[compared[y]].first, j = sorted[compared[x]].first;
                    near.append({std::min(i, j), std::max(i, j), s});
                }
            }
        }
        for (size_t p = 0; p < prefix; ++p)
            index[dx[p]].push_back(x);
    }
    std::sort(near.begin(), near.end(), [](const DuplicatePair& a, const DuplicatePair& b) {
        if (a.similarity != b.similarity)
            return a.similarity > b.similarity;
        return std::pair(a.first, a.second) < std::pair(b.first, b.second);
    });
    return same + near;
}

}  // namespace qm
