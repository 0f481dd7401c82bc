#include "selection/plan_file.h"

#include "core/fileops.h"
#include "core/gbk.h"
#include "core/input_file.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace qm::selection {

namespace {

// A plan is a few kilobytes; anything near this is not a plan.
constexpr qint64 kMaxPlanBytes = qint64(16) * 1024 * 1024;
// More cells than any paper's grid has; a larger count is a damaged file.
constexpr qint64 kMaxPlanCells = 200000;

// What each of the first ten lines holds, for messages.
const QString kLineNames[] = {
    QStringLiteral("科目"),           QStringLiteral("题库文件名"),     QStringLiteral("适用专业"),
    QStringLiteral("适用大纲"),       QStringLiteral("“不分章节”选项"), QStringLiteral("“不分单元”选项"),
    QStringLiteral("“不分难度”选项"), QStringLiteral("“无论分值”选项"), QStringLiteral("行数"),
    QStringLiteral("列数"),
};
constexpr int kOptionLines = 4;
constexpr int kFirstCellLine = 11;

QString quoted(const QString& text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

bool hasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

// A text line: what stands between its first and last double quote, with doubled quotes
// made single; a line without a pair of quotes is taken as it stands, blanks trimmed.
QString textOfLine(const QString& line)
{
    const QString t = line.trimmed();
    const qsizetype first = t.indexOf(QLatin1Char('"'));
    const qsizetype last = t.lastIndexOf(QLatin1Char('"'));
    if (first < 0 || last == first)
        return t;
    QString inner = t.mid(first + 1, last - first - 1);
    inner.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return inner;
}

// A plain non-negative whole number of at most nine digits.
std::optional<qint64> countOfLine(const QString& line)
{
    const QString t = textOfLine(line);
    if (t.isEmpty() || t.size() > 9)
        return std::nullopt;
    for (const QChar c : t)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    return t.toLongLong();
}

// A value shown inside a message: its beginning when it is long.
QString shown(const QString& text, qsizetype length = 20)
{
    return text.size() > length ? text.left(length) + QStringLiteral("…") : text;
}

}  // namespace

std::optional<QByteArray> planBytes(const Plan& plan, QString* error)
{
    auto refuse = [error](const QString& message) -> std::optional<QByteArray> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    const QString* texts[] = {&plan.subject, &plan.bank, &plan.speciality, &plan.syllabus};
    QStringList lines;
    for (int i = 0; i < 4; ++i) {
        if (hasLineBreak(*texts[i]))
            return refuse(QStringLiteral("出题方案的%1含有换行，无法保存！").arg(kLineNames[i]));
        lines << quoted(*texts[i]);
    }
    const GridOptions& o = plan.options;
    for (const bool on : {o.noChapters, o.noUnits, o.noDifficulty, o.anyScore})
        lines << QString(on ? QLatin1Char('1') : QLatin1Char('0'));
    const qsizetype columns = plan.grid.isEmpty() ? 0 : plan.grid[0].size();
    lines << QString::number(plan.grid.size()) << QString::number(columns);
    for (qsizetype r = 0; r < plan.grid.size(); ++r) {
        const QStringList& row = plan.grid[r];
        if (row.size() != columns)
            return refuse(QStringLiteral("题数表第%1行的格数与表头不同，无法保存出题方案！").arg(r));
        for (qsizetype c = 0; c < columns; ++c) {
            if (hasLineBreak(row[c]))
                return refuse(QStringLiteral("题数表第%1行第%2列“%3”含有换行，无法保存出题方案！")
                                  .arg(r)
                                  .arg(c + 1)
                                  .arg(shown(row[c])));
            lines << quoted(row[c]);
        }
    }
    QString unencodable;
    const std::optional<QByteArray> bytes =
        gbkEncode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"), &unencodable);
    if (!bytes)
        return refuse(QStringLiteral("出题方案中有无法保存的字符“%1”，请改掉后再保存！").arg(unencodable));
    return bytes;
}

std::optional<Plan> parsePlan(QByteArrayView bytes, QString* error, bool* empty)
{
    if (empty)
        *empty = false;
    if (error)
        error->clear();
    auto refuse = [error](const QString& message) -> std::optional<Plan> {
        if (error)
            *error = message;
        return std::nullopt;
    };

    const QString text = gbkDecode(bytes);
    if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSpace(); })) {
        if (empty)
            *empty = true;
        return std::nullopt;
    }
    // The lines are cut apart only as far as a plan can reach; of the rest it only matters
    // whether it holds anything. (Millions of short lines, each a string of its own, would
    // take many times the file's size.)
    QStringList lines;
    qsizetype pos = 0;
    while (pos <= text.size() && lines.size() < kFirstCellLine - 1 + kMaxPlanCells) {
        const qsizetype end = text.indexOf(QLatin1Char('\n'), pos);
        QString line = text.mid(pos, (end < 0 ? text.size() : end) - pos);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        lines << line;
        pos = end < 0 ? text.size() + 1 : end + 1;
    }
    const QStringView rest = QStringView(text).mid(std::min(pos, text.size()));
    // The line break after the last line ends it and starts none.
    if (pos > text.size() && lines.last().isEmpty())
        lines.removeLast();
    const qsizetype given = lines.size();
    auto endsAt = [&](qsizetype line, const QString& what) {
        return refuse(QStringLiteral("出题方案文件不完整：第 %1 行应为%2，文件却已结束。").arg(line).arg(what));
    };
    if (given < kFirstCellLine - 1)
        return endsAt(given + 1, kLineNames[given]);

    Plan plan;
    plan.subject = textOfLine(lines[0]);
    plan.bank = textOfLine(lines[1]);
    plan.speciality = textOfLine(lines[2]);
    plan.syllabus = textOfLine(lines[3]);
    bool options[kOptionLines] = {};
    for (int i = 0; i < kOptionLines; ++i) {
        const QString t = textOfLine(lines[4 + i]);
        if (t != QLatin1String("0") && t != QLatin1String("1"))
            return refuse(QStringLiteral("出题方案文件第 %1 行应为%2（0 或 1），却是“%3”。")
                              .arg(5 + i)
                              .arg(kLineNames[4 + i])
                              .arg(shown(t)));
        options[i] = t == QLatin1String("1");
    }
    plan.options = {options[0], options[1], options[2], options[3]};
    if (plan.options.noChapters && !plan.options.noUnits)
        return refuse(QStringLiteral("出题方案文件第 6 行：选了“不分章节”就应同时“不分单元”（1），却是“0”。"));

    const std::optional<qint64> rows = countOfLine(lines[8]);
    if (!rows)
        return refuse(QStringLiteral("出题方案文件第 9 行应为行数，却是“%1”。").arg(shown(textOfLine(lines[8]))));
    if (*rows < 1)
        return refuse(QStringLiteral("出题方案文件第 9 行的行数至少应为 1（表头），却是 0。"));
    const std::optional<qint64> columns = countOfLine(lines[9]);
    if (!columns)
        return refuse(QStringLiteral("出题方案文件第 10 行应为列数，却是“%1”。").arg(shown(textOfLine(lines[9]))));
    const QStringList header = gridHeader(plan.options);
    if (*columns != header.size())
        return refuse(QStringLiteral("出题方案文件第 10 行的列数按方案的选项应为 %1，却是 %2。")
                          .arg(header.size())
                          .arg(*columns));
    const qint64 cells = *rows * *columns;
    if (cells > kMaxPlanCells)
        return refuse(QStringLiteral("出题方案文件第 9 行的行数 %1 太大，不是出题方案。").arg(*rows));
    const qint64 lastCellLine = kFirstCellLine - 1 + cells;
    if (given < lastCellLine) {
        const qint64 missingCell = given - (kFirstCellLine - 1);
        return endsAt(
            given + 1,
            QStringLiteral("题数表第 %1 行第 %2 格").arg(missingCell / *columns + 1).arg(missingCell % *columns + 1));
    }
    // Blank lines after the cells are left over from editing and harmless.
    for (qsizetype extra = lastCellLine; extra < given; ++extra)
        if (!lines[extra].trimmed().isEmpty())
            return refuse(
                QStringLiteral("出题方案文件第 %1 行多余：按第 9、10 行，题数表的 %2 个格子到第 %3 行就结束了。")
                    .arg(extra + 1)
                    .arg(cells)
                    .arg(lastCellLine));
    if (const auto filled = std::find_if(rest.cbegin(), rest.cend(), [](QChar c) { return !c.isSpace(); });
        filled != rest.cend())
        return refuse(QStringLiteral("出题方案文件第 %1 行多余：按第 9、10 行，题数表的 %2 个格子到第 %3 行就结束了。")
                          .arg(given + 1 + rest.left(filled - rest.cbegin()).count(u'\n'))
                          .arg(cells)
                          .arg(lastCellLine));

    plan.grid.reserve(*rows);
    for (qint64 r = 0; r < *rows; ++r) {
        QStringList row;
        row.reserve(*columns);
        for (qint64 c = 0; c < *columns; ++c)
            row << textOfLine(lines[kFirstCellLine - 1 + r * *columns + c]);
        plan.grid << row;
    }
    if (plan.grid[0] != header)
        return refuse(QStringLiteral("出题方案文件第 %1 至 %2 行的表头应为“%3”，却是“%4”。")
                          .arg(kFirstCellLine)
                          .arg(kFirstCellLine - 1 + *columns)
                          .arg(header.join(QStringLiteral("、")))
                          .arg(shown(plan.grid[0].join(QStringLiteral("、")), 80)));
    return plan;
}

bool savePlan(const QString& path, const Plan& plan, QString* error)
{
    const std::optional<QByteArray> bytes = planBytes(plan, error);
    if (!bytes)
        return false;
    if (!replaceFile(path, *bytes)) {
        if (error)
            *error = QStringLiteral("无法保存出题方案文件“%1”！").arg(QDir::toNativeSeparators(path));
        return false;
    }
    return true;
}

std::optional<Plan> loadPlan(const QString& path, QString* error, bool* empty)
{
    if (empty)
        *empty = false;
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("出题方案文件“%1”不存在！").arg(QDir::toNativeSeparators(path));
        return std::nullopt;
    }
    const std::optional<QByteArray> bytes = readInputFile(path, error, kMaxPlanBytes);
    if (!bytes)
        return std::nullopt;
    return parsePlan(*bytes, error, empty);
}

}  // namespace qm::selection
