// BankFile's search and duplicate finding over the searchable texts of table 检索.

#include "bankstore/bank_file.h"
#include "bankstore/search_text.h"
#include "bankstore/server_search.h"
#include "bankstore/server_store.h"
#include "bankstore/sqlite_file.h"
#include "rtf/rtf_text.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>
#include <vector>

namespace qm {

namespace {

// Fills in the searchable texts that are missing (all of them in a bank of an older
// version, which the write transaction upgrades). The texts only ever miss rows, never
// hold one too many or a stale one (the triggers of 检索 see to it), so as many texts as
// questions means none is missing. False when the bank cannot be written now: the reader
// then makes the missing texts as it goes.
bool completeSearchTexts(SQLite::Database& db)
{
    try {
        WriteTransaction tx(db);
        db.exec("INSERT INTO 检索 (编号, 文本) SELECT 编号, qm_search_text(题目, 答案) FROM 题库 "
                "WHERE 编号 NOT IN (SELECT 编号 FROM 检索)");
        tx.commit();
        return true;
    } catch (const SQLite::Exception&) {
        return false;
    }
}

using TextVisitor = std::function<void(qint64 id, const char* text, int size)>;

// Calls `visit` with each question's 编号 and searchable text (UTF-8), ascending 编号. When
// texts turn out to be missing, `restart` is called and every text is visited anew once they
// are filled in.
void forEachSearchText(SQLite::Database& db, const std::function<void()>& restart, const TextVisitor& visit)
{
    // Visits the rows the query gives; returns how many there were.
    auto scan = [&](const std::string& sql) {
        SQLite::Statement st(db, sql);
        int seen = 0;
        while (st.executeStep()) {
            const SQLite::Column text = st.getColumn(1);
            visit(st.getColumn(0).getInt64(), text.getText(), text.getBytes());
            ++seen;
        }
        return seen;
    };
    if (hasSearchTable(db)) {
        // The questions are counted from an index; the texts as they are read.
        SQLite::Transaction read(db);
        const int questions = db.execAndGet("SELECT count(*) FROM 题库").getInt();
        const int seen = scan("SELECT 编号, 文本 FROM 检索 ORDER BY 编号");
        read.commit();
        if (seen == questions)
            return;
        restart();
    }
    const bool complete = completeSearchTexts(db);
    SQLite::Transaction read(db);
    scan(complete             ? "SELECT 编号, 文本 FROM 检索 ORDER BY 编号"
         : hasSearchTable(db) ? "SELECT t.编号, coalesce(s.文本, qm_search_text(t.题目, t.答案)) FROM 题库 AS t "
                                "LEFT JOIN 检索 AS s ON s.编号 = t.编号 ORDER BY t.编号"
                              : "SELECT 编号, qm_search_text(题目, 答案) FROM 题库 ORDER BY 编号");
    read.commit();
}

bool contains(const char* text, int size, const QByteArray& word)
{
#ifdef __GLIBC__
    return memmem(text, size_t(size), word.constData(), size_t(word.size())) != nullptr;
#else
    return std::string_view(text, size_t(size)).find(std::string_view(word.constData(), size_t(word.size())))
           != std::string_view::npos;
#endif
}

// What tells whether a bank file has changed: SQLite's file change counter (bytes 24 to 27
// of the header, advanced by every write transaction of any program on any computer), the
// size and the time of the file. Empty when the file cannot be read.
QByteArray fileStamp(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(100);
    if (head.size() < 100)
        return {};
    const QFileInfo info(path);
    return head.mid(24, 4) + '/' + QByteArray::number(info.size()) + '/'
           + QByteArray::number(info.lastModified().toMSecsSinceEpoch());
}

}  // namespace

struct BankSearcher::Texts {
    QString path;
    QByteArray stamp;  // fileStamp when read; empty: not to be used again
    QByteArray text;   // every searchable text, one after the other
    std::vector<qint64> ids;
    std::vector<int> ends;  // where each text ends in `text`

