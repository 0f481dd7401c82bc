// qmtool build-template / build-bank / build-library / build-users / build-plan: the
// shipped files, made during the build from the text sources in data/.
//
// A bank source has sections [参数] (key=value lines), [题型] [章节] [难度] [单元] (one name
// per line, in list order) and [题目]: each question starts with a line
// "== 题型 | 章节 | 单元 | 难度 | 分值", then the lines of its text, a line "-- 答案" and the
// lines of its answer. Inline marks: **bold**, _{subscript}, ^{superscript} and {blank}
// (a fill-in blank of underlined full-width spaces). Lines starting with '#' are comments.
//
// A plan source has sections [方案] (key=value lines: 学科, 题库, 专业, 大纲, and the
// options 不分章节, 不分单元, 不分难度, 无论分值 as 0 or 1) and [大题]: one line per section
// of the paper, in paper order, "题型 | 大题总分 | ROW=出题数, ROW=出题数 …", where ROW
// names a row of the count grid by its cells between 题型 and 库内题数 joined with "/"
// ("2" for the 2-point questions when only scores count; "第一章/容易/2"). The count grid
// is made from the bank, so the plan always fits it; rows not named draw nothing.

#include "bankstore/bank_file.h"
#include "bankstore/paper_library.h"
#include "bankstore/user_store.h"
#include "core/input_file.h"
#include "core/output_file.h"
#include "paper/fragments.h"
#include "rtf/rtf_writer.h"
#include "selection/count_grid.h"
#include "selection/plan_file.h"
#include "tools/command.h"

#include <QFile>
#include <QTextCursor>
#include <QTextDocument>
#include <filesystem>

