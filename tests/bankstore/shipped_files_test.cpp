// The files built from data/ and shipped beside the program.

#include "bankstore/bank_file.h"
#include "bankstore/paper_library.h"
#include "bankstore/user_store.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"
#include "support/temp_dirs.h"

#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>
#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

// The cell texts of the only table of an RTF document.
QList<QStringList> tableCells(const QByteArray& rtf)
{
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    QList<QStringList> rows;
    for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        for (int r = 0; r < table->rows(); ++r) {
            rows.append(QStringList());
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                QTextCursor cursor = cell.firstCursorPosition();
                cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
                rows.last() << cursor.selectedText();
            }
        }
    }
    return rows;
}

// What formatting the documents use, by kind of run.
struct Formatting {
    bool bold = false, subscript = false, superscript = false, underlinedBlank = false;
};

void collectFormatting(const QByteArray& rtf, Formatting& found)
{
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    for (QTextBlock b = doc.begin(); b != doc.end(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            found.bold |= f.fontWeight() == QFont::Bold;
            found.subscript |= f.verticalAlignment() == QTextCharFormat::AlignSubScript;
            found.superscript |= f.verticalAlignment() == QTextCharFormat::AlignSuperScript;
            found.underlinedBlank |= f.fontUnderline() && it.fragment().text().startsWith(QChar(0x3000));
        }
    }
}

}  // namespace

TEST(ShippedFiles, TemplateHoldsScoringTablesForOneToEightTypesAndTheGraderBox)
{
    BankFile tpl(shippedDir() + "qm.qm");
    EXPECT_EQ(tpl.count(), 0);
    EXPECT_TRUE(tpl.particulars());
    const QStringList numerals{"一", "二", "三", "四", "五", "六", "七", "八"};
    for (int k = 1; k <= 8; ++k) {
        const QList<QStringList> cells = tableCells(*tpl.scoringTable(k));
        ASSERT_EQ(cells.size(), 2) << k;
        EXPECT_EQ(cells[0], QStringList({"题号"}) + numerals.mid(0, k) + QStringList({"总分"}));
        EXPECT_EQ(cells[1], QStringList({"得分"}) + QStringList(k + 1, QString()));
    }
    EXPECT_FALSE(tpl.scoringTable(9));
    EXPECT_EQ(tableCells(*tpl.graderBox()), QList<QStringList>({{"得分", "阅卷人"}, {"", ""}}));
}

TEST(ShippedFiles, SampleBankIsARealBiologyBank)
{
    BankFile sample(shippedDir() + "sample.tik");
    const Particulars p = *sample.particulars();
    EXPECT_EQ(p.name, "题库样本－生物");
    for (const QString* field : {&p.speciality, &p.syllabus, &p.author, &p.reviewer, &p.firstUse})
        EXPECT_FALSE(field->isEmpty());

    const QStringList chapters = *sample.list(AttributeList::Chapters);
    EXPECT_GE(chapters.size(), 4);
    EXPECT_EQ(*sample.list(AttributeList::Types), QStringList({"单选题", "填空题", "判断题", "简答题"}));
    EXPECT_EQ(sample.list(AttributeList::Difficulties)->size(), 3);
    QSet<QString> types, difficulties, units;
    QSet<double> scores;
    QHash<QString, QSet<QString>> unitsOfChapter;
    Formatting found;
    int count = 0;
    ASSERT_TRUE(sample.forEachQuestion([&](int, const Question& q) {
        ++count;
        types << q.type;
        difficulties << q.difficulty;
        scores << q.score;
        unitsOfChapter[q.chapter] << q.unit;
        EXPECT_TRUE(chapters.contains(q.chapter)) << q.chapter.toStdString();
        EXPECT_FALSE(rtfPlainText(q.text).trimmed().isEmpty());
        EXPECT_FALSE(rtfPlainText(q.answer).trimmed().isEmpty()) << q.id;
        collectFormatting(q.text, found);
        collectFormatting(q.answer, found);
    }));
    EXPECT_GE(count, 40);
    EXPECT_EQ(types.size(), 4);
    EXPECT_EQ(difficulties.size(), 3);
    EXPECT_GE(scores.size(), 3);
    EXPECT_EQ(unitsOfChapter.size(), chapters.size());
    for (const QSet<QString>& u : unitsOfChapter)
        EXPECT_GE(u.size(), 2);
    EXPECT_TRUE(found.bold);
    EXPECT_TRUE(found.subscript);
    EXPECT_TRUE(found.superscript);
    EXPECT_TRUE(found.underlinedBlank);
}

TEST(ShippedFiles, UserFileHasTheAdministratorFirstAndTheLibraryIsEmpty)
{
    const auto users = UserStore(shippedDir() + "tiku.psw").users();
    ASSERT_TRUE(users);
    ASSERT_FALSE(users->isEmpty());
    EXPECT_EQ(users->first().name, "SYSTEM");
    EXPECT_EQ(users->first().password, "");
    EXPECT_EQ(PaperLibrary(shippedDir() + "jk.jk").count(), 0);
}
