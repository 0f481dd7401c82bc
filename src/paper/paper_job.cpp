#include "paper/paper_job.h"

#include "bankstore/bank_file.h"
#include "core/numbers.h"
#include "paper/fragments.h"
#include "paper/header.h"
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
    TwoDocuments(QTextDocument& paper, QTextDocument& answers, const QString& answerMarker)
        : m_paper(&paper), m_answers(&answers), m_hei(textFormat(QStringLiteral("黑体"))),
          m_song(textFormat(QStringLiteral("宋体"))), m_answerMarker(answerMarker)
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
    void question(const QString& numberLine, const QTextDocument& text, const QTextDocument& answer)
    {
        for (QTextCursor* c : {&m_paper, &m_answers}) {
            c->setBlockFormat(leftParagraph());
            c->insertText(numberLine, m_song);
            insertDocument(*c, text);
            c->insertBlock(leftParagraph(), m_song);
        }
        m_answers.insertText(m_answerMarker, m_hei);
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
    QString m_answerMarker;
};

std::nullopt_t fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return std::nullopt;
}

}  // namespace

std::optional<AssembledPaper> makePaper(const PaperJob& job, QString* error)
{
    const PaperStyle& style = job.style;
    if (job.sections.size() > style.maxSections)
        return fail(error, style.maxSections == selection::kMaxSections
                               ? QStringLiteral("试卷最多只能有九个大题（题型）！")
                               : QStringLiteral("试卷最多只能有二十个大题（题型）！"));
    QTextDocument graderBox;
    if (style.graderBoxes && !job.sections.isEmpty()) {
        QString why;
        const std::optional<QByteArray> graderRtf = loadGraderBox(job.templatePath, &why);
        if (!graderRtf)
            return fail(
                error,
                QStringLiteral("无法从模板“%1”读取阅卷人表：%2").arg(QDir::toNativeSeparators(job.templatePath), why));
        RtfReader::read(*graderRtf, &graderBox);
    }
    // Every question of a bank in one read of that bank.
    QHash<QString, QList<qint64>> idsByBank;
    for (const PaperSection& section : job.sections)
        for (const PaperQuestion& q : section.questions)
            idsByBank[q.bankPath] << q.id;
    QHash<QString, QHash<qint64, Question>> questions;
    for (auto it = idsByBank.cbegin(); it != idsByBank.cend(); ++it) {
        std::optional<QHash<qint64, Question>> read = BankFile(it.key()).readByIds(it.value(), error);
        if (!read)
            return std::nullopt;
        questions.insert(it.key(), std::move(*read));
    }

    // The header, its scoring table laid out for the sections of this paper.
    QTextDocument built;
    const QTextDocument* header = job.header;
    if (!header && job.settings) {
        const int types = int(job.sections.size());
        // Without the template the header still gets a table of the right size.
        const QByteArray table =
            loadScoringTable(job.templatePath, types).value_or(scoringTableRtf(std::max(types, 1)));
        buildHeader(built, *job.settings, job.bankFileName, table);
        header = &built;
    }
    AssembledPaper result;
    if (header) {
        const std::unique_ptr<QTextDocument> fitted = fittedHeader(*header, int(job.sections.size()), job.templatePath);
        result.paper = copyOf(*fitted);
        result.answers = copyOf(*fitted);
    } else {
        result.paper = std::make_unique<QTextDocument>();
        result.answers = std::make_unique<QTextDocument>();
    }

    TwoDocuments out(*result.paper, *result.answers, style.answerMarker);
    out.begin();
    QTextDocument text;
    QTextDocument answer;
    for (int s = 0; s < job.sections.size(); ++s) {
        const PaperSection& section = job.sections[s];
        const QString heading = selection::sectionNumeral(s + 1) + section.type + share(section.total);
        if (style.graderBoxes)
            out.section(heading, graderBox);
        else
            out.heading(heading);
        for (int i = 0; i < section.questions.size(); ++i) {
            const PaperQuestion& q = section.questions[i];
            const QString numberLine = QString::number(i + 1) + QLatin1Char('.') + share(q.score);
            const QHash<qint64, Question>& bank = questions[q.bankPath];
            const auto found = bank.constFind(q.id);
            if (found == bank.constEnd()) {
                result.missing << MissingQuestion{s + 1, section.type, i + 1, q.id};
                // By hand the number stays, so the numbers of the others do too.
                if (style.missingKeepsNumber)
                    out.numberOnly(numberLine);
                continue;
            }
            RtfReader::read(found->text, &text);
            RtfReader::read(found->answer, &answer);
            out.question(numberLine, text, answer);
        }
    }
    out.end();
    return result;
}

QList<PaperSection> sectionsOfDraw(const QString& bankPath, const QList<selection::ComposedRow>& rows)
{
    QList<PaperSection> sections;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const selection::ComposedRow& row = rows[i];
        if (i == 0 || row.type != rows[i - 1].type)
            sections.append({row.type, row.sectionTotal, {}});
        sections.last().questions.append({bankPath, row.id, row.questionScore});
    }
    return sections;
}

QList<PaperSection> sectionsOfPicks(const QList<selection::ArrangedQuestion>& questions)
{
    QList<PaperSection> sections;
    for (qsizetype i = 0; i < questions.size(); ++i) {
        const selection::ArrangedQuestion& q = questions[i];
        if (i == 0 || q.section != questions[i - 1].section)
            sections.append({q.type, QString(), {}});
        sections.last().questions.append({q.bankPath, q.id, QString()});
    }
    return sections;
}

std::unique_ptr<QTextDocument> fittedHeader(const QTextDocument& header, int sections, const QString& templatePath)
{
    std::unique_ptr<QTextDocument> fitted = copyOf(header);
    const int types = scoringTableTypes(header);
    if (sections > 0 && types >= 0 && types != sections) {
        // Without the template the paper still gets a table of the right size.
        const QByteArray table = loadScoringTable(templatePath, sections).value_or(scoringTableRtf(sections));
        replaceScoringTable(*fitted, table);
    }
    return fitted;
}

void appendPick(QTextDocument& paper, QTextDocument& answers, const QString& label, const QTextDocument& question,
                const QTextDocument& answer)
{
    TwoDocuments out(paper, answers, PaperStyle::manual().answerMarker);
    out.begin();
    out.question(label, question, answer);
    out.end();
}

QString missingQuestionsMessage(const QList<MissingQuestion>& missing)
{
    if (missing.isEmpty())
        return {};
    QString message = QStringLiteral("以下题目已从题库中删除，未放入试卷：");
    for (const MissingQuestion& m : missing)
        message +=
            QLatin1Char('\n') + selection::sectionNumeral(m.section) + m.type + QStringLiteral(" 第%1题").arg(m.number);
    return message;
}

}  // namespace qm::paper
