#include "import/batch_parser.h"

#include "core/gbk.h"
#include "core/input_file.h"
#include "core/numbers.h"
#include "import/import_texts.h"

#include <QDir>
#include <QStringEncoder>
#include <new>

namespace qm::import {

namespace {

const QString kOldHeader = QStringLiteral("题库");
const QString kNewHeader = QStringLiteral("新题库");

// Characters `len` long from the 1-based position `pos` of `s`, clipped to its end.
QStringView mid(QStringView s, qsizetype pos, qsizetype len)
{
    const qsizetype from = pos - 1;
    if (from < 0 || from >= s.size())
        return {};
    return s.mid(from, std::min(len, s.size() - from));
}

// True when the two characters at 1-based `pos` are the tag, letters in any case.
bool tagAt(QStringView s, qsizetype pos, const char* tag)
{
    const QStringView t = mid(s, pos, 2);
    return t.size() == 2 && t.compare(QLatin1String(tag, 2), Qt::CaseInsensitive) == 0;
}

// The tags of the new dialect, with the number of code digits each takes.
struct Tag {
    const char* letters;
    NameKind kind;
    int digits;
};
const Tag kTags[] = {
    {"CP", NameKind::Chapter, 2}, {"DY", NameKind::Unit, 2},       {"PT", NameKind::Score, 2},
    {"SZ", NameKind::Type, 1},    {"LV", NameKind::Difficulty, 1},
};

const Tag* newTagAt(QStringView s, qsizetype pos)
{
    for (const Tag& t : kTags)
        if (tagAt(s, pos, t.letters))
            return &t;
    return nullptr;
}

// The value of code characters: the number they read as, to the nearest whole number.
int codeValue(QStringView s, qsizetype pos, qsizetype len)
{
    return int(roundHalfEven(Val(mid(s, pos, len))));
}

// Bytes with which a file written in another Unicode encoding begins.
struct Encoding {
    const char* name;
    const char* bom;
    QStringConverter::Encoding encoding;
};
const Encoding kUnicodeEncodings[] = {
    {"UTF-8", "\xEF\xBB\xBF", QStringConverter::Utf8},
    {"UTF-16", "\xFF\xFE", QStringConverter::Utf16LE},
    {"UTF-16", "\xFE\xFF", QStringConverter::Utf16BE},
};

// The name of the Unicode encoding the file is written in, when it shows one: a byte
// order mark, or a batch-file header in that encoding.
const char* unicodeEncoding(const QByteArray& bytes)
{
    for (const Encoding& e : kUnicodeEncodings) {
        if (bytes.startsWith(e.bom))
            return e.name;
        QStringEncoder enc(e.encoding);
        if (bytes.startsWith(QByteArray(enc.encode(kOldHeader)))
            || bytes.startsWith(QByteArray(enc.encode(kNewHeader))))
            return e.name;
    }
    return nullptr;
}

}  // namespace

std::optional<BatchFormat> detectFormat(QStringView text)
{
    if (text.startsWith(kOldHeader))
        return BatchFormat::Old;
    if (text.startsWith(kNewHeader))
        return BatchFormat::New;
    return std::nullopt;
}

BatchFile batchFileFromBytes(const QByteArray& bytes)
{
    BatchFile file;
    file.text = gbkDecode(bytes);
    file.format = detectFormat(file.text);
    if (file.format)
        return file;
    file.text.clear();
    file.error = kNotBatchFile;
    if (const char* encoding = unicodeEncoding(bytes))
        file.error += QStringLiteral("\r\n文件是%1编码的文本，请将它另存为GBK（ANSI）编码的纯文本后再导入。")
                          .arg(QLatin1String(encoding));
    return file;
}

BatchFile readBatchFile(const QString& path)
{
    BatchFile file;
    const std::optional<QByteArray> bytes = readInputFile(path, &file.error);
    if (!bytes)
        return file;
    try {
        return batchFileFromBytes(*bytes);
    } catch (const std::bad_alloc&) {
        file.error = QStringLiteral("内存不足，无法读取文件“%1”！").arg(QDir::toNativeSeparators(path));
    }
    return file;
}

int& BatchCodes::operator[](NameKind kind)
{
    switch (kind) {
    case NameKind::Chapter: return chapter;
    case NameKind::Unit: return unit;
    case NameKind::Type: return type;
    case NameKind::Difficulty: return difficulty;
    case NameKind::Score: break;
    }
    return score;
}

QString* NameTables::entry(NameKind kind, int code)
{
    auto pick = [code](auto& table) -> QString* {
        return code >= 0 && code < int(table.size()) ? &table[size_t(code)] : nullptr;
    };
    switch (kind) {
    case NameKind::Chapter: return pick(m_chapters);
    case NameKind::Unit: return pick(m_units);
    case NameKind::Type: return pick(m_types);
    case NameKind::Difficulty: return pick(m_difficulties);
    case NameKind::Score: return pick(m_scores);
    }
    return nullptr;
}

QString NameTables::name(NameKind kind, int code) const
{
    const QString* e = const_cast<NameTables*>(this)->entry(kind, code);
    return e ? *e : QString();
}

BatchScanner::BatchScanner(QString text, BatchFormat format)
    : m_text(std::move(text)), m_format(format), m_pos(format == BatchFormat::Old ? 2 : 3)
{
    m_pos = std::min(m_pos, m_text.size());
}

std::optional<BatchRecord> BatchScanner::next()
{
    const bool isNew = m_format == BatchFormat::New;
    while (m_pos < m_text.size()) {
        const QChar c = m_text[m_pos];
        if (c == u'$')
            return isNew ? readNewRecord() : readOldRecord();
        if (isNew && c == u'&')
            readNameEntry();
        else
            ++m_pos;
    }
    return std::nullopt;
}

// "$", 10 code characters, the question text up to the next "$".
BatchRecord BatchScanner::readOldRecord()
{
    const QStringView text(m_text);
    const QStringView code = text.mid(m_pos + 1).left(10);
    const qsizetype body = std::min(m_pos + 11, text.size());

    // The code is decoded by its first tag; the other two are looked for where the
    // documented layouts put them.
    BatchCodes& c = m_codes;
    if (tagAt(code, 1, "CP")) {
        c.chapter = codeValue(code, 3, 2);
        if (tagAt(code, 5, "SZ")) {
            c.type = codeValue(code, 7, 1);
            c.difficulty = codeValue(code, 10, 1);
        } else if (tagAt(code, 5, "LV")) {
            c.difficulty = codeValue(code, 7, 1);
            c.type = codeValue(code, 10, 1);
        }
    } else if (tagAt(code, 1, "SZ")) {
        c.type = codeValue(code, 3, 1);
        if (tagAt(code, 4, "CP")) {
            c.chapter = codeValue(code, 6, 2);
            c.difficulty = codeValue(code, 10, 1);
        } else if (tagAt(code, 4, "LV")) {
            c.difficulty = codeValue(code, 6, 1);
            c.chapter = codeValue(code, 9, 2);
        }
    } else if (tagAt(code, 1, "LV")) {
        c.difficulty = codeValue(code, 3, 1);
        if (tagAt(code, 4, "CP")) {
            c.chapter = codeValue(code, 6, 2);
            c.type = codeValue(code, 10, 1);
        } else if (tagAt(code, 4, "SZ")) {
            c.type = codeValue(code, 6, 1);
            c.chapter = codeValue(code, 9, 2);
        }
    }

    BatchRecord r;
    r.codes = m_codes;
    const qsizetype close = m_text.indexOf(u'$', body);
    r.closed = close >= 0;
    const qsizetype end = r.closed ? close : text.size();
    r.question = text.mid(body, end - body).toString();
    m_pos = r.closed ? close + 1 : text.size();
    return r;
}

// "$", 18 code characters, the question with answers in braces up to the next "$" that
// stands outside braces.
BatchRecord BatchScanner::readNewRecord()
{
    const QStringView text(m_text);
    const QStringView code = text.mid(m_pos + 1).left(18);
    for (qsizetype p = 1; p <= 18;) {
        if (const Tag* t = newTagAt(code, p)) {
            m_codes[t->kind] = codeValue(code, p + 2, t->digits);
            p += 2 + t->digits;
        } else {
            ++p;
        }
    }

    BatchRecord r;
    r.codes = m_codes;
    r.closed = false;
    bool inBraces = false;
    qsizetype from = std::min(m_pos + 19, text.size());
    qsizetype i = from;
    for (; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (inBraces) {
            if (ch == u'}') {
                r.answer += text.mid(from, i - from);
                inBraces = false;
                from = i + 1;
            }
        } else if (ch == u'{' || ch == u'$') {
            r.question += text.mid(from, i - from);
            from = i + 1;
            if (ch == u'$') {
                r.closed = true;
                break;
            }
            inBraces = true;
        }
    }
    if (!r.closed)
        (inBraces ? r.answer : r.question) += text.mid(from);
    m_pos = r.closed ? i + 1 : text.size();
    return r;
}

// "&", a tag, its code digits, the name up to the next "&". The character behind the
// closing "&" (normally the line's carriage return) is passed over unexamined.
void BatchScanner::readNameEntry()
{
    const QStringView text(m_text);
    // 1-based positions: "&" stands at m_pos + 1, the tag at m_pos + 2.
    const Tag* t = newTagAt(text, m_pos + 2);
    if (!t) {
        ++m_pos;
        return;
    }
    const int code = codeValue(text, m_pos + 4, t->digits);
    const qsizetype from = std::min(m_pos + 3 + t->digits, text.size());
    const qsizetype close = m_text.indexOf(u'&', from);
    const qsizetype end = close >= 0 ? close : text.size();
    if (QString* e = m_names.entry(t->kind, code))
        *e += text.mid(from, end - from);
    m_pos = close >= 0 ? std::min(close + 2, text.size()) : text.size();
}

BatchImport::BatchImport(QString text, BatchFormat format) : m_scanner(std::move(text), format) {}

QString BatchImport::endMessage() const
{
    return format() == BatchFormat::Old ? kEndOld : kEndNew;
}

QString BatchImport::resolve(NameKind kind, BatchRecord& record, const NameAsker& ask)
{
    const int code = record.codes[kind];
    QString* entry = m_scanner.names().entry(kind, code);
    if (entry && !entry->isEmpty())
        return *entry;

    static const struct {
        NameKind kind;
        const char16_t* lead;
        const char* tag;
    } kPrompts[] = {
        {NameKind::Chapter, u"请输入下列题目的章节名称：", "CP"},
        {NameKind::Difficulty, u"请输入下列题目的难度等级：", "LV"},
        {NameKind::Type, u"请输入下列题目的题目类型：", "SZ"},
        {NameKind::Score, u"请输入下列题目的题目分值：", "PT"},
        {NameKind::Unit, u"请输入下列题目的单元名称：", "DY"},
    };
    NameRequest request{kind, code, {}};
    for (const auto& p : kPrompts) {
        if (p.kind != kind)
            continue;
        request.prompt = QString::fromUtf16(p.lead);
        if (format() == BatchFormat::New)
            request.prompt += QLatin1String(p.tag) + QString::number(code);
    }
    request.prompt += QStringLiteral("\r\n") + record.question;

    // A code outside its table has no entry to keep the answer in: it serves this
    // record only, and the next record with that code asks again.
    const QString answer = ask ? ask(request).value_or(QString()) : QString();
    if (entry)
        *entry = answer;
    return answer;
}

std::optional<ImportQuestion> BatchImport::next(const NameAsker& ask)
{
    std::optional<BatchRecord> record = m_scanner.next();
    for (; record && record->question.isEmpty() && record->answer.isEmpty(); record = m_scanner.next())
        ++m_empty;
    if (!record)
        return std::nullopt;

    ImportQuestion q;
    q.chapter = resolve(NameKind::Chapter, *record, ask);
    q.difficulty = resolve(NameKind::Difficulty, *record, ask);
    q.type = resolve(NameKind::Type, *record, ask);
    if (format() == BatchFormat::Old) {
        q.scoreName = QStringLiteral("1");
        q.answer = QStringLiteral(" ");
    } else {
        q.scoreName = resolve(NameKind::Score, *record, ask);
        q.unit = resolve(NameKind::Unit, *record, ask);
        q.answer = record->answer.isEmpty() ? QStringLiteral(" ") : record->answer;
    }
    q.score = Val(q.scoreName);
    q.question = std::move(record->question);
    return q;
}

}  // namespace qm::import
