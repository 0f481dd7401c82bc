#pragma once
// Numbers read and written the way the program's data files and boxes expect.

#include <QString>

namespace qm {

// The numeric value of the number a text starts with: leading blanks are skipped, an
// optional sign, digits, a decimal point and an exponent are taken, the rest is ignored.
// "2.5分" is 2.5, "-1" is -1, "abc" and "" are 0.
double Val(QStringView text);

// Rounds to `digits` decimals with halves going to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value, int digits = 0);

// The shortest decimal text of a number: "2", "1.5", "3.33", "-0.25"; no trailing zeros,
// no leading blank, at most 15 significant digits.
QString numText(double value);

}  // namespace qm
