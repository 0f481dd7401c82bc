#include "paper/assembly.h"

#include "bankstore/bank_file.h"
#include "core/numbers.h"
#include "paper/fragments.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"

#include <QDir>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace qm::paper {

namespace {

QTextCharFormat textFormat(const QString& family)
{
    QTextCharFormat f;
    f.setFontFamilies({family});
    f.setFontPointSize(10.5);
    f.setFontWeight(QFont::Normal);
    f.setFontUnderline(false);
    return f;
}

// Headings and number lines start at the left whatever the paragraph before them was.
QTextBlockFormat leftParagraph()
{
    QTextBlockFormat f;
    f.setAlignment(Qt::AlignLeft);
    return f;
}

// "(20%)" after a heading or a number when the value is above 0, else nothing.
QString share(const QString& value)
{
    return Val(value) > 0 ? QStringLiteral("(") + value + QStringLiteral("%)") : QString();
}

// A copy of the header, pictures included, with a cursor at its end.
std::unique_ptr<QTextDocument> copyOf(const QTextDocument& header)
{
    std::unique_ptr<QTextDocument> doc(header.clone());
    restoreImageResources(doc.get(), 0, doc->characterCount(), &header);
    return doc;
}

// Writes the parts of both documents at their cursors.
class TwoDocuments {
public:
    TwoDocuments(QTextDocument& paper, QTextDocument& answers)
        : m_paper(&paper), m_answers(&answers), m_hei(textFormat(QStringLiteral("黑体"))),
          m_song(textFormat(QStringLiteral("宋体")))
    {
        m_paper.movePosition(QTextCursor::End);
        m_answers.movePosition(QTextCursor::End);
    }

    void section(const QString& heading, const QTextDocument& graderBox)
    {
        for (QTextCursor* c : {&m_paper, &m_answers}) {
            c->setBlockFormat(leftParagraph());
            c->insertText(heading, m_hei);
            c->insertBlock(leftParagraph(), m_hei);
            insertTable(*c, graderBox);
            c->insertBlock(leftParagraph(), m_hei);
        }
    }

    // A heading on a line of its own, without the grader box.
    void heading(const QString& heading)
    {
        for (QTextCursor* c : {&m_paper, &m_answers}) {
            c->setBlockFormat(leftParagraph());
            c->insertText(heading, m_hei);
            c->insertBlock(leftParagraph(), m_song);
        }
    }

    // The number line, and on the same line the question's text; the answer sheet then
    // has the answer marker and the answer on a line of their own.
    void question(const QString& numberLine, const QTextDocument& text, const QTextDocument& answer,
                  const QString& answerMarker = QStringLiteral("答:"))
    {
        for (QTextCursor* c : {&m_paper, &m_answers}) {
            c->setBlockFormat(leftParagraph());
            c->insertText(numberLine, m_song);
            insertDocument(*c, text);
            c->insertBlock(leftParagraph(), m_song);
        }
        m_answers.insertText(answerMarker, m_hei);
        insertDocument(m_answers, answer);
        m_answers.insertBlock(leftParagraph(), m_song);
    }

    // A number line with nothing after it.
    void numberOnly(const QString& numberLine)
    {
        for (QTextCursor* c : {&m_paper, &m_answers}) {
            c->setBlockFormat(leftParagraph());
            c->insertText(numberLine, m_song);
            c->insertBlock(leftParagraph(), m_song);
        }
    }

    // The assembly is no step the teacher could undo: the documents start with an empty
    // undo history, and none is recorded meanwhile.
    void begin()
    {
        for (QTextCursor* c : {&m_paper, &m_answers}) {
            c->document()->setUndoRedoEnabled(false);
            c->beginEditBlock();
        }
    }
    void end()
    {
        for (QTextCursor* c : {&m_paper, &m_answers}) {
            c->endEditBlock();
            c->document()->setUndoRedoEnabled(true);
        }
    }

private:
    QTextCursor m_paper;
    QTextCursor m_answers;
    QTextCharFormat m_hei;
    QTextCharFormat m_song;
};

// What precedes the answer in the answer sheet of a paper composed by hand.
const QString kAnswerMarker = QStringLiteral("答：");

std::nullopt_t fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return std::nullopt;
}

}  // namespace

int sectionCount(const QList<compose::ComposedRow>& rows)
{
    int sections = 0;
    for (qsizetype i = 0; i < rows.size(); ++i)
        if (i == 0 || rows[i].type != rows[i - 1].type)
            ++sections;
    return sections;
}