    void clear()
    {
        text.clear();
        ids.clear();
        ends.clear();
    }
};

BankSearcher::BankSearcher() = default;
BankSearcher::~BankSearcher() = default;

namespace {

// The words as UTF-8, the longest first: it is the rarest as a rule, and a text without it is
// passed over at once.
std::vector<QByteArray> needlesOf(const QStringList& words)
{
    std::vector<QByteArray> needles;
    for (const QString& w : words)
        if (!w.isEmpty())
            needles.push_back(w.toUtf8());
    std::sort(needles.begin(), needles.end(),
              [](const QByteArray& a, const QByteArray& b) { return a.size() > b.size(); });
    return needles;
}

// A question found, with its order key for listing the hits in row order.
struct Found {
    int64_t key;
    SearchHit hit;
};

QList<SearchHit> inRowOrder(std::vector<Found>& found)
{
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.key < b.key; });
    QList<SearchHit> hits;
    hits.reserve(qsizetype(found.size()));
    for (Found& f : found)
        hits.append(std::move(f.hit));
    return hits;
}

}  // namespace

std::vector<qint64> BankSearcher::matching(const std::vector<QByteArray>& needles) const
{
    std::vector<qint64> ids;
    const char* all = m_texts->text.constData();
    for (size_t i = 0, from = 0; i < m_texts->ids.size(); from = size_t(m_texts->ends[i++])) {
        const int size = m_texts->ends[i] - int(from);
        if (std::all_of(needles.begin(), needles.end(),
                        [&](const QByteArray& w) { return contains(all + from, size, w); }))
            ids.push_back(m_texts->ids[i]);
    }
    return ids;
}

std::optional<QList<SearchHit>> BankSearcher::search(const QString& bankPath, const QStringList& words, QString* error)
{
    const std::vector<QByteArray> needles = needlesOf(words);
    if (needles.empty())
        return QList<SearchHit>();
    auto add = [](Texts& texts) {
        return [&texts](qint64 id, const char* text, int size) {
            texts.text.append(text, size);
            texts.ids.push_back(id);
            texts.ends.push_back(int(texts.text.size()));
        };
    };
    if (isServerPath(bankPath)) {
        // The texts read last time serve while the bank's count of writes is as it was.
        const std::optional<QByteArray> now = server::searchStamp(bankPath, error);
        if (!now)
            return std::nullopt;
        if (!m_texts || m_texts->path != bankPath || m_texts->stamp.isEmpty() || m_texts->stamp != *now) {
            auto texts = std::make_unique<Texts>();
            texts->path = bankPath;
            if (!server::forEachSearchText(bankPath, add(*texts), &texts->stamp, error))
                return std::nullopt;
            m_texts = std::move(texts);
        }
        const std::vector<qint64> ids = matching(needles);
        const auto rows = server::foundRows(bankPath, QList<qint64>(ids.begin(), ids.end()), error);
        if (!rows)
            return std::nullopt;
        std::vector<Found> found;
        for (const server::FoundRow& r : *rows)
            found.push_back({r.order, {r.id, r.type, r.chapter}});
        return inRowOrder(found);
    }
    return withDbFile(bankPath, DbKind::Bank, error, [&](SQLite::Database& db) {
        // The texts read last time serve while the file is as it was. A write between the
        // two looks at the stamp (which the read lies between) keeps them from serving again.
        const QByteArray before = fileStamp(bankPath);
        if (!m_texts || m_texts->path != bankPath || m_texts->stamp.isEmpty() || m_texts->stamp != before) {
            auto texts = std::make_unique<Texts>();
            texts->path = bankPath;
            forEachSearchText(
                db, [&] { texts->clear(); }, add(*texts));
            if (fileStamp(bankPath) == before)
                texts->stamp = before;
            m_texts = std::move(texts);
        }
        const std::vector<qint64> ids = matching(needles);
        // In row order, with what the list shows of each.
        std::vector<Found> found;
        found.reserve(ids.size());
        SQLite::Transaction read(db);
        SQLite::Statement st(db, "SELECT 次序, 题型, 章节 FROM 题库 WHERE 编号 = ?");
        for (const qint64 id : ids) {
            st.bind(1, int64_t(id));
            if (st.executeStep())
                found.push_back(
                    {st.getColumn(0).getInt64(), {id, columnText(st.getColumn(1)), columnText(st.getColumn(2))}});
            st.reset();
        }
        read.commit();
        return inRowOrder(found);
    });
}

