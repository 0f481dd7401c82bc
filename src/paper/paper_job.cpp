#include "paper/paper_job.h"

#include "bankstore/bank_file.h"
#include "core/numbers.h"
#include "paper/fragments.h"
#include "paper/header.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"

#include <QDir>
#include <QTextBlock>
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

// What a document of the paper is.
enum class Role { Paper, AnswerSheet, AnswerKey };

// Writes the parts of one document of the paper at its end: the paper, the answer sheet
// (the paper with the answers) or the answer key (the answers alone).
class DocumentWriter {
public:
    DocumentWriter(QTextDocument& doc, Role role, const PaperStyle& style, const QTextDocument& graderBox)
        : m_cursor(&doc), m_role(role), m_style(style), m_graderBox(graderBox),
          m_hei(textFormat(QStringLiteral("黑体"))), m_song(textFormat(QStringLiteral("宋体")))
    {
        m_cursor.movePosition(QTextCursor::End);
        // Making the paper is no step the teacher could undo: the document starts with an
        // empty undo history, and none is recorded meanwhile.
        doc.setUndoRedoEnabled(false);
        m_cursor.beginEditBlock();
    }
    ~DocumentWriter()
    {
        m_cursor.endEditBlock();
        m_cursor.document()->setUndoRedoEnabled(true);
    }

    void section(const QString& heading)
    {
        m_cursor.setBlockFormat(leftParagraph());
        m_cursor.insertText(heading, m_hei);
        if (m_style.graderBoxes && m_role != Role::AnswerKey) {
            m_cursor.insertBlock(leftParagraph(), m_hei);
            insertTable(m_cursor, m_graderBox);
            m_cursor.insertBlock(leftParagraph(), m_hei);
        } else {
            m_cursor.insertBlock(leftParagraph(), m_song);
        }
    }

    // The number line, and on the same line the question's text (in the key, the answer);
    // the paper then leaves the type's blank lines, the answer sheet has the answer marker
    // and the answer on a line of their own.
    void question(const QString& numberLine, const QString& type, const QTextDocument& text,
                  const QTextDocument& answer)
    {
        m_cursor.setBlockFormat(leftParagraph());
        m_cursor.insertText(numberLine, m_song);
        insertDocument(m_cursor, m_role == Role::AnswerKey ? answer : text);
        m_cursor.insertBlock(leftParagraph(), m_song);
        if (m_role == Role::Paper) {
            for (int i = 0; i < m_style.choices.linesAfter(type); ++i)
                m_cursor.insertBlock(leftParagraph(), m_song);
        } else if (m_role == Role::AnswerSheet) {
            m_cursor.insertText(m_style.answerMarker, m_hei);
            insertDocument(m_cursor, answer);
            m_cursor.insertBlock(leftParagraph(), m_song);
        }
    }

    // A number line with nothing after it.
    void numberOnly(const QString& numberLine)
    {
        m_cursor.setBlockFormat(leftParagraph());
        m_cursor.insertText(numberLine, m_song);
        m_cursor.insertBlock(leftParagraph(), m_song);
    }

private:
    QTextCursor m_cursor;
    Role m_role;
    const PaperStyle& m_style;
    const QTextDocument& m_graderBox;
    QTextCharFormat m_hei;
    QTextCharFormat m_song;
};

// The labels of a section and its questions in the chosen style.
struct Labels {
    QString heading;
    QStringList numbers;
};

Labels labelsOf(const PaperSection& section, int numeral, ScoreLabels style, bool key)
{
    Labels labels;
    const int n = int(section.questions.size());
    labels.heading = selection::sectionNumeral(numeral) + section.type;
    if (style == ScoreLabels::Percent && !key) {
        labels.heading += share(section.total);
        for (int i = 0; i < n; ++i)
            labels.numbers << QString::number(i + 1) + QLatin1Char('.') + share(section.questions[i].score);
        return labels;
    }
    // "（每小题2分，共20分）" when the questions are alike, else "（共20分）" and each
    // question its own "（5分）".
    QStringList scores;
    double sum = 0;
    for (const PaperQuestion& q : section.questions) {
        scores << (Val(q.score) > 0 ? q.score : QString());
        sum += Val(q.score);
    }
    const bool alike = n > 0 && !scores.first().isEmpty() && scores.count(scores.first()) == n;
    const bool allScored = n > 0 && !scores.contains(QString());
    const QString total = Val(section.total) > 0 ? section.total : allScored ? numText(sum) : QString();
    if (alike)
        labels.heading += QStringLiteral("（每小题%1分，共%2分）").arg(scores.first(), total);
    else if (!total.isEmpty())
        labels.heading += QStringLiteral("（共%1分）").arg(total);
    for (int i = 0; i < n; ++i) {
        QString number = QString::number(i + 1) + QChar(0xFF0E);
        if (!alike && !key && !scores[i].isEmpty())
            number += QStringLiteral("（%1分）").arg(scores[i]);
        labels.numbers << number;
    }
    return labels;
}

