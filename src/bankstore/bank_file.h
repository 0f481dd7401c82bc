#pragma once
// A question bank file (.tik), and the empty-bank template qm.qm which has the same tables:
// 题库 (one row per question), 参数 (the bank's particulars, one row), the attribute lists
// 题型, 章节, 难度 and 单元, and the prepared fragments 评分表 and 阅卷人.
//
// Questions are addressed by their 0-based position in the bank's row order: the order in
// which they were added, until the bank is sorted by chapter. 编号 is a question's identity:
// given by the store, unique, never reused, kept by an overwrite and by the sort.
//
// Every call opens the file, works in one transaction and closes the file, so other
// computers sharing the bank see each change whole. A failing call changes nothing, returns
// nothing (or false) and puts a Chinese message naming the problem into `error` if given.
// Names of types, chapters and so on are data only: any character may occur in them.

#include "bankstore/duplicates.h"
#include "bankstore/usage.h"
#include "core/text_fold.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace qm {

namespace pg {
class ConnectionSlot;
}
class ServerBankReader;
class ServerBankAppender;

// One row of 题库.
struct Question {
    qint64 id = 0;       // 编号; 0 for a question not stored yet
    QByteArray text;     // 题目: a whole RTF document
    QByteArray answer;   // 答案: a whole RTF document, may be empty
    QString type;        // 题型
    QString chapter;     // 章节
    QString unit;        // 单元
    QString difficulty;  // 难度
    double score = 0;    // 分值
    QString remark;      // 备注: shown nowhere, carried by merge and sort
    QString use;         // 使用: the number of usage records ("" before the first), kept by the
                         // store: an overwrite leaves it, add() takes it as given

    bool operator==(const Question&) const = default;
};

// A question read by position, with where it stands.
struct QuestionAt {
    Question question;
    int position = -1;  // -1 when the bank is empty
    int count = 0;      // questions in the bank
};

// The one row of 参数.
struct Particulars {
    QString name;        // mc 题库名称
    QString speciality;  // zy 适用专业
    QString syllabus;    // dg 适用大纲
    QString author;      // jk 建库人员
    QString reviewer;    // sd 审定人员
    QString firstUse;    // qy 启用时间 (free text)

    bool operator==(const Particulars&) const = default;
};

// The attribute list tables.
enum class AttributeList { Types, Chapters, Difficulties, Units };  // 题型 章节 难度 单元

// The text attributes of a question.
enum class Attribute { Type, Chapter, Unit, Difficulty };  // 题型 章节 单元 难度

// Questions whose attributes equal every value given (exact, case-sensitive comparison);
// an attribute left empty (nullopt) is not a condition.
struct QuestionFilter {
    std::optional<QString> type = {};
    std::optional<QString> chapter = {};
    std::optional<QString> unit = {};
    std::optional<QString> difficulty = {};
    std::optional<double> score = {};
    // The type matches whatever blanks follow it, in the filter and in the bank.
    bool typeIgnoresTrailingBlanks = false;
    // Only questions without a use on or after this date; a null date: without any use.
    std::optional<QDate> notUsedSince = {};
};

// One group of the bank statistics: questions sharing all five attributes.
struct AttributeCount {
    QString type;
    QString chapter;
    QString difficulty;
    double score = 0;
    QString unit;
    int count = 0;

    bool operator==(const AttributeCount&) const = default;
};

// A question that a search found.
struct SearchHit {
    qint64 id = 0;
    QString type;
    QString chapter;

    bool operator==(const SearchHit&) const = default;
};

class BankFile {
public:
    explicit BankFile(QString path);
    const QString& path() const { return m_path; }

    // --- Files ---

    // Makes a new bank (or template) with empty tables and one empty row of particulars.
    // Fails when the file exists.
    static bool createEmpty(const QString& path, QString* error = nullptr);
    // Makes a new bank as a copy of the template `templatePath` (normally ProgramDir + "qm.qm").
    // Fails, creating nothing, when the template is not a bank or the file exists.
    static bool createFromTemplate(const QString& templatePath, const QString& path, QString* error = nullptr);
    // Deletes a bank file together with a journal an interrupted write left beside it (which
    // would otherwise be rolled into a later file of the same name).
    static bool removeFile(const QString& path, QString* error = nullptr);
    // True when the file opens as a bank.
    bool check(QString* error = nullptr) const;