std::optional<QList<SearchHit>> BankFile::search(const QStringList& words, QString* error) const
{
    return BankSearcher().search(m_path, words, error);
}

std::optional<QList<std::pair<qint64, QString>>> BankFile::searchTexts(QString* error) const
{
    if (isServerPath(m_path)) {
        QList<std::pair<qint64, QString>> texts;
        QByteArray stamp;
        if (!server::forEachSearchText(
                m_path,
                [&](qint64 id, const char* text, int size) {
                    texts.append({id, QString::fromUtf8(text, size)});
                },
                &stamp, error))
            return std::nullopt;
        return texts;
    }
    return withDbFile(m_path, DbKind::Bank, error, [&](SQLite::Database& db) {
        QList<std::pair<qint64, QString>> texts;
        forEachSearchText(
            db, [&] { texts.clear(); },
            [&](qint64 id, const char* text, int size) {
                texts.append({id, QString::fromUtf8(text, size)});
            });
        return texts;
    });
}

std::optional<QList<DuplicatePair>> BankFile::duplicates(double similarity, QString* error) const
{
    const auto texts = searchTexts(error);
    if (!texts)
        return std::nullopt;
    return findDuplicates(*texts, similarity);
}

std::optional<SearchResult> BankSearcher::find(const QString& bankPath, const QString& query, int limit, QString* error)
{
    const QStringList words = searchWords(query);
    BankFile bank(bankPath);
    const auto hits = search(bankPath, words, error);
    if (!hits)
        return std::nullopt;
    SearchResult result;
    for (const SearchHit& h : *hits)
        result.ids.append(h.id);
    const auto questions =
        bank.readByIds(result.ids.first(std::min<qsizetype>(result.ids.size(), std::max(limit, 0))), error);
    if (!questions)
        return std::nullopt;
    for (const SearchHit& h : *hits) {
        const auto q = questions->constFind(h.id);
        if (q == questions->constEnd())
            continue;  // beyond the limit, or deleted meanwhile
        result.rows.append(
            {h.id, h.type, h.chapter, contextLine(rtfText(q->text) + QLatin1Char(' ') + rtfText(q->answer), words)});
    }
    return result;
}

std::optional<QList<qint64>> mergeDuplicates(const QString& targetPath, const QString& sourcePath, QString* error)
{
    const auto target = BankFile(targetPath).searchTexts(error);
    if (!target)
        return std::nullopt;
    const auto source = BankFile(sourcePath).searchTexts(error);
    if (!source)
        return std::nullopt;
    const auto order = BankFile(sourcePath).idsMatching({}, error);
    if (!order)
        return std::nullopt;
    QSet<QString> known;
    for (const auto& [id, text] : *target)
        known.insert(sameTextKey(text));
    QHash<qint64, QString> keyOf;
    for (const auto& [id, text] : *source)
        keyOf.insert(id, sameTextKey(text));
    // Merged into itself every question is there already.
    const bool itself = isSameFile(targetPath, sourcePath);
    QList<qint64> same;
    for (const qint64 id : *order) {
        const QString key = keyOf.value(id);
        if (key.isEmpty())
            continue;
        if (itself || known.contains(key))
            same.append(id);
        else
            known.insert(key);
    }
    return same;
}

}  // namespace qm
