#include "core/delimited.h"

#include "core/gbk.h"
#include "core/numbers.h"

#include <QRegularExpression>

namespace qm {

void DelimitedWriter::text(const QString& value)
{
    m_text += QLatin1Char('"') + value + QLatin1Char('"') + QLatin1String("\r\n");
}

void DelimitedWriter::number(double value)
{
    m_text += numText(value) + QLatin1String("\r\n");
}

void DelimitedWriter::boolean(bool value)
{
    m_text += (value ? QLatin1String("#TRUE#") : QLatin1String("#FALSE#")) + QLatin1String("\r\n");
}

bool DelimitedWriter::save(const QString& path, QString* error) const
{
    return writeGbkFile(path, m_text, error);
}

DelimitedReader::DelimitedReader(QString content) : m_content(std::move(content)) {}

DelimitedReader DelimitedReader::fromFile(const QString& path)
{
    std::optional<QString> content = readGbkFile(path);
    DelimitedReader r(content.value_or(QString()));
    if (!content)
        r.m_error = QStringLiteral("无法读取文件：") + path;
    return r;
}

namespace {
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}
bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}
}  // namespace

std::optional<DelimitedReader::Item> DelimitedReader::peek() const
{
    const QString& s = m_content;
    const qsizetype n = s.size();
    qsizetype i = m_pos;
    while (i < n && isBlank(s[i]))
        ++i;
    if (i >= n)
        return std::nullopt;
    Item item;
    if (s[i] == u'"') {
        const qsizetype close = s.indexOf(u'"', i + 1);
        const qsizetype end = close < 0 ? n : close;
        item.value = s.mid(i + 1, end - i - 1);
        item.quoted = true;
        i = close < 0 ? n : close + 1;
        // Whatever follows the closing quote up to the delimiter is not part of the item.
        while (i < n && s[i] != u',' && !isLineEnd(s[i]))
            ++i;
    } else {
        qsizetype j = i;
        while (j < n && s[j] != u',' && !isLineEnd(s[j]))
            ++j;
        qsizetype end = j;
        while (end > i && isBlank(s[end - 1]))
            --end;
        item.value = s.mid(i, end - i);
        i = j;
    }
    // Step over the delimiter: a comma, or one line end (CR LF, LF or CR).
    if (i < n && s[i] == u',') {
        ++i;
    } else if (i < n && s[i] == u'\r') {
        ++i;
        if (i < n && s[i] == u'\n')
            ++i;
    } else if (i < n && s[i] == u'\n') {
        ++i;
    }
    item.next = i;
    return item;
}

bool DelimitedReader::atEnd() const
{
    return !peek().has_value();
}

std::optional<QString> DelimitedReader::text()
{
    const std::optional<Item> item = peek();
    if (!item) {
        m_error = QStringLiteral("文件内容不完整");
        return std::nullopt;
    }
    m_pos = item->next;
    return item->value;
}

std::optional<double> DelimitedReader::number()
{
    const std::optional<Item> item = peek();
    if (!item) {
        m_error = QStringLiteral("文件内容不完整");
        return std::nullopt;
    }
    static const QRegularExpression numeric(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eEdD][+-]?\\d+)?$"));
    const QString v = item->value.trimmed();
    if (v.isEmpty() || !numeric.match(v).hasMatch()) {
        m_error = QStringLiteral("此处应为数字：") + item->value;
        return std::nullopt;
    }
    m_pos = item->next;
    return Val(v);
}

std::optional<bool> DelimitedReader::boolean()
{
    const std::optional<Item> item = peek();
    if (!item) {
        m_error = QStringLiteral("文件内容不完整");
        return std::nullopt;
    }
    if (!item->quoted && item->value.compare(QLatin1String("#TRUE#"), Qt::CaseInsensitive) == 0) {
        m_pos = item->next;
        return true;
    }
    if (!item->quoted && item->value.compare(QLatin1String("#FALSE#"), Qt::CaseInsensitive) == 0) {
        m_pos = item->next;
        return false;
    }
    m_error = QStringLiteral("此处应为#TRUE#或#FALSE#：") + item->value;
    return std::nullopt;
}

}  // namespace qm