std::optional<AssembledPaper> assemblePaper(const QString& bankPath, const QString& templatePath,
                                            const QTextDocument& header, const QList<compose::ComposedRow>& rows,
                                            QString* error)
{
    if (sectionCount(rows) > compose::kMaxSections)
        return fail(error, QStringLiteral("试卷最多只能有九个大题（题型）！"));
    QString why;
    const std::optional<QByteArray> graderRtf = loadGraderBox(templatePath, &why);
    if (!graderRtf)
        return fail(error,
                    QStringLiteral("无法从模板“%1”读取阅卷人表：%2").arg(QDir::toNativeSeparators(templatePath), why));
    // Every question of the paper in one read of the bank.
    QList<qint64> ids;
    ids.reserve(rows.size());
    for (const compose::ComposedRow& row : rows)
        ids << row.id;
    const std::optional<QHash<qint64, Question>> questions = BankFile(bankPath).readByIds(ids, error);
    if (!questions)
        return std::nullopt;

    QTextDocument graderBox;
    RtfReader::read(*graderRtf, &graderBox);
    AssembledPaper result;
    result.paper = copyOf(header);
    result.answers = copyOf(header);
    TwoDocuments out(*result.paper, *result.answers);
    out.begin();
    int section = 0;
    QTextDocument text;
    QTextDocument answer;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const compose::ComposedRow& row = rows[i];
        if (i == 0 || row.type != rows[i - 1].type) {
            ++section;
            out.section(compose::sectionNumeral(section) + row.type + share(row.sectionTotal), graderBox);
        }
        const auto found = questions->constFind(row.id);
        if (found == questions->constEnd()) {
            result.missing << MissingQuestion{section, row.type, row.number, row.id};
            continue;
        }
        RtfReader::read(found->text, &text);
        RtfReader::read(found->answer, &answer);
        out.question(QString::number(row.number) + QLatin1Char('.') + share(row.questionScore), text, answer);
    }
    out.end();
    return result;
}

void appendPick(QTextDocument& paper, QTextDocument& answers, const QString& label, const QTextDocument& question,
                const QTextDocument& answer)
{
    TwoDocuments out(paper, answers);
    out.begin();
    out.question(label, question, answer, kAnswerMarker);
    out.end();
}

std::optional<AssembledPaper> rebuildPaper(const QString& bankPath, const QTextDocument& header,
                                           const QList<compose::ArrangedQuestion>& questions, QString* error)
{
    QList<qint64> ids;
    ids.reserve(questions.size());
    for (const compose::ArrangedQuestion& q : questions)
        ids << q.id;
    // Without picks there is nothing to read: the paper is the header alone.
    const std::optional<QHash<qint64, Question>> found =
        ids.isEmpty() ? QHash<qint64, Question>() : BankFile(bankPath).readByIds(ids, error);
    if (!found)
        return std::nullopt;

    AssembledPaper result;
    result.paper = copyOf(header);
    result.answers = copyOf(header);
    TwoDocuments out(*result.paper, *result.answers);
    out.begin();
    QTextDocument text;
    QTextDocument answer;
    for (qsizetype i = 0; i < questions.size(); ++i) {
        const compose::ArrangedQuestion& q = questions[i];
        if (i == 0 || q.section != questions[i - 1].section)
            out.heading(compose::sectionNumeral(q.section) + q.type);
        const QString number = QString::number(q.number) + QLatin1Char('.');
        const auto question = found->constFind(q.id);
        if (question == found->constEnd()) {
            // The heading and the number stay, so the numbers of the others do too.
            out.numberOnly(number);
            result.missing << MissingQuestion{q.section, q.type, q.number, q.id};
            continue;
        }
        RtfReader::read(question->text, &text);
        RtfReader::read(question->answer, &answer);
        out.question(number, text, answer, kAnswerMarker);
    }
    out.end();
    return result;
}

QString missingQuestionsMessage(const QList<MissingQuestion>& missing)
{
    if (missing.isEmpty())
        return {};
    QString message = QStringLiteral("以下题目已从题库中删除，未放入试卷：");
    for (const MissingQuestion& m : missing)
        message +=
            QLatin1Char('\n') + compose::sectionNumeral(m.section) + m.type + QStringLiteral(" 第%1题").arg(m.number);
    return message;
}

}  // namespace qm::paper
