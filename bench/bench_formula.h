#pragma once
// Formulas for the benchmarks: a real formula's WMF (QM_METAFILE_FIXTURES names its
// folder), varied so that each is a picture of its own, in RTF as a word processor writes
// a formula object.

#include "bench_text.h"

#include <QByteArray>
#include <QFile>

namespace qm::bench {

// The formula of tests/fixtures/metafiles/formula_libreoffice.wmf (the quadratic formula,
// as a formula object's WMF), its letters changed by `n` so that every n gives a picture of
// its own (n < 26 * 26).
inline QByteArray formulaWmf(int n)
{
    static const QByteArray base = [] {
        QFile f(QStringLiteral(QM_METAFILE_FIXTURES "/formula_libreoffice.wmf"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    QByteArray wmf = base;
    // The TEXTOUT records of "x" and of the first "b": count 1, the letter.
    const qsizetype x = wmf.indexOf(QByteArray("\x01\x00x\x00", 4));
    const qsizetype b = wmf.indexOf(QByteArray("\x01\x00b\x00", 4));
    if (x >= 0 && b >= 0) {
        wmf[x + 2] = char('a' + n % 26);
        wmf[b + 2] = char('a' + n / 26 % 26);
    }
    return wmf;
}

// The formula `n` as a word processor writes a formula object in RTF.
inline QByteArray formulaObjectRtf(int n)
{
    return "{\\object\\objemb{\\*\\objclass Equation.3}\\objw2004\\objh647{\\*\\objdata 0105}{\\result "
           "{\\pict\\wmetafile8\\picw3534\\pich1142\\picwgoal2004\\pichgoal647 "
           + formulaWmf(n).toHex() + "}}}";
}

// `text` with the formula `n` after it.
inline QByteArray gbkRtfWithFormula(const QString& text, int n)
{
    QByteArray rtf = gbkRtf(text);
    rtf.chop(5);  // "\par}"
    return rtf + formulaObjectRtf(n) + "\\par}";
}

}  // namespace qm::bench
