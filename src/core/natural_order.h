#pragma once
// The order in which names are offered for choosing: a number inside a name compares by
// its value, so 第2章 comes before 第10章 and 第二章 before 第十章 and 第十一章; everything
// else compares by its GBK bytes, which puts common hanzi in pinyin order.
//
// Numbers are runs of digits (ASCII or full-width) or of Chinese numerals (〇 零 一 … 九 两
// 十 百 千 万, read as 一百零五 = 105, and as a row of digits when no 十 百 千 or 万 is among
// them: 二〇二四 = 2024). A number sorts where the digit 0 would among the other
// characters: after blanks and ASCII punctuation, before letters and hanzi. Names whose
// numbers are equal in value (第2章 and 第二章, 01 and 1) are told apart by their GBK
// bytes; only equal texts compare equal.

#include <QString>
#include <QStringList>

namespace qm {

// Negative, zero or positive as `a` sorts before, with or after `b`.
int naturalCompare(QStringView a, QStringView b);

inline bool naturalLess(QStringView a, QStringView b)
{
    return naturalCompare(a, b) < 0;
}

void sortNaturally(QStringList& names);

}  // namespace qm
