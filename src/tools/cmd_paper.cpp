// qmtool compose: a whole paper from a bank and a composition plan, as the composition
// window makes it: the draw, the header from the header settings, the paper and the answer
// sheet as RTF documents, and with --pdf both as PDF files for printing.
//
//   qmtool compose BANK PLAN.faa PAPER.rtf ANSWERS.rtf [--seed N] [--settings JuanMian.cfg] [--pdf]
//                  [--score-style percent|points] [--answers sheet|key] [--answer-lines TYPE=N]...
//                  [--layout a4|a4-seal|a3|a3-seal]
//
// The header settings are those of the program directory unless --settings names a file;
// the paper choices (score labels, answers, blank lines, layout) those of the file beside them,
// with the options given in their place.
// The outputs are all written or none: each goes whole to a temporary file beside it first,
// and the temporary files replace the outputs only when every one of them is complete. No
// output may be one of the files the paper is made from.

#include "core/output_file.h"
#include "core/workspace.h"
#include "paper/header_settings.h"
#include "paper/paper_job.h"
#include "paper/pdf.h"
#include "rtf/rtf_writer.h"
#include "selection/draw.h"
#include "selection/plan_file.h"
#include "tools/command.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QTextDocument>

namespace qm::tool {

namespace {

const QString kComposeUsage =
    QStringLiteral("BANK PLAN.faa PAPER.rtf ANSWERS.rtf [--seed N] [--settings JuanMian.cfg] [--pdf] "
                   "[--score-style percent|points] [--answers sheet|key] [--answer-lines TYPE=N]... "
                   "[--layout a4|a4-seal|a3|a3-seal]  "
                   "(the paper and its answer sheet; --pdf adds PAPER.pdf and ANSWERS.pdf)");

int wrongCall(const QString& problem)
{
    return usageError(QStringLiteral("compose"), kComposeUsage, problem);
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// The PDF beside an RTF output: the same name with ".pdf".
QString pdfBeside(const QString& rtfPath)
{
    const QFileInfo info(rtfPath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".pdf"));
}

int compose(const QStringList& args, const Workspace& workspace)
{
    QStringList positional;
    std::optional<quint64> seed;
    QString settingsPath = workspace.ProgramDir() + QStringLiteral("JuanMian.cfg");
    bool pdf = false;
    // The paper choices given here; the rest come from the file beside the settings.
    std::optional<paper::ScoreLabels> scores;
    std::optional<paper::AnswerForm> answers;
    QMap<QString, int> answerLines;
    std::optional<paper::PaperLayout> layout;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--seed") || a == QLatin1String("--settings") || a == QLatin1String("--score-style")
            || a == QLatin1String("--answers") || a == QLatin1String("--answer-lines")
            || a == QLatin1String("--layout")) {
            if (i + 1 == args.size())
                return wrongCall(QStringLiteral("%1 needs a value").arg(a));
            const QString value = args[++i];
            if (a == QLatin1String("--settings")) {
                settingsPath = value;
                continue;
            }
            if (a == QLatin1String("--score-style")) {
                if (value != QLatin1String("percent") && value != QLatin1String("points"))
                    return wrongCall(QStringLiteral("--score-style is percent or points, not '%1'").arg(value));
                scores = value == QLatin1String("points") ? paper::ScoreLabels::Points : paper::ScoreLabels::Percent;
                continue;
            }
            if (a == QLatin1String("--answers")) {
                if (value != QLatin1String("sheet") && value != QLatin1String("key"))
                    return wrongCall(QStringLiteral("--answers is sheet or key, not '%1'").arg(value));
                answers = value == QLatin1String("key") ? paper::AnswerForm::Key : paper::AnswerForm::Sheet;
                continue;
            }
            if (a == QLatin1String("--layout")) {
                layout = paper::layoutOfName(value);
                if (!layout)
                    return wrongCall(QStringLiteral("--layout is a4, a4-seal, a3 or a3-seal, not '%1'").arg(value));
                continue;
            }
            if (a == QLatin1String("--answer-lines")) {
                const qsizetype eq = value.lastIndexOf(QLatin1Char('='));
                bool ok = false;
                const int n = eq > 0 ? value.mid(eq + 1).toInt(&ok) : -1;
                if (!ok || n < 0 || n > paper::kMaxAnswerLines)
                    return wrongCall(QStringLiteral("--answer-lines wants TYPE=N with N from 0 to %1, not '%2'")
                                         .arg(paper::kMaxAnswerLines)
                                         .arg(value));
                answerLines.insert(value.left(eq), n);
                continue;
            }
            bool ok = false;
            seed = value.toULongLong(&ok);
            if (!ok)
                return wrongCall(QStringLiteral("the seed '%1' is not a whole number from 0 to 2^64-1").arg(value));
        } else if (a == QLatin1String("--pdf")) {
            pdf = true;
        } else if (a.startsWith(QStringLiteral("--"))) {
            return wrongCall(QStringLiteral("unknown option '%1'").arg(a));
        } else {
            positional << a;
        }
    }
    if (positional.size() != 4)
        return wrongCall(QStringLiteral("a bank, a plan and the two documents to write are needed"));
    const QString& bankPath = positional[0];
    const QString& planPath = positional[1];
    const QString& paperPath = positional[2];
    const QString& answersPath = positional[3];
    if (sameFile(paperPath, answersPath) || (pdf && sameFile(pdfBeside(paperPath), pdfBeside(answersPath))))
        return wrongCall(QStringLiteral("the paper and the answer sheet need different names"));
    // Nothing the paper is made from may be written over, and only documents of their own
    // kind are replaced: checked before anything is read or written.
    QList<Output> targets{{paperPath, FileKind::Rtf}, {answersPath, FileKind::Rtf}};
    if (pdf)
        targets << Output{pdfBeside(paperPath), FileKind::Pdf} << Output{pdfBeside(answersPath), FileKind::Pdf};
    const QString templatePath = workspace.ProgramDir() + QStringLiteral("qm.qm");
    if (const std::optional<QString> refused = refuseOutputs(targets, {bankPath, planPath, settingsPath, templatePath}))
        return failure(*refused);

