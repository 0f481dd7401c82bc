#pragma once
// Batch question files: plain GBK text holding many questions in a small markup, in two
// dialects.
//
// Old ("题库" header):  $CPxxSZyLVz question text$
//   a 10-character code (chapter, question type, difficulty tags in any order) and the
//   question text; no answer, no score.
// New ("新题库" header): $CPxxDYddSZyLVzPTww question text {answer}$   and   &CPxx name&
//   an 18-character code (chapter, unit, type, difficulty, score code), the question with
//   its answer in braces, and name entries that give the names behind the codes.
//
// Line ends mean nothing; outside records and name entries every character other than
// "$" (and "&" in the new dialect) is ignored. Codes a record lacks keep the value of the
// record before it. Nothing here touches a bank or a window: BatchImport hands out the
// questions ready to store and asks its caller, through NameAsker, for names the file
// does not give.
//
// A file that ends inside an item ends the import cleanly:
// - a record without its closing "$" (or with an unclosed "{") is still a record: its
//   question and answer run to the end of the file, so nothing the teacher wrote is lost;
// - a name entry without its closing "&" takes the rest of the file as its name (which no
//   record can use any more).
// A record with neither question text nor answer (for instance "$$$…" or a stray "$" at
// the end) holds nothing to store and is passed over without asking anything.

#include <QString>
#include <QStringView>
#include <array>
#include <functional>
#include <optional>

namespace qm::import {

enum class BatchFormat { Old, New };

// The dialect named by the text's header: "题库" is tested first, then "新题库".
std::optional<BatchFormat> detectFormat(QStringView text);

// A batch file read whole and checked, or why it cannot be imported.
struct BatchFile {
    std::optional<BatchFormat> format;  // empty when the file cannot be imported
    QString text;                       // the whole file, decoded from GBK
    QString error;                      // the message to show when format is empty
};

// Reads a batch file as GBK text and tests its header. A file that is not a batch file
// gets the message "文件不是规定格式的！"; when it is one written as UTF-8 or UTF-16, the
// message says so on a second line and tells how to fix it. What readInputFile refuses (not
// an ordinary file, larger than 256 MB) is refused with its message, unread.
BatchFile readBatchFile(const QString& path);
// The same for bytes already in memory.
BatchFile batchFileFromBytes(const QByteArray& bytes);

// The five kinds of names, each with its table of codes.
enum class NameKind { Chapter, Unit, Type, Difficulty, Score };

// The current codes. Values outside a table (a sign in place of digits: "-1") are kept,
// and such a code has no table entry.
struct BatchCodes {
    int chapter = 0;
    int unit = 0;
    int type = 0;
    int difficulty = 0;
    int score = 0;
    int& operator[](NameKind kind);
    bool operator==(const BatchCodes&) const = default;
};

// One record of the file as written.
struct BatchRecord {
    BatchCodes codes;    // the current codes once this record's code has been read
    QString question;    // nothing trimmed
    QString answer;      // brace groups joined in order (new dialect); empty when none
    bool closed = true;  // false when the file ended inside the record
};

// The code-to-name tables of one run: chapters, units and scores 0-99, question types
// and difficulties 0-9; all empty at the start.
class NameTables {
public:
    // The entry for a code, or nullptr when the code lies outside the table.
    QString* entry(NameKind kind, int code);
    QString name(NameKind kind, int code) const;

private:
    std::array<QString, 100> m_chapters, m_units, m_scores;
    std::array<QString, 10> m_types, m_difficulties;
};

// Walks the body of a batch file record by record. Name entries met on the way are
// appended to names().
class BatchScanner {
public:
    BatchScanner(QString text, BatchFormat format);

    // The next record, or nothing at the end of the text.
    std::optional<BatchRecord> next();

    BatchFormat format() const { return m_format; }
    NameTables& names() { return m_names; }
    // How far the scan has come, in characters of the text (for a progress bar).
    qsizetype position() const { return m_pos; }
    qsizetype size() const { return m_text.size(); }

private:
    BatchRecord readOldRecord();
    BatchRecord readNewRecord();
    void readNameEntry();

    QString m_text;
    BatchFormat m_format;
    qsizetype m_pos;
    BatchCodes m_codes;
    NameTables m_names;
};

// A name the file does not give, asked of the user in an input box titled kImportTitle
// with an empty default.
struct NameRequest {
    NameKind kind;
    int code;
    QString prompt;  // "请输入下列题目的章节名称：CP1" CR LF question text (old dialect: no code)
};
// Answers a request; nothing (a cancelled box) counts as an empty answer.
using NameAsker = std::function<std::optional<QString>(const NameRequest&)>;

// A question ready to store.
struct ImportQuestion {
    QString chapter;
    QString type;
    QString difficulty;
    std::optional<QString> unit;  // the old dialect sets no unit
    QString scoreName;            // "1" in the old dialect
    double score = 1;             // the number the score name starts with
    QString question;             // plain text
    QString answer;               // plain text; " " when the record has none
};

// The questions of a batch file, with their names resolved.
class BatchImport {
public:
    BatchImport(QString text, BatchFormat format);

    // The next question, after asking for each name whose table entry is empty, in the
    // order chapter, difficulty, question type (new dialect: then score, unit). A
    // non-empty answer fills the table entry, so each code is asked once; an empty answer
    // leaves it empty and the next record with that code asks again. Returns nothing at
    // the end of the file.
    std::optional<ImportQuestion> next(const NameAsker& ask);

    BatchFormat format() const { return m_scanner.format(); }
    qsizetype position() const { return m_scanner.position(); }
    qsizetype size() const { return m_scanner.size(); }
    // Records passed over because they hold nothing.
    int emptyRecords() const { return m_empty; }
    // The message at the end of the run (title kTitleInfo, warning icon).
    QString endMessage() const;

private:
    QString resolve(NameKind kind, BatchRecord& record, const NameAsker& ask);

    BatchScanner m_scanner;
    int m_empty = 0;
};

}  // namespace qm::import
