#pragma once
// Banks for the composition windows' tests: questions of given kinds whose text names their
// kind and number ("选择题 易 第2题") and whose answer says whose it is.

#include "bankstore/bank_file.h"
#include "rtf/rich_text.h"

#include <gtest/gtest.h>

namespace qm::test {

struct Kind {
    QString type, chapter, unit, difficulty;
    double score;
    int count;
};

inline void makeKindsBank(const QString& path, const QList<Kind>& kinds)
{
    ASSERT_TRUE(BankFile::createEmpty(path));
    BankFile bank(path);
    for (const Kind& k : kinds)
        for (int i = 1; i <= k.count; ++i) {
            Question q;
            q.type = k.type;
            q.chapter = k.chapter;
            q.unit = k.unit;
            q.difficulty = k.difficulty;
            q.score = k.score;
            q.text = rtfFromPlainText(QStringLiteral("%1 %2 第%3题").arg(k.type, k.difficulty).arg(i));
            q.answer = rtfFromPlainText(QStringLiteral("%1答%2").arg(k.type).arg(i));
            ASSERT_TRUE(bank.add(q));
        }
}

}  // namespace qm::test
