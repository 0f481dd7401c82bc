#pragma once
// Banks for the composition tests: questions given by their attributes only, added in one
// transaction.

#include "bankstore/bank_file.h"
#include "support/temp_bank.h"

#include <gtest/gtest.h>

namespace qm::test {

inline Question attributes(const QString& type, const QString& chapter, const QString& unit, const QString& difficulty,
                           double score)
{
    Question q;
    q.text = "{\\rtf1 q}";
    q.type = type;
    q.chapter = chapter;
    q.unit = unit;
    q.difficulty = difficulty;
    q.score = score;
    return q;
}

// Appends the questions, `copies` times each, in order.
inline void addQuestions(const QString& path, const QList<Question>& questions, int copies = 1)
{
    QString error;
    const auto appender = BankAppender::open(path, &error);
    ASSERT_TRUE(appender) << error.toStdString();
    for (const Question& q : questions)
        for (int i = 0; i < copies; ++i)
            ASSERT_TRUE(appender->add(q, &error)) << error.toStdString();
    ASSERT_TRUE(appender->commit(&error)) << error.toStdString();
}

}  // namespace qm::test
