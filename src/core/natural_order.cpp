#include "core/natural_order.h"

#include "core/gbk.h"

#include <QByteArray>
#include <algorithm>

namespace qm {

namespace {

// Values of Chinese numerals beyond this are taken as this (a name is no place for them).
constexpr quint64 kCap = 1'000'000'000'000'000'000ULL;

// Where a number sorts among single characters: as the digit 0 does.
constexpr unsigned kNumberKey = u'0';

enum class Run { None, Digits, Chinese };

int digitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'０' && c <= u'９')
        return c - u'０';
    return -1;
}

int chineseDigit(char16_t c)
{
    switch (c) {
    case u'〇':
    case u'零': return 0;
    case u'一': return 1;
    case u'二':
    case u'两': return 2;
    case u'三': return 3;
    case u'四': return 4;
    case u'五': return 5;
    case u'六': return 6;
    case u'七': return 7;
    case u'八': return 8;
    case u'九': return 9;
    default: return -1;
    }
}

quint64 chineseUnit(char16_t c)
{
    switch (c) {
    case u'十': return 10;
    case u'百': return 100;
    case u'千': return 1000;
    case u'万': return 10000;
    default: return 0;
    }
}

Run runAt(QStringView s, qsizetype i)
{
    const char16_t c = s[i].unicode();
    if (digitValue(c) >= 0)
        return Run::Digits;
    if (chineseDigit(c) >= 0 || chineseUnit(c))
        return Run::Chinese;
    return Run::None;
}

quint64 capped(quint64 a, quint64 factor, quint64 add)
{
    if (a > (kCap - add) / factor)
        return kCap;
    return a * factor + add;
}

// The value of a run of Chinese numerals.
quint64 chineseValue(QStringView run)
{
    const bool units = std::any_of(run.begin(), run.end(), [](QChar c) { return chineseUnit(c.unicode()) != 0; });
    quint64 total = 0;
    if (!units) {
        // 二〇二四: digit by digit.
        for (QChar c : run)
            total = capped(total, 10, quint64(chineseDigit(c.unicode())));
        return total;
    }
    // 三万五千零二十: each unit multiplies the digit before it (一 when there is none, as
    // in 十一 or 万); 万 multiplies all that stands before it.
    quint64 section = 0;
    quint64 digit = 0;
    bool haveDigit = false;
    for (QChar c : run) {
        const char16_t u = c.unicode();
        if (const int d = chineseDigit(u); d >= 0) {
            digit = quint64(d);
            haveDigit = true;
            continue;
        }
        const quint64 unit = chineseUnit(u);
        if (unit == 10000) {
            const quint64 before = std::min(total + section + digit, kCap);
            total = capped(before ? before : 1, unit, 0);
            section = 0;
        } else {
            section = std::min(section + (haveDigit ? digit : 1) * unit, kCap);
        }
        digit = 0;
        haveDigit = false;
    }
    return std::min(total + section + digit, kCap);
}

// A number read from a name: its value as decimal digits without leading zeros (0 is
// empty), so that values of any length compare by length, then digit by digit.
struct Number {
    QByteArray value;
    qsizetype end = 0;  // the position after it
};

Number readNumber(QStringView s, qsizetype i, Run kind)
{
    Number n;
    qsizetype end = i;
    while (end < s.size() && runAt(s, end) == kind)
        ++end;
    n.end = end;
    if (kind == Run::Digits) {
        for (qsizetype k = i; k < end; ++k) {
            const int d = digitValue(s[k].unicode());
            if (d != 0 || !n.value.isEmpty())
                n.value.append(char('0' + d));
        }
    } else if (const quint64 v = chineseValue(s.sliced(i, end - i))) {
        n.value = QByteArray::number(v);
    }
    return n;
}

int compareValues(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

// A character's place among characters: its GBK code; a character GBK lacks as '?'.
unsigned keyOf(QChar c)
{
    return gbkCode(c.unicode()).value_or(u'?');
}

int sign(qsizetype v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

}  // namespace

int naturalCompare(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        const Run ra = runAt(a, i);
        const Run rb = runAt(b, j);
        if (ra != Run::None && rb != Run::None) {
            const Number x = readNumber(a, i, ra);
            const Number y = readNumber(b, j, rb);
            if (const int c = compareValues(x.value, y.value))
                return c;
            i = x.end;
            j = y.end;
            continue;
        }
        const unsigned ka = ra != Run::None ? kNumberKey : keyOf(a[i]);
        const unsigned kb = rb != Run::None ? kNumberKey : keyOf(b[j]);
        if (ka != kb)
            return ka < kb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    // Alike but for how their numbers are written: the GBK bytes decide, then the
    // characters themselves.
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype k = 0; k < n; ++k)
        if (const unsigned ka = keyOf(a[k]), kb = keyOf(b[k]); ka != kb)
            return ka < kb ? -1 : 1;
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return sign(a.compare(b));
}

void sortNaturally(QStringList& names)
{
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return naturalLess(a, b); });
}

}  // namespace qm
