// A batch record that holds an answer but no question text is a question like any other.

#include "bankstore/bank_file.h"
#include "import/batch_parser.h"
#include "import/import_run.h"
#include "rtf/rich_text.h"
#include "support/qstring_print.h"
#include "support/temp_bank.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::import;

namespace {

const QString kFile = QStringLiteral("新题库&CP01第一章&\r\n&SZ1问答题&\r\n&LV1易&\r\n&PT01 2 &\r\n&DY01一单元&\r\n"
                                     "$CP01DY01SZ1LV1PT01{只有答案}$\r\n"
                                     "$CP01DY01SZ1LV1PT01{甲}{乙}$\r\n"
                                     "$CP01DY01SZ1LV1PT01$\r\n"  // nothing at all: passed over
                                     "$CP01DY01SZ1LV1PT01 题目$\r\n");

}  // namespace

TEST(BatchNew, ARecordWithOnlyAnAnswerIsKept)
{
    BatchImport batch(kFile, BatchFormat::New);
    QList<ImportQuestion> qs;
    int asked = 0;
    while (auto q = batch.next([&](const NameRequest&) {
        ++asked;
        return std::optional<QString>();
    }))
        qs << *q;
    EXPECT_EQ(asked, 0);
    ASSERT_EQ(qs.size(), 3);
    EXPECT_EQ(qs[0].question, QString());
    EXPECT_EQ(qs[0].answer, QStringLiteral("只有答案"));
    EXPECT_EQ(qs[0].chapter, QStringLiteral("第一章"));
    EXPECT_EQ(qs[0].score, 2.0);
    EXPECT_EQ(qs[1].question, QString());
    EXPECT_EQ(qs[1].answer, QStringLiteral("甲乙"));
    EXPECT_EQ(qs[2].question, QStringLiteral(" 题目"));
    EXPECT_EQ(batch.emptyRecords(), 1);
}

TEST(ImportRun, ARecordWithOnlyAnAnswerIsStored)
{
    test::TempBank b;
    BatchImport batch(kFile, BatchFormat::New);
    ImportRun run(b.path, batch);
    EXPECT_EQ(run.run({}), ImportOutcome::Finished);
    EXPECT_EQ(run.stored(), 3);
    const QList<Question> qs = b.questions();
    ASSERT_EQ(qs.size(), 3);
    EXPECT_EQ(rtfPlainText(qs[0].text), QString());
    EXPECT_EQ(rtfPlainText(qs[0].answer), QStringLiteral("只有答案"));
    EXPECT_EQ(QStringList({qs[0].chapter, qs[0].type, qs[0].difficulty, qs[0].unit}),
              QStringList({"第一章", "问答题", "易", "一单元"}));
    EXPECT_EQ(qs[0].score, 2.0);
    EXPECT_EQ(rtfPlainText(qs[1].answer), QStringLiteral("甲乙"));
    EXPECT_EQ(rtfPlainText(qs[2].text), QStringLiteral(" 题目"));
}