    // --- Questions ---

    std::optional<int> count(QString* error = nullptr) const;
    // The question at `position`, or the last one for -1. An empty bank gives position -1,
    // count 0 and an empty question; a position past the end is an error.
    std::optional<QuestionAt> read(int position, QString* error = nullptr) const;
    // The position of the question with this 编号; nothing, and no error, when there is none.
    std::optional<int> positionOf(qint64 id, QString* error = nullptr) const;
    // The question with this 编号; an error when there is none.
    std::optional<Question> readById(qint64 id, QString* error = nullptr) const;
    // The questions with these 编号, all read at one moment with one opening of the bank
    // (a paper asks for a hundred questions of a large bank). A 编号 no question has any
    // more is left out of the result; that is not an error.
    std::optional<QHash<qint64, Question>> readByIds(const QList<qint64>& ids, QString* error = nullptr) const;
    // Calls `visit` with every question in row order, all read at one moment (for showing
    // or printing a whole bank), through a BankReader. Other computers cannot write the bank
    // meanwhile, so `visit` should be quick. False when the bank cannot be read.
    bool forEachQuestion(const std::function<void(int position, const Question&)>& visit,
                         QString* error = nullptr) const;
    // Appends a question (its id is ignored) and returns its position, count - 1.
    std::optional<int> add(const Question& question, QString* error = nullptr);
    // Rewrites every field of the question at `position` except 编号 and 使用, which counts
    // the question's uses whatever the edit (another computer may file a paper meanwhile).
    bool overwrite(int position, const Question& question, QString* error = nullptr);
    // Deletes the question at `position`, with its usage records, and returns the number of
    // questions left. A
    // position outside the bank deletes nothing. When much of the file has become free
    // space it is compacted afterwards; that step is skipped while another program uses
    // the file, and the deletion stands either way.
    std::optional<int> remove(int position, QString* error = nullptr);
    // The same two for the question with 编号 `id`, which stays the question the user
    // sees whatever other computers add or delete meanwhile. `*found` is false, and
    // nothing is written, when no question has that 编号 any more.
    bool overwriteById(qint64 id, const Question& question, bool* found, QString* error = nullptr);
    std::optional<int> removeById(qint64 id, bool* found, QString* error = nullptr);
    // Compacts the file (VACUUM): all or nothing.
    bool compact(QString* error = nullptr);

    // --- Queries over the questions ---

    // The distinct values of one attribute among the questions matching `filter`, each once,
    // in the order they are offered for choosing: as the bank's list of that attribute
    // orders them, then those the list lacks in natural order (inListOrder of
    // bankstore/list_order.h). ("SELECT 章节 FROM 题库 GROUP BY 章节", the units of one
    // chapter, ...)
    std::optional<QStringList> distinctValues(Attribute attribute, const QuestionFilter& filter = {},
                                              QString* error = nullptr) const;
    // The distinct scores among the questions matching `filter`, ascending.
    std::optional<QList<double>> distinctScores(const QuestionFilter& filter = {}, QString* error = nullptr) const;
    // The number of questions matching `filter`.
    std::optional<int> countMatching(const QuestionFilter& filter, QString* error = nullptr) const;
    // The 编号 of the questions matching `filter`, in the bank's row order.
    std::optional<QList<qint64>> idsMatching(const QuestionFilter& filter, QString* error = nullptr) const;
    // The same for each of `filters`, all read at one moment with one opening of the bank
    // (a draw asks for the questions of many rows).
    std::optional<QList<QList<qint64>>> idsMatchingEach(const QList<QuestionFilter>& filters,
                                                        QString* error = nullptr) const;
    // Question counts grouped by type, chapter, difficulty, score and unit, in that order of
    // precedence (texts by GBK bytes, scores ascending).
    std::optional<QList<AttributeCount>> statistics(QString* error = nullptr) const;
    // Question counts of the questions whose type is one of `types`, grouped by type and by
    // those of chapter, unit, difficulty and score that are asked for; the attributes not
    // grouped by are left empty (score 0) in the result. Groups come ordered by their values
    // (texts by their bytes, scores ascending). One read of the attribute index, not of the
    // questions: the count grid of composition is built from it.
    std::optional<QList<AttributeCount>> groupCounts(const QStringList& types, bool byChapter, bool byUnit,
                                                     bool byDifficulty, bool byScore, QString* error = nullptr) const;

