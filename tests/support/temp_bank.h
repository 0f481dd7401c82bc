#pragma once
// An empty bank in a temporary directory, and questions made for tests.

#include "bankstore/bank_file.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qm::test {

struct TempBank {
    explicit TempBank(const QString& name = QStringLiteral("导入.tik")) : path(dir.filePath(name))
    {
        EXPECT_TRUE(BankFile::createEmpty(path));
    }
    BankFile bank() const { return BankFile(path); }
    QList<Question> questions() const
    {
        QList<Question> out;
        for (int i = 0; i < bank().count().value_or(0); ++i)
            out << bank().read(i)->question;
        return out;
    }
    QStringList list(AttributeList which) const { return *bank().list(which); }

    QTemporaryDir dir;
    QString path;
};

inline Question question(const QString& chapter, const QByteArray& text = {}, const QByteArray& answer = {})
{
    Question q;
    q.chapter = chapter;
    q.text = text;
    q.answer = answer;
    return q;
}

}  // namespace qm::test
