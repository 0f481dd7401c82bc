// qmtool compose: a whole paper from a bank and a composition plan, as the composition
// window makes it: the draw, the header from the header settings, the paper and the answer
// sheet as RTF documents, and with --pdf both as PDF files for printing.
//
//   qmtool compose BANK PLAN.faa PAPER.rtf ANSWERS.rtf [--parallel PAPER_B.rtf ANSWERS_B.rtf] [--seed N]
//                  [--prefer-unused] [--avoid-used-since YYYY-MM-DD] [--settings JuanMian.cfg] [--pdf]
//                  [--score-style percent|points] [--answers sheet|key] [--answer-lines TYPE=N]...
//                  [--layout a4|a4-seal|a3|a3-seal]
//
// The header settings are those of the program directory unless --settings names a file;
// the paper choices (score labels, answers, blank lines, layout) those of the file beside them,
// with the options given in their place.
// With --parallel a B paper is drawn from the same plan without the questions of the
// first, the A paper (sharing as few as the rows allow), and each header names its
// variant: "(A)卷" and "(B)卷".
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

const QString kComposeUsage = QStringLiteral(
    "BANK PLAN.faa PAPER.rtf ANSWERS.rtf [--parallel PAPER_B.rtf ANSWERS_B.rtf] [--seed N] [--prefer-unused] "
    "[--avoid-used-since YYYY-MM-DD] [--settings JuanMian.cfg] [--pdf] [--score-style percent|points] "
    "[--answers sheet|key] [--answer-lines TYPE=N]... [--layout a4|a4-seal|a3|a3-seal]  (the paper and its answer "
    "sheet; --parallel adds a B paper without the first one's questions; --pdf adds a PDF beside each document)");

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

// The documents of one paper: the paper and its answer sheet.
struct Documents {
    QString paper;
    QString answers;
};

