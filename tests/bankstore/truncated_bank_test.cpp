// A bank file cut short inside its last page, as a copy broken off half-way leaves it.

#include "bankstore/bank_file.h"
#include "support/temp_dirs.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

TEST(TruncatedBank, CutInsideTheLastPageIsRefusedAndLeftAlone)
{
    TempProgramDir dir(false);
    const QString whole = dir.file("完整.tik");
    ASSERT_TRUE(BankFile::createEmpty(whole));
    for (int i = 0; i < 6; ++i) {
        Question q;
        q.text = "{\\rtf1 " + QByteArray(3000, char('a' + i)) + "}";
        q.chapter = QStringLiteral("第一章");
        q.remark = QString::number(i);
        ASSERT_TRUE(BankFile(whole).add(q));
    }
    const QByteArray bytes = readAll(whole);
    ASSERT_EQ(bytes.size() % 4096, 0);
    ASSERT_GT(bytes.size(), 4 * 4096);

    const QString path = dir.file("截断.tik");
    const QString refusal =
        QStringLiteral("文件“") + QDir::toNativeSeparators(path) + QStringLiteral("”不完整或已损坏，无法打开。");
    for (const int cut : {1, 100, 2048, 4095}) {
        SCOPED_TRACE(cut);
        const QByteArray cutBytes = bytes.left(bytes.size() - cut);
        ASSERT_TRUE(writeAll(path, cutBytes));
        BankFile bank(path);
        QString error;
        EXPECT_FALSE(bank.check(&error));
        EXPECT_EQ(error, refusal);
        error.clear();
        EXPECT_FALSE(bank.count(&error));
        EXPECT_EQ(error, refusal);
        EXPECT_FALSE(bank.read(-1));
        EXPECT_FALSE(bank.forEachQuestion([](int, const Question&) {}));
        // Nothing is written to it, and it is not taken in by another bank.
        EXPECT_FALSE(bank.add(Question{}));
        EXPECT_FALSE(bank.appendToList(AttributeList::Chapters, QStringLiteral("第二章")));
        error.clear();
        EXPECT_FALSE(BankFile(whole).mergeFrom(path, &error));
        EXPECT_EQ(error, refusal);
        EXPECT_EQ(readAll(path), cutBytes);
        EXPECT_FALSE(QFile::exists(path + "-journal"));
    }
    EXPECT_EQ(BankFile(whole).count(), 6);
    EXPECT_EQ(readAll(whole), bytes);
}