// The title of an answer key: the header's title lines (those before its first empty
// line), then "参考答案".
std::unique_ptr<QTextDocument> keyTitleOf(const QTextDocument& header)
{
    std::unique_ptr<QTextDocument> title = copyOf(header);
    QTextBlock b = title->begin();
    while (b.isValid() && b.length() > 1 && !QTextCursor(b).currentTable())
        b = b.next();
    QTextCursor cursor(title.get());
    if (b.isValid()) {
        // From the end of the last title line on.
        cursor.setPosition(std::max(b.position() - 1, 0));
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat bold = textFormat(QStringLiteral("黑体"));
    bold.setFontPointSize(14);
    bold.setFontWeight(QFont::Bold);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    if (!title->isEmpty())
        cursor.insertBlock(centred, bold);
    else
        cursor.setBlockFormat(centred);
    cursor.insertText(QStringLiteral("参考答案"), bold);
    cursor.insertBlock(leftParagraph(), textFormat(QStringLiteral("黑体")));
    return title;
}

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
    const auto questionOf = [&](const PaperQuestion& q) -> const Question* {
        const QHash<qint64, Question>& bank = questions[q.bankPath];
        const auto found = bank.constFind(q.id);
        return found == bank.constEnd() ? nullptr : &found.value();
    };
    // Questions picked by hand are labelled with the scores their bank gives them.
    QList<PaperSection> sections = job.sections;
    if (style.scoresFromBank) {
        for (PaperSection& section : sections) {
            double sum = 0;
            bool all = true;
            for (PaperQuestion& q : section.questions) {
                const Question* found = questionOf(q);
                if (found && found->score > 0 && q.score.isEmpty())
                    q.score = numText(found->score);
                all = all && Val(q.score) > 0;
                sum += Val(q.score);
            }
            if (section.total.isEmpty() && all && !section.questions.isEmpty())
                section.total = numText(sum);
        }
    }

    // The header, its scoring table laid out for the sections of this paper.
    QTextDocument built;
    const QTextDocument* header = job.header;
    if (!header && job.settings) {
        const int types = int(sections.size());
        // Without the template the header still gets a table of the right size.
        const QByteArray table =
            loadScoringTable(job.templatePath, types).value_or(scoringTableRtf(std::max(types, 1)));
        buildHeader(built, *job.settings, job.bankFileName, table);
        header = &built;
    }
    AssembledPaper result;
    const bool key = style.choices.answers == AnswerForm::Key;
    if (header) {
        const std::unique_ptr<QTextDocument> fitted = fittedHeader(*header, int(sections.size()), job.templatePath);
        result.paper = copyOf(*fitted);
        result.answers = key ? keyTitleOf(*fitted) : copyOf(*fitted);
    } else {
        result.paper = std::make_unique<QTextDocument>();
        result.answers = key ? keyTitleOf(QTextDocument()) : std::make_unique<QTextDocument>();
    }

    DocumentWriter paper(*result.paper, Role::Paper, style, graderBox);
    DocumentWriter answers(*result.answers, key ? Role::AnswerKey : Role::AnswerSheet, style, graderBox);
    QTextDocument text;
    QTextDocument answer;
    for (int s = 0; s < sections.size(); ++s) {
        const PaperSection& section = sections[s];
        const Labels onPaper = labelsOf(section, s + 1, style.choices.scores, false);
        const Labels inAnswers = key ? labelsOf(section, s + 1, style.choices.scores, true) : onPaper;
        paper.section(onPaper.heading);
        answers.section(inAnswers.heading);
        for (int i = 0; i < section.questions.size(); ++i) {
            const Question* found = questionOf(section.questions[i]);
            if (!found) {
                result.missing << MissingQuestion{s + 1, section.type, i + 1, section.questions[i].id};
                // By hand the number stays, so the numbers of the others do too.
                if (style.missingKeepsNumber) {
                    paper.numberOnly(onPaper.numbers[i]);
                    answers.numberOnly(inAnswers.numbers[i]);
                }
                continue;
            }
            RtfReader::read(found->text, &text);
            RtfReader::read(found->answer, &answer);
            paper.question(onPaper.numbers[i], section.type, text, answer);
            answers.question(inAnswers.numbers[i], section.type, text, answer);
        }
    }
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
    const PaperStyle style = PaperStyle::manual();
    const QTextDocument noBox;
    DocumentWriter(paper, Role::Paper, style, noBox).question(label, QString(), question, answer);
    DocumentWriter(answers, Role::AnswerSheet, style, noBox).question(label, QString(), question, answer);
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