int compose(const QStringList& args, const Workspace& workspace)
{
    QStringList positional;
    std::optional<quint64> seed;
    QString settingsPath = workspace.ProgramDir() + QStringLiteral("JuanMian.cfg");
    bool pdf = false;
    std::optional<Documents> parallel;
    selection::DrawChoices drawChoices;
    // The paper choices given here; the rest come from the file beside the settings.
    std::optional<paper::ScoreLabels> scores;
    std::optional<paper::AnswerForm> answers;
    QMap<QString, int> answerLines;
    std::optional<paper::PaperLayout> layout;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--seed") || a == QLatin1String("--settings") || a == QLatin1String("--score-style")
            || a == QLatin1String("--answers") || a == QLatin1String("--answer-lines")
            || a == QLatin1String("--avoid-used-since") || a == QLatin1String("--layout")) {
            if (i + 1 == args.size())
                return wrongCall(QStringLiteral("%1 needs a value").arg(a));
            const QString value = args[++i];
            if (a == QLatin1String("--settings")) {
                settingsPath = value;
                continue;
            }
            if (a == QLatin1String("--avoid-used-since")) {
                drawChoices.avoidUsedSince = isoDate(value);
                if (!drawChoices.avoidUsedSince)
                    return wrongCall(QStringLiteral("'%1' is not a date YYYY-MM-DD").arg(value));
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
        } else if (a == QLatin1String("--parallel")) {
            if (i + 2 >= args.size())
                return wrongCall(QStringLiteral("--parallel needs the B paper and its answer sheet"));
            parallel = Documents{args[i + 1], args[i + 2]};
            i += 2;
        } else if (a == QLatin1String("--pdf")) {
            pdf = true;
        } else if (a == QLatin1String("--prefer-unused")) {
            drawChoices.preferUnused = true;
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
    QList<Documents> papers{{positional[2], positional[3]}};
    if (parallel)
        papers << *parallel;
    // Every document a file of its own, and each PDF beside it too.
    QStringList documents;
    for (const Documents& d : papers)
        documents << d.paper << d.answers;
    for (qsizetype i = 0; i < documents.size(); ++i)
        for (qsizetype j = i + 1; j < documents.size(); ++j)
            if (sameFile(documents[i], documents[j])
                || (pdf && sameFile(pdfBeside(documents[i]), pdfBeside(documents[j]))))
                return wrongCall(parallel ? QStringLiteral("the papers and the answer sheets need different names")
                                          : QStringLiteral("the paper and the answer sheet need different names"));
    // Nothing the paper is made from may be written over, and only documents of their own
    // kind are replaced: checked before anything is read or written.
    QList<Output> targets;
    for (const QString& d : documents)
        targets << Output{d, FileKind::Rtf};
    if (pdf)
        for (const QString& d : documents)
            targets << Output{pdfBeside(d), FileKind::Pdf};
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
    QList<selection::DrawResult> drawn;
    QString report;
    if (parallel) {
        const std::optional<selection::ParallelDraw> both =
            selection::drawParallel(bankPath, plan->grid, random, drawChoices, &error);
        if (!both)
            return failure(error);
        drawn << both->a << both->b;
        report = selection::parallelReport(*both);
    } else {
        const std::optional<selection::DrawResult> one =
            selection::drawPaper(bankPath, plan->grid, random, drawChoices, &error);
        if (!one)
            return failure(error);
        drawn << *one;
        report = selection::drawReport(*one);
    }
    // Nothing drawn is no paper: the outputs stay as they are.
    if (drawn[0].rows.isEmpty())
        return failure(QStringLiteral("按出题方案“%1”没有抽到任何题目，没有写出试卷。%2")
                           .arg(shown(planPath), report.isEmpty() ? QString() : QLatin1Char('\n') + report));
    // A plan made for another bank draws from this one only when the teacher meant it.
    if (!plan->bank.isEmpty() && plan->bank.compare(QFileInfo(bankPath).fileName(), Qt::CaseInsensitive) != 0)
        err(QStringLiteral("注意：出题方案“%1”是为题库“%2”做的，现在从题库“%3”出题。\n")
                .arg(shown(planPath), plan->bank, QFileInfo(bankPath).fileName()));

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

    OutputFiles outputs;
    QStringList missing;
    // Both documents are laid out on the sheets of the layout, with their page numbers; the
    // sealing strip is the paper's.
    const paper::SheetGeometry paperSheets(choices.layout);
    const paper::SheetGeometry answerSheets(choices.layout, false);
    const PageSetup paperPage = paperSheets.pageSetup();
    const PageSetup answerPage = answerSheets.pageSetup();
    for (qsizetype k = 0; k < papers.size(); ++k) {
        paper::PaperJob job;
        job.sections = paper::sectionsOfDraw(bankPath, drawn[k].rows);
        job.style = paper::PaperStyle::drawn(choices);
        job.settings = settings;
        if (parallel)
            job.settings->variant = k == 0 ? paper::Variant::A : paper::Variant::B;
        job.bankFileName = QFileInfo(bankPath).fileName();
        job.templatePath = templatePath;
        const std::optional<paper::AssembledPaper> assembled = paper::makePaper(job, &error);
        if (!assembled)
            return failure(error);
        for (const auto& [target, doc, sheets, page] :
             {std::tuple{papers[k].paper, assembled->paper.get(), &paperSheets, &paperPage},
              std::tuple{papers[k].answers, assembled->answers.get(), &answerSheets, &answerPage}}) {
            if (!outputs.write(target, RtfWriter::write(*doc, page), &error))
                return failure(error);
            if (!pdf)
                continue;
            const QString pdfTarget = pdfBeside(target);
            const std::optional<QByteArray> bytes =
                paper::pdfBytes(*doc, QFileInfo(pdfTarget).completeBaseName(), &error, *sheets);
            if (!bytes || !outputs.write(pdfTarget, *bytes, &error, QStringLiteral("PDF文件")))
                return failure(error);
        }
        if (!assembled->missing.isEmpty())
            missing << (parallel ? QStringLiteral("%1卷：").arg(k == 0 ? u'A' : u'B') : QString())
                           + paper::missingQuestionsMessage(assembled->missing);
    }
    if (!outputs.commit(&error))
        return failure(error);

    if (!report.isEmpty())
        err(report + QLatin1Char('\n'));
    for (const QString& m : missing)
        err(m + QLatin1Char('\n'));
    return 0;
}

}  // namespace

void addPaperCommands(QList<Command>& list, Workspace& workspace)
{
    list.append({QStringLiteral("compose"), kComposeUsage,
                 [&workspace](const QStringList& args) { return compose(args, workspace); }});
}

}  // namespace qm::tool