namespace qm::tool {

namespace {

const QString kTemplateUsage = QStringLiteral("SOURCE OUT  (the empty-bank template qm.qm)");
const QString kBankUsage = QStringLiteral("SOURCE OUT  (a bank from a text source)");
const QString kLibraryUsage = QStringLiteral("OUT  (the empty paper library jk.jk)");
const QString kUsersUsage = QStringLiteral("SOURCE OUT  (the user file tiku.psw)");
const QString kPlanUsage = QStringLiteral("SOURCE BANK OUT  (a composition plan for BANK from a text source)");

const QString kFont = QStringLiteral("宋体");
constexpr double kPointSize = 10.5;

struct SourceQuestion {
    int line = 0;
    QStringList header;  // 题型, 章节, 单元, 难度, 分值
    QStringList text;
    QStringList answer;
    bool inAnswer = false;
};

struct BankSource {
    Particulars particulars;
    QMap<AttributeList, QStringList> lists;
    QList<SourceQuestion> questions;
};

struct SourceError {
    QString message;
};

// Lines of a UTF-8 source file without comments; line numbers are kept for messages.
QList<std::pair<int, QString>> sourceLines(const QString& path)
{
    QString error;
    const std::optional<QByteArray> bytes = readInputFile(path, &error);
    if (!bytes)
        throw SourceError{error};
    QList<std::pair<int, QString>> lines;
    int number = 0;
    for (const QString& line : QString::fromUtf8(*bytes).split(QLatin1Char('\n'))) {
        ++number;
        QString l = line;
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
        if (!l.startsWith(QLatin1Char('#')))
            lines.append({number, l});
    }
    return lines;
}

BankSource readBankSource(const QString& path)
{
    static const QMap<QString, AttributeList> kLists{{QStringLiteral("题型"), AttributeList::Types},
                                                     {QStringLiteral("章节"), AttributeList::Chapters},
                                                     {QStringLiteral("难度"), AttributeList::Difficulties},
                                                     {QStringLiteral("单元"), AttributeList::Units}};
    BankSource src;
    QString section;
    auto fail = [&](int line, const QString& what) {
        return SourceError{QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(what)};
    };
    for (const auto& [number, line] : sourceLines(path)) {
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        if (section == QStringLiteral("题目")) {
            if (line.startsWith(QStringLiteral("== "))) {
                SourceQuestion q;
                q.line = number;
                for (const QString& part : line.mid(3).split(QLatin1Char('|')))
                    q.header << part.trimmed();
                if (q.header.size() != 5)
                    throw fail(number, QStringLiteral("expected 题型 | 章节 | 单元 | 难度 | 分值"));
                src.questions.append(q);
            } else if (line == QStringLiteral("-- 答案") && !src.questions.isEmpty()) {
                src.questions.last().inAnswer = true;
            } else if (!line.trimmed().isEmpty()) {
                if (src.questions.isEmpty())
                    throw fail(number, QStringLiteral("text before the first question"));
                SourceQuestion& q = src.questions.last();
                (q.inAnswer ? q.answer : q.text) << line;
            }
            continue;
        }
        if (line.trimmed().isEmpty())
            continue;
        if (section == QStringLiteral("参数")) {
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            static const QMap<QString, QString Particulars::*> kFields{
                {QStringLiteral("mc"), &Particulars::name},     {QStringLiteral("zy"), &Particulars::speciality},
                {QStringLiteral("dg"), &Particulars::syllabus}, {QStringLiteral("jk"), &Particulars::author},
                {QStringLiteral("sd"), &Particulars::reviewer}, {QStringLiteral("qy"), &Particulars::firstUse}};
            const auto field = kFields.find(line.left(eq).trimmed());
            if (eq < 0 || field == kFields.end())
                throw fail(number, QStringLiteral("expected mc|zy|dg|jk|sd|qy=value"));
            src.particulars.*(field.value()) = line.mid(eq + 1).trimmed();
        } else if (kLists.contains(section)) {
            src.lists[kLists[section]] << line.trimmed();
        } else {
            throw fail(number, QStringLiteral("unknown section [%1]").arg(section));
        }
    }
    for (const SourceQuestion& q : src.questions) {
        bool number = false;
        q.header[4].toDouble(&number);
        if (!number || q.text.isEmpty() || q.answer.isEmpty())
            throw fail(q.line, QStringLiteral("a question needs a score, a text and an answer"));
    }
    return src;
}

// Every document is written in 宋体 10.5 pt (五号), also where it holds no text.
void setBaseFont(QTextDocument& doc)
{
    QFont font(kFont);
    font.setPointSizeF(kPointSize);
    doc.setDefaultFont(font);
}

QTextCharFormat baseFormat()
{
    QTextCharFormat f;
    f.setFontFamilies({kFont});
    f.setFontPointSize(kPointSize);
    return f;
}

// Appends one line of marked-up text at the cursor.
void insertMarkup(QTextCursor& cursor, const QString& line)
{
    QTextCharFormat plain = baseFormat();
    QString run;
    auto flush = [&] {
        cursor.insertText(run, plain);
        run.clear();
    };
    for (qsizetype i = 0; i < line.size();) {
        const QStringView rest = QStringView(line).mid(i);
        if (rest.startsWith(u"**")) {
            flush();
            plain.setFontWeight(plain.fontWeight() == QFont::Bold ? QFont::Normal : QFont::Bold);
            i += 2;
        } else if ((rest.startsWith(u"_{") || rest.startsWith(u"^{")) && rest.indexOf(u'}') > 2) {
            flush();
            QTextCharFormat f = plain;
            f.setVerticalAlignment(rest[0] == u'_' ? QTextCharFormat::AlignSubScript
                                                   : QTextCharFormat::AlignSuperScript);
            const qsizetype close = rest.indexOf(u'}');
            cursor.insertText(rest.mid(2, close - 2).toString(), f);
            i += close + 1;
        } else if (rest.startsWith(u"{blank}")) {
            flush();
            QTextCharFormat f = plain;
            f.setFontUnderline(true);
            cursor.insertText(QString(6, QChar(0x3000)), f);
            i += 7;
        } else {
            run += line[i++];
        }
    }
    flush();
}

// A document of marked-up lines, one paragraph each.
QByteArray markupRtf(const QStringList& lines)
{
    QTextDocument doc;
    setBaseFont(doc);
    QTextCursor cursor(&doc);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            cursor.insertBlock();
        insertMarkup(cursor, lines[i]);
    }
    return RtfWriter::write(doc);
}

// A failed store call ends the build with the store's message.
void require(bool ok, const QString& error)
{
    if (!ok)
        throw SourceError{error};
}

int wrongArguments(const QString& name, const QString& usage)
{
    return usageError(name, usage, QStringLiteral("wrong number of arguments"));
}

void fillBank(const QString& path, const BankSource& src)
{
    BankFile bank(path);
    QString error;
    require(bank.setParticulars(src.particulars, &error), error);
    for (auto it = src.lists.begin(); it != src.lists.end(); ++it)
        require(bank.rewriteList(it.key(), it.value(), &error), error);
    for (const SourceQuestion& s : src.questions) {
        Question q;
        q.text = markupRtf(s.text);
        q.answer = markupRtf(s.answer);
        q.type = s.header[0];
        q.chapter = s.header[1];
        q.unit = s.header[2];
        q.difficulty = s.header[3];
        q.score = s.header[4].toDouble();
        require(bank.add(q, &error).has_value(), error);
    }
}

// Builds `out` from `sources` through `make`, which writes a new file at the path it is
// given; the old output is replaced only when the new one is complete, and never when it
// is one of the sources or not an ordinary file.
int buildFile(const QString& out, const QStringList& sources, const std::function<void(const QString&)>& make)
{
    if (const std::optional<QString> refused = refuseOutputs({{out, FileKind::Any}}, sources))
        return failure(*refused);
    const QString part = out + QStringLiteral(".building");
    QFile::remove(part);
    try {
        make(part);
        std::filesystem::rename(part.toStdString(), out.toStdString());
    } catch (const SourceError& e) {
        QFile::remove(part);
        return failure(e.message);
    } catch (const std::filesystem::filesystem_error& e) {
        QFile::remove(part);
        return failure(QString::fromLocal8Bit(e.what()));
    }
    return 0;
}

int buildBank(const QStringList& args, bool asTemplate)
{
    if (args.size() != 2)
        return asTemplate ? wrongArguments(QStringLiteral("build-template"), kTemplateUsage)
                          : wrongArguments(QStringLiteral("build-bank"), kBankUsage);
    return buildFile(args[1], {args[0]}, [&](const QString& path) {
        const BankSource src = readBankSource(args[0]);
        QString error;
        require(BankFile::createEmpty(path, &error), error);
        fillBank(path, src);
        if (asTemplate) {
            BankFile bank(path);
            for (int k = 1; k <= 8; ++k)
                require(bank.appendScoringTable(paper::scoringTableRtf(k), &error), error);
            require(bank.setGraderBox(paper::graderBoxRtf(), &error), error);
        }
        require(BankFile(path).compact(&error), error);
    });
}

struct PlanSection {
    int line = 0;
    QString type;
    QString total;
    QMap<QString, QString> counts;  // row name → draw count
};

// Makes the plan that `path` describes for the bank at `bankPath`.
selection::Plan readPlanSource(const QString& path, const QString& bankPath)
{
    auto fail = [&](int line, const QString& what) {
        return SourceError{QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(what)};
    };
    selection::Plan plan;
    QList<PlanSection> sections;
    QString section;
    for (const auto& [number, line] : sourceLines(path)) {
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        if (line.trimmed().isEmpty())
            continue;
        if (section == QStringLiteral("方案")) {
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            const QString key = line.left(eq).trimmed();
            const QString value = line.mid(eq + 1).trimmed();
            static const QMap<QString, QString selection::Plan::*> kTexts{
                {QStringLiteral("学科"), &selection::Plan::subject},
                {QStringLiteral("题库"), &selection::Plan::bank},
                {QStringLiteral("专业"), &selection::Plan::speciality},
                {QStringLiteral("大纲"), &selection::Plan::syllabus}};
            static const QMap<QString, bool selection::GridOptions::*> kOptions{
                {QStringLiteral("不分章节"), &selection::GridOptions::noChapters},
                {QStringLiteral("不分单元"), &selection::GridOptions::noUnits},
                {QStringLiteral("不分难度"), &selection::GridOptions::noDifficulty},
                {QStringLiteral("无论分值"), &selection::GridOptions::anyScore}};
            if (eq > 0 && kTexts.contains(key))
                plan.*(kTexts[key]) = value;
            else if (eq > 0 && kOptions.contains(key) && (value == QLatin1String("0") || value == QLatin1String("1")))
                plan.options.*(kOptions[key]) = value == QLatin1String("1");
            else
                throw fail(number, QStringLiteral(
                                       "expected 学科|题库|专业|大纲=text or 不分章节|不分单元|不分难度|无论分值=0|1"));
        } else if (section == QStringLiteral("大题")) {
            const QStringList parts = line.split(QLatin1Char('|'));
            if (parts.size() != 3)
                throw fail(number, QStringLiteral("expected 题型 | 大题总分 | ROW=出题数, …"));
            PlanSection s{number, parts[0].trimmed(), parts[1].trimmed(), {}};
            for (const QString& entry : parts[2].split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                const qsizetype eq = entry.lastIndexOf(QLatin1Char('='));
                if (eq < 0)
                    throw fail(number, QStringLiteral("expected ROW=出题数 in '%1'").arg(entry.trimmed()));
                s.counts[entry.left(eq).trimmed()] = entry.mid(eq + 1).trimmed();
            }
            sections << s;
        } else {
            throw fail(number, QStringLiteral("unknown section [%1]").arg(section));
        }
    }
    if (plan.options.noChapters)
        plan.options.noUnits = true;

    // The count grid of the bank for these sections, with every value the bank holds.
    const BankFile bank(bankPath);
    QString error;
    selection::Criteria criteria;
    criteria.options = plan.options;
    for (const PlanSection& s : sections)
        criteria.types << s.type;
    const std::optional<QStringList> chapters = bank.distinctValues(Attribute::Chapter, {}, &error);
    const std::optional<QStringList> difficulties = bank.distinctValues(Attribute::Difficulty, {}, &error);
    if (!chapters || !difficulties)
        throw SourceError{error};
    criteria.difficulties = *difficulties;
    for (const QString& chapter : *chapters) {
        QuestionFilter inChapter;
        inChapter.chapter = chapter;
        const std::optional<QStringList> units = bank.distinctValues(Attribute::Unit, inChapter, &error);
        if (!units)
            throw SourceError{error};
        criteria.chapters << selection::ChapterUnits{chapter, *units};
    }
    std::optional<selection::Grid> grid = selection::buildCountGrid(bankPath, criteria, &error);
    if (!grid)
        throw SourceError{error};

    // The draw counts and section totals, each checked against the rows the bank gives.
    const int columns = int(grid->first().size());
    QString type;
    int sectionIndex = -1;
    for (qsizetype r = 1; r < grid->size(); ++r) {
        QStringList& row = (*grid)[r];
        if (!row[0].isEmpty()) {
            type = row[0];
            sectionIndex = int(criteria.types.indexOf(type));
            row[selection::sectionTotalColumn(columns)] = sections[sectionIndex].total;
        }
        PlanSection& s = sections[sectionIndex];
        const QString name = row.mid(1, selection::bankCountColumn(columns) - 1).join(QLatin1Char('/'));
        const QString count = s.counts.take(name);
        if (count.isEmpty())
            continue;
        bool number = false;
        const int wanted = count.toInt(&number);
        if (!number || wanted < 0 || wanted > row[selection::bankCountColumn(columns)].toInt())
            throw fail(s.line, QStringLiteral("%1 %2: %3 questions asked, the bank has %4")
                                   .arg(type, name, count, row[selection::bankCountColumn(columns)]));
        row[selection::drawCountColumn(columns)] = count;
    }
    for (const PlanSection& s : sections)
        if (!s.counts.isEmpty())
            throw fail(s.line, QStringLiteral("the bank has no %1 row '%2'").arg(s.type, s.counts.firstKey()));
    selection::computeQuestionScores(*grid);
    plan.grid = *grid;
    return plan;
}

}  // namespace