    // --- Search and duplicates (bankstore/search_text.h, bankstore/duplicates.h) ---

    // The questions whose question or answer text holds every one of `words` (folded, as
    // core/text_fold.h searchWords gives them), in row order; none for no words. Questions
    // whose searchable text is missing (a bank of an older version, a write by another
    // program) get it first, in a write of its own; a bank that cannot be written now is
    // searched all the same.
    std::optional<QList<SearchHit>> search(const QStringList& words, QString* error = nullptr) const;
    // Every question's searchable text by 编号, ascending 编号, completed as for search().
    std::optional<QList<std::pair<qint64, QString>>> searchTexts(QString* error = nullptr) const;
    // The pairs of questions that are the same or at least `similarity` alike (findDuplicates).
    std::optional<QList<DuplicatePair>> duplicates(double similarity, QString* error = nullptr) const;

    // --- Attribute lists (rows addressed by 0-based position in their stored order) ---

    std::optional<QStringList> list(AttributeList which, QString* error = nullptr) const;
    bool appendToList(AttributeList which, const QString& name, QString* error = nullptr);
    bool renameInList(AttributeList which, int position, const QString& name, QString* error = nullptr);
    bool removeFromList(AttributeList which, int position, QString* error = nullptr);
    // Replaces the list with `names` in this order.
    bool rewriteList(AttributeList which, const QStringList& names, QString* error = nullptr);

    // --- Particulars ---

    std::optional<Particulars> particulars(QString* error = nullptr) const;
    bool setParticulars(const Particulars& particulars, QString* error = nullptr);

    // --- Whole-bank operations, each all or nothing ---

    // Appends every question of the bank `sourcePath`, in its order, with new 编号 (the
    // lists are not merged) and with its usage records. Returns the number of questions
    // added. The source may be this bank itself, whose questions are then doubled. The
    // source questions whose 编号 `skip` holds are left out (mergeDuplicates finds those
    // that the bank has already).
    std::optional<int> mergeFrom(const QString& sourcePath, QString* error = nullptr, const QSet<qint64>& skip = {});
    // Reorders the questions by chapter in the order of `chapterOrder` (the first occurrence
    // of a name counts), keeping the order within a chapter; questions whose chapter is not
    // in the list follow, in their old order. 编号 stay.
    bool sortByChapters(const QStringList& chapterOrder, QString* error = nullptr);

    // --- Uses (bankstore/usage.h) ---

    // Records a use of each question of `ids` that the bank has (each once, however often
    // it is listed) and counts it in its 使用, in one transaction. Returns the number of
    // questions recorded; a 编号 the bank no longer has is passed over.
    std::optional<int> recordUsage(const QList<qint64>& ids, const UsageRecord& use, QString* error = nullptr);
    // The uses of the question with this 编号 (none for a question never used or not there).
    std::optional<UsageSummary> usageOf(qint64 id, QString* error = nullptr) const;
    // Every used question's uses, by 编号. Without `withPapers` only the count and the latest
    // date are read (what a draw needs, from the index alone).
    std::optional<QMap<qint64, UsageSummary>> usage(bool withPapers = true, QString* error = nullptr) const;

    // --- Prepared fragments of the template ---

    // Row k (1-based) of 评分表: the scoring table for a paper with k question types; k of 0
    // or 1 gives the first row. An error when the table has fewer rows.
    std::optional<QByteArray> scoringTable(int typeCount, QString* error = nullptr) const;
    // The first row of 阅卷人: the grader box.
    std::optional<QByteArray> graderBox(QString* error = nullptr) const;
    // Appends a row to 评分表; sets the first row of 阅卷人 (for building the template).
    bool appendScoringTable(const QByteArray& rtf, QString* error = nullptr);
    bool setGraderBox(const QByteArray& rtf, QString* error = nullptr);

private:
    QString m_path;
    // For a bank on a server: the connection kept between calls (shared by copies).
    std::shared_ptr<pg::ConnectionSlot> m_slot;
};

// The questions of the bank `sourcePath` that are the same as one of the bank `targetPath`
// or as one before them in the source (duplicates.h): what merging the source into the
// target would add twice. By 编号 of the source, in its row order.
std::optional<QList<qint64>> mergeDuplicates(const QString& targetPath, const QString& sourcePath,
                                             QString* error = nullptr);

