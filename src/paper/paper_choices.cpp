#include "paper/paper_choices.h"

#include "core/gbk.h"
#include "core/input_file.h"

#include <QDir>
#include <QStringList>

namespace qm::paper {

namespace {

const QString kScores = QStringLiteral("分值标注");
const QString kAnswers = QStringLiteral("答案");
const QString kLines = QStringLiteral("答题空行");
const QString kLayout = QStringLiteral("版式");
const QString kPercent = QStringLiteral("百分比");
const QString kPoints = QStringLiteral("分数");
const QString kSheet = QStringLiteral("答卷");
const QString kKey = QStringLiteral("参考答案");

// A choices file is a few short lines.
constexpr qint64 kMaxChoicesBytes = 64 * 1024;

}  // namespace

PaperChoices loadChoices(const QString& path)
{
    PaperChoices choices;
    const std::optional<QByteArray> bytes = readInputFile(path, nullptr, kMaxChoicesBytes);
    if (!bytes)
        return choices;
    const QString text = gbkDecode(*bytes);
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString name = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (name == kScores && (value == kPercent || value == kPoints)) {
            choices.scores = value == kPoints ? ScoreLabels::Points : ScoreLabels::Percent;
        } else if (name == kAnswers && (value == kSheet || value == kKey)) {
            choices.answers = value == kKey ? AnswerForm::Key : AnswerForm::Sheet;
        } else if (name == kLayout) {
            choices.layout = layoutOfName(value).value_or(choices.layout);
        } else if (name == kLines) {
            const qsizetype comma = value.lastIndexOf(QLatin1Char(','));
            bool ok = false;
            const int n = comma > 0 ? value.mid(comma + 1).trimmed().toInt(&ok) : 0;
            if (ok && n > 0 && n <= kMaxAnswerLines)
                choices.answerLines.insert(value.left(comma).trimmed(), n);
        }
    }
    return choices;
}

bool saveChoices(const QString& path, const PaperChoices& choices, QString* error)
{
    QString text = kScores + QLatin1Char('=') + (choices.scores == ScoreLabels::Points ? kPoints : kPercent)
                   + QStringLiteral("\r\n") + kAnswers + QLatin1Char('=')
                   + (choices.answers == AnswerForm::Key ? kKey : kSheet) + QStringLiteral("\r\n") + kLayout
                   + QLatin1Char('=') + layoutName(choices.layout) + QStringLiteral("\r\n");
    for (auto it = choices.answerLines.cbegin(); it != choices.answerLines.cend(); ++it)
        if (it.value() > 0 && !it.key().contains(QLatin1Char('\n')) && !it.key().contains(QLatin1Char('\r')))
            text += kLines + QLatin1Char('=') + it.key() + QLatin1Char(',') + QString::number(it.value())
                    + QStringLiteral("\r\n");
    if (writeGbkFile(path, text, error))
        return true;
    if (error && error->isEmpty())
        *error = QStringLiteral("无法写入文件“%1”！").arg(QDir::toNativeSeparators(path));
    return false;
}

}  // namespace qm::paper