    // The header settings first: without them there is no paper to make.
    QString error;
    const std::optional<paper::HeaderSettings> read = paper::loadSettings(settingsPath, {}, &error);
    if (!read)
        return failure(error);
    const paper::HeaderSettings& settings = *read;
    if (const QStringList empty = paper::emptyFieldNames(settings); !empty.isEmpty())
        return failure(QStringLiteral("试卷标题设置“%1”中没有填写：%2。请先设置试卷标题。")
                           .arg(shown(settingsPath), empty.join(QStringLiteral("、"))));

    bool emptyPlan = false;
    const std::optional<selection::Plan> plan = selection::loadPlan(planPath, &error, &emptyPlan);
    if (!plan)
        return failure(emptyPlan ? QStringLiteral("出题方案文件“%1”是空的！").arg(shown(planPath)) : error);
    selection::SeededRandom random(seed.value_or(selection::clockSeed()));
    const std::optional<selection::DrawResult> drawn = selection::drawPaper(bankPath, plan->grid, random, &error);
    if (!drawn)
        return failure(error);
    const QString report = selection::drawReport(*drawn);
    // Nothing drawn is no paper: the outputs stay as they are.
    if (drawn->rows.isEmpty())
        return failure(QStringLiteral("按出题方案“%1”没有抽到任何题目，没有写出试卷。%2")
                           .arg(shown(planPath), report.isEmpty() ? QString() : QLatin1Char('\n') + report));
    // A plan made for another bank draws from this one only when the teacher meant it.
    if (!plan->bank.isEmpty() && plan->bank.compare(QFileInfo(bankPath).fileName(), Qt::CaseInsensitive) != 0)
        err(QStringLiteral("注意：出题方案“%1”是为题库“%2”做的，现在从题库“%3”出题。\n")
                .arg(shown(planPath), plan->bank, QFileInfo(bankPath).fileName()));

    paper::PaperJob job;
    job.sections = paper::sectionsOfDraw(bankPath, drawn->rows);
    // The choices kept beside the settings, with those given here in their place.
    paper::PaperChoices choices = paper::loadChoices(QFileInfo(settingsPath).dir().filePath(paper::kPaperChoicesFile));
    if (scores)
        choices.scores = *scores;
    if (answers)
        choices.answers = *answers;
    for (auto it = answerLines.cbegin(); it != answerLines.cend(); ++it)
        choices.answerLines.insert(it.key(), it.value());
    if (layout)
        choices.layout = *layout;
    job.style = paper::PaperStyle::drawn(choices);
    job.settings = settings;
    job.bankFileName = QFileInfo(bankPath).fileName();
    job.templatePath = templatePath;
    const std::optional<paper::AssembledPaper> assembled = paper::makePaper(job, &error);
    if (!assembled)
        return failure(error);

    OutputFiles outputs;
    // Both documents are laid out on the sheets of the layout, with their page numbers; the
    // sealing strip is the paper's.
    const paper::SheetGeometry paperSheets(choices.layout);
    const paper::SheetGeometry answerSheets(choices.layout, false);
    const PageSetup paperPage = paperSheets.pageSetup();
    const PageSetup answerPage = answerSheets.pageSetup();
    if (!outputs.write(paperPath, RtfWriter::write(*assembled->paper, &paperPage), &error)
        || !outputs.write(answersPath, RtfWriter::write(*assembled->answers, &answerPage), &error))
        return failure(error);
    if (pdf) {
        const QString pdfWhat = QStringLiteral("PDF文件");
        for (const auto& [target, doc, sheets] :
             {std::tuple{pdfBeside(paperPath), assembled->paper.get(), &paperSheets},
              std::tuple{pdfBeside(answersPath), assembled->answers.get(), &answerSheets}}) {
            const std::optional<QByteArray> bytes =
                paper::pdfBytes(*doc, QFileInfo(target).completeBaseName(), &error, *sheets);
            if (!bytes || !outputs.write(target, *bytes, &error, pdfWhat))
                return failure(error);
        }
    }
    if (!outputs.commit(&error))
        return failure(error);

    if (!report.isEmpty())
        err(report + QLatin1Char('\n'));
    if (!assembled->missing.isEmpty())
        err(paper::missingQuestionsMessage(assembled->missing) + QLatin1Char('\n'));
    return 0;
}

}  // namespace

void addPaperCommands(QList<Command>& list, Workspace& workspace)
{
    list.append({QStringLiteral("compose"), kComposeUsage,
                 [&workspace](const QStringList& args) { return compose(args, workspace); }});
}

}  // namespace qm::tool