// What a search box shows: the questions of the bank holding every word of `query`
// (searchWords), in row order: all of them by 编号, and the first `limit` of them with
// their line of context.
struct SearchResult {
    QList<qint64> ids;
    QList<FoundQuestion> rows;
};

// Searches banks again and again, as a window's search box does: the searchable texts of the
// bank searched last stay in memory for as long as its file is unchanged (SQLite's change
// counter in the file, which every write of any program on any computer advances, its size
// and its time; on a server, the bank's count of writes), so that a search after the first
// reads only the questions it finds.
class BankSearcher {
public:
    BankSearcher();
    ~BankSearcher();
    // As BankFile::search.
    std::optional<QList<SearchHit>> search(const QString& bankPath, const QStringList& words, QString* error = nullptr);
    // What a search box shows for `query`.
    std::optional<SearchResult> find(const QString& bankPath, const QString& query, int limit,
                                     QString* error = nullptr);

private:
    struct Texts;
    // The 编号 of the texts held that contain every needle.
    std::vector<qint64> matching(const std::vector<QByteArray>& needles) const;
    std::unique_ptr<Texts> m_texts;
};

// Reads a whole bank in one pass, all at one moment: its particulars, its lists and every
// question in row order, in one read transaction that lasts from open() until the last
// question has been read or the reader goes away. Reading the questions one by one through
// BankFile would open the bank and look for the position anew for each of them.
//
// Other computers cannot write the bank while the reader holds it (they wait, and give up
// after kBusyTimeoutMs), so walk it promptly and let it go.
class BankReader {
public:
    // Opens the bank and reads the particulars, the lists and the number of questions;
    // nothing, with `error` set, when it is not a bank that can be read.
    static std::unique_ptr<BankReader> open(const QString& path, QString* error = nullptr);
    ~BankReader();

    const Particulars& particulars() const;
    const QStringList& list(AttributeList which) const;
    // The number of questions that next() gives.
    int count() const;
    // The next question in row order. Nothing after the last one, which ends the read
    // transaction, or when the bank cannot be read further: then error() says why.
    std::optional<Question> next();
    // Empty unless next() failed.
    const QString& error() const;

private:
    struct Impl;
    explicit BankReader(std::unique_ptr<Impl> impl);
    explicit BankReader(std::unique_ptr<ServerBankReader> server);
    std::unique_ptr<Impl> d;
    // Instead of d for a bank on a server (bankstore/server_store.h).
    std::unique_ptr<ServerBankReader> m_server;
};

// Appends many questions and list names to one bank while keeping it open: the writer of
// the batch import, where opening the file per question would cost more than the work.
// Writes collect in a transaction until commit(); what is not committed when the
// appender goes away is rolled back. Other computers wait for the bank while a
// transaction is open, so commit often: about once a second. Once the appender has kept
// the bank for kWriterHoldMs without a break of kWriterPauseMs, it makes that break before
// its next transaction, so that programs waiting for the bank write in between instead of
// timing out.
class BankAppender {
public:
    // Opens the bank; nothing, with `error` set, when it is not a bank that can be opened.
    static std::unique_ptr<BankAppender> open(const QString& path, QString* error = nullptr);
    ~BankAppender();

    // Appends a question at the end of the bank (its id is ignored).
    bool add(const Question& question, QString* error = nullptr);
    // Appends the name to the list unless the list holds it (exactly as written) at the
    // moment of the write, so that two imports into one bank at once list a name once.
    // A name the list already holds twice stays so.
    bool addToListIfMissing(AttributeList which, const QString& name, QString* error = nullptr);
    // Makes everything added so far permanent.
    bool commit(QString* error = nullptr);
    // True while something added is not committed yet.
    bool pending() const;

private:
    struct Impl;
    explicit BankAppender(std::unique_ptr<Impl> impl);
    explicit BankAppender(std::unique_ptr<ServerBankAppender> server);
    // Before a transaction: the break from the bank that waiting programs need, when due.
    // True when the bank was left alone long enough, by this break or before it.
    bool takeBreakIfDue();
    bool write(QString* error, const std::function<void()>& work);
    std::unique_ptr<Impl> d;
    // Instead of d for a bank on a server (bankstore/server_store.h).
    std::unique_ptr<ServerBankAppender> m_server;
};

}  // namespace qm
