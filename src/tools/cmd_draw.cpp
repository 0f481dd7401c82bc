// qmtool grid / draw: the count grid of automatic composition for a bank and chosen
// criteria, and the questions a composition plan draws from a bank.
//
//   qmtool grid BANK [--types T1,T2] [--chapters C1,C2] [--units CHAPTER=U1,U2]...
//                    [--difficulties D1,D2] [--no-chapters] [--no-units] [--no-difficulty]
//                    [--any-score]
//   qmtool draw BANK PLAN.faa [--seed N] [--prefer-unused] [--avoid-used-since YYYY-MM-DD]
//
// A list not given is every value the bank holds (the units of a chapter: every unit the
// bank holds for it). Output is tab-separated, one line per row, header first.

#include "bankstore/bank_file.h"
#include "selection/count_grid.h"
#include "selection/draw.h"
#include "selection/plan_file.h"
#include "tools/command.h"

#include <QMap>

namespace qm::tool {

namespace {

const QString kGridUsage =
    QStringLiteral("BANK [--types T1,T2] [--chapters C1,C2] [--units CHAPTER=U1,U2]... [--difficulties D1,D2] "
                   "[--no-chapters] [--no-units] [--no-difficulty] [--any-score]  (the count grid, tab-separated)");
const QString kDrawUsage =
    QStringLiteral("BANK PLAN.faa [--seed N] [--prefer-unused] [--avoid-used-since YYYY-MM-DD]  "
                   "(the questions a plan draws, tab-separated; the least used first, or none used since the date)");

void printRows(const QList<QStringList>& rows)
{
    QString text;
    for (const QStringList& row : rows)
        text += row.join(QLatin1Char('\t')) + QLatin1Char('\n');
    out(text);
}

int grid(const QStringList& args)
{
    const QString name = QStringLiteral("grid");
    if (args.isEmpty() || args[0].startsWith(QStringLiteral("--")))
        return usageError(name, kGridUsage, QStringLiteral("no bank given"));
    const QString bankPath = args[0];
    std::optional<QStringList> types, chapters, difficulties;
    QMap<QString, QStringList> unitsOf;
    selection::GridOptions options;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--no-chapters")) {
            options.noChapters = true;
            options.noUnits = true;
        } else if (a == QLatin1String("--no-units")) {
            options.noUnits = true;
        } else if (a == QLatin1String("--no-difficulty")) {
            options.noDifficulty = true;
        } else if (a == QLatin1String("--any-score")) {
            options.anyScore = true;
        } else if (a == QLatin1String("--types") || a == QLatin1String("--chapters")
                   || a == QLatin1String("--difficulties") || a == QLatin1String("--units")) {
            if (i + 1 == args.size())
                return usageError(name, kGridUsage, QStringLiteral("%1 needs a value").arg(a));
            const QString value = args[++i];
            if (a == QLatin1String("--units")) {
                const qsizetype eq = value.indexOf(QLatin1Char('='));
                if (eq <= 0)
                    return usageError(name, kGridUsage, QStringLiteral("--units needs CHAPTER=U1,U2"));
                unitsOf[value.left(eq)] = value.mid(eq + 1).split(QLatin1Char(','), Qt::SkipEmptyParts);
                continue;
            }
            const QStringList values = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
            (a == QLatin1String("--types")      ? types
             : a == QLatin1String("--chapters") ? chapters
                                                : difficulties) = values;
        } else {
            return usageError(name, kGridUsage, QStringLiteral("unknown option '%1'").arg(a));
        }
    }

    const BankFile bank(bankPath);
    QString error;
    auto all = [&](Attribute attribute, const QuestionFilter& filter = {}) {
        return bank.distinctValues(attribute, filter, &error);
    };
    if (!types && !(types = all(Attribute::Type)))
        return failure(error);
    if (!chapters && !(chapters = all(Attribute::Chapter)))
        return failure(error);
    if (!difficulties && !(difficulties = all(Attribute::Difficulty)))
        return failure(error);
    selection::Criteria criteria;
    criteria.types = *types;
    criteria.difficulties = *difficulties;
    criteria.options = options;
    for (const QString& chapter : *chapters) {
        selection::ChapterUnits column{chapter, unitsOf.value(chapter)};
        if (!unitsOf.contains(chapter) && options.units()) {
            QuestionFilter inChapter;
            inChapter.chapter = chapter;
            const std::optional<QStringList> units = all(Attribute::Unit, inChapter);
            if (!units)
                return failure(error);
            column.units = *units;
        }
        criteria.chapters << column;
    }
    const std::optional<selection::Grid> grid = selection::buildCountGrid(bankPath, criteria, &error);
    if (!grid)
        return failure(error);
    printRows(*grid);
    return 0;
}

int draw(const QStringList& args)
{
    const QString name = QStringLiteral("draw");
    QStringList positional;
    std::optional<quint64> seed;
    selection::DrawChoices choices;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--seed")) {
            if (i + 1 == args.size())
                return usageError(name, kDrawUsage, QStringLiteral("--seed needs a value"));
            bool ok = false;
            seed = args[++i].toULongLong(&ok);
            if (!ok)
                return usageError(name, kDrawUsage,
                                  QStringLiteral("the seed '%1' is not a whole number from 0 to 2^64-1").arg(args[i]));
        } else if (a == QLatin1String("--prefer-unused")) {
            choices.preferUnused = true;
        } else if (a == QLatin1String("--avoid-used-since")) {
            if (i + 1 == args.size())
                return usageError(name, kDrawUsage, QStringLiteral("--avoid-used-since needs a date"));
            choices.avoidUsedSince = isoDate(args[++i]);
            if (!choices.avoidUsedSince)
                return usageError(name, kDrawUsage, QStringLiteral("'%1' is not a date YYYY-MM-DD").arg(args[i]));
        } else if (a.startsWith(QStringLiteral("--"))) {
            return usageError(name, kDrawUsage, QStringLiteral("unknown option '%1'").arg(a));
        } else {
            positional << a;
        }
    }
    if (positional.size() != 2)
        return usageError(name, kDrawUsage, QStringLiteral("a bank and a plan are needed"));

    QString error;
    bool empty = false;
    const std::optional<selection::Plan> plan = selection::loadPlan(positional[1], &error, &empty);
    if (!plan)
        return failure(empty ? QStringLiteral("出题方案文件“%1”是空的！").arg(positional[1]) : error);
    selection::SeededRandom random(seed.value_or(selection::clockSeed()));
    const std::optional<selection::DrawResult> drawn =
        selection::drawPaper(positional[0], plan->grid, random, choices, &error);
    if (!drawn)
        return failure(error);
    QList<QStringList> rows{selection::composedHeader().mid(0, 4)};
    for (const selection::ComposedRow& row : drawn->rows)
        rows << selection::composedCells(row).mid(0, 4);
    printRows(rows);
    if (const QString report = selection::drawReport(*drawn); !report.isEmpty())
        err(report + QLatin1Char('\n'));
    return 0;
}

}  // namespace

void addDrawCommands(QList<Command>& list, Workspace& /*workspace*/)
{
    list.append({QStringLiteral("grid"), kGridUsage, grid});
    list.append({QStringLiteral("draw"), kDrawUsage, draw});
}

}  // namespace qm::tool
