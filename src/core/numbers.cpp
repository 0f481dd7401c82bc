#include "core/numbers.h"

#include <cfenv>
#include <cmath>

namespace qm {

double Val(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto isBlank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    while (i < n && isBlank(text[i]))
        ++i;
    QByteArray num;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        num.append(char(text[i++].unicode()));
    bool digits = false;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        num.append(char(text[i++].unicode()));
        digits = true;
    }
    if (i < n && text[i] == u'.') {
        num.append('.');
        ++i;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            num.append(char(text[i++].unicode()));
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    // An exponent counts only when digits follow it ("2e" is 2).
    if (i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        qsizetype j = i + 1;
        QByteArray exp("e");
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            exp.append(char(text[j++].unicode()));
        bool expDigits = false;
        while (j < n && text[j] >= u'0' && text[j] <= u'9') {
            exp.append(char(text[j++].unicode()));
            expDigits = true;
        }
        if (expDigits)
            num += exp;
    }
    const double v = std::strtod(num.constData(), nullptr);
    return std::isfinite(v) ? v : 0.0;
}

double roundHalfEven(double value, int digits)
{
    if (!std::isfinite(value))
        return value;
    const double scale = std::pow(10.0, digits);
    const double scaled = value * scale;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 4503599627370496.0)  // already whole
        return value;
    const int mode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(scaled);
    std::fesetround(mode);
    return r / scale;
}

QString numText(double value)
{
    if (value == 0.0)
        return QStringLiteral("0");
    return QString::number(value, 'g', 15);
}

}  // namespace qm