void addBuildCommands(QList<Command>& list, Workspace& /*workspace*/)
{
    list.append({QStringLiteral("build-template"), kTemplateUsage,
                 [](const QStringList& args) { return buildBank(args, true); }});
    list.append(
        {QStringLiteral("build-bank"), kBankUsage, [](const QStringList& args) { return buildBank(args, false); }});
    list.append({QStringLiteral("build-library"), kLibraryUsage, [](const QStringList& args) {
                     if (args.size() != 1)
                         return wrongArguments(QStringLiteral("build-library"), kLibraryUsage);
                     return buildFile(args[0], {}, [](const QString& path) {
                         QString error;
                         require(PaperLibrary::createEmpty(path, &error), error);
                     });
                 }});
    list.append({QStringLiteral("build-users"), kUsersUsage, [](const QStringList& args) {
                     if (args.size() != 2)
                         return wrongArguments(QStringLiteral("build-users"), kUsersUsage);
                     return buildFile(args[1], {args[0]}, [&](const QString& path) {
                         QString error;
                         require(UserStore::create(path, &error), error);
                         UserStore users(path);
                         for (const auto& [number, line] : sourceLines(args[0])) {
                             if (line.trimmed().isEmpty())
                                 continue;
                             const QStringList parts = line.split(QLatin1Char('\t'));
                             require(users.add({parts[0], parts.value(1)}, &error), error);
                         }
                     });
                 }});
    list.append({QStringLiteral("build-plan"), kPlanUsage, [](const QStringList& args) {
                     if (args.size() != 3)
                         return wrongArguments(QStringLiteral("build-plan"), kPlanUsage);
                     return buildFile(args[2], {args[0], args[1]}, [&](const QString& path) {
                         QString error;
                         require(selection::savePlan(path, readPlanSource(args[0], args[1]), &error), error);
                     });
                 }});
}

}  // namespace qm::tool
