// qmtool library-dump LIBRARY.Juk: the papers of a paper library, one line each (position,
// 卷名, 出卷人, 教研组, 科室, 时间, and the length of the plain text of paper and answer sheet),
// tab-separated, with control characters in the particulars escaped.
// qmtool library-add LIBRARY.Juk PAPER.rtf ANSWERS.rtf --name NAME [--setter S] [--group G]
//   [--department D] [--date DATE]: files a paper as the window's import does, as the last
//   paper of the library.

#include "bankstore/paper_library.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"
#include "tools/command.h"

#include <QTextDocument>

namespace qm::tool {

namespace {

const QString kDumpUsage = QStringLiteral("LIBRARY.Juk  (the papers of a paper library)");
const QString kAddUsage = QStringLiteral(
    "LIBRARY.Juk PAPER.rtf ANSWERS.rtf --name NAME [--setter S] [--group G] [--department D] [--date DATE]  "
    "(files a paper as the last of the library)");

// A particular as one field of a line: a backslash, a tab, a line break or another control
// character, which libraries from elsewhere may hold, is written as an escape (\\, \t, \n,
// \r, \xHH), so that every paper keeps to its line and its fields to their columns.
QString field(const QString& text)
{
    QString escaped;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\': escaped += QStringLiteral("\\\\"); break;
        case u'\t': escaped += QStringLiteral("\\t"); break;
        case u'\n': escaped += QStringLiteral("\\n"); break;
        case u'\r': escaped += QStringLiteral("\\r"); break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                escaped += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                escaped += c;
        }
    }
    return escaped;
}

int libraryDump(const QStringList& args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("library-dump"), kDumpUsage, QStringLiteral("one library is needed"));
    const PaperLibrary library(args[0]);
    QString error;
    const std::optional<int> count = library.count(&error);
    if (!count)
        return failure(error);
    out(QStringLiteral("共有试卷%1份\n序号\t卷名\t出卷人\t教研组\t科室\t时间\t试卷字数\t答卷字数\n").arg(*count));
    // One scratch document for all: making a new one each time costs as much as the reading.
    QTextDocument doc;
    const auto length = [&doc](const QByteArray& rtf) {
        if (rtf.isEmpty())
            return qsizetype(0);
        RtfReader::read(rtf, &doc);
        return documentText(doc).size();
    };
    const bool read = library.forEach(
        [&](int position, const Paper& p) {
            const PaperParticulars& q = p.particulars;
            out(QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\t%8\n")
                    .arg(position + 1)
                    .arg(field(q.name), field(q.setter), field(q.group), field(q.department), field(q.date))
                    .arg(length(p.paper))
                    .arg(length(p.answers)));
        },
        &error);
    if (!read)
        return failure(error);
    return 0;
}

// A wrong call of library-add.
int addUsageError(const QString& problem)
{
    return usageError(QStringLiteral("library-add"), kAddUsage, problem);
}

int libraryAdd(const QStringList& args)
{
    QStringList files;
    PaperParticulars particulars;
    bool named = false;
    const std::pair<const char*, QString*> options[] = {{"--name", &particulars.name},
                                                        {"--setter", &particulars.setter},
                                                        {"--group", &particulars.group},
                                                        {"--department", &particulars.department},
                                                        {"--date", &particulars.date}};
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (!a.startsWith(QLatin1String("--"))) {
            files << a;
            continue;
        }
        QString* value = nullptr;
        for (const auto& [name, field] : options)
            if (a == QLatin1String(name))
                value = field;
        if (!value)
            return addUsageError(QStringLiteral("unknown option '%1'").arg(a));
        if (i + 1 >= args.size())
            return addUsageError(QStringLiteral("'%1' needs a value").arg(a));
        *value = args[++i];
        named = named || value == &particulars.name;
    }
    if (files.size() != 3)
        return addUsageError(QStringLiteral("a library, a paper and an answer sheet are needed"));
    if (!named)
        return addUsageError(QStringLiteral("--name is needed"));
    if (const std::optional<QString> problem = particularsProblem(particulars))
        return failure(*problem);

    QString error;
    Paper paper;
    paper.particulars = particulars;
    std::optional<QByteArray> document = readPaperDocument(files[1], &error);
    if (document) {
        paper.paper = *document;
        document = readPaperDocument(files[2], &error);
    }
    if (!document)
        return failure(error);
    paper.answers = *document;
    const std::optional<int> position = PaperLibrary(files[0]).append(paper, &error);
    if (!position)
        return failure(error);
    out(QStringLiteral("已存为第%1份试卷\n").arg(*position + 1));
    return 0;
}

}  // namespace

void addLibraryCommands(QList<Command>& list, Workspace& /*workspace*/)
{
    list.append({QStringLiteral("library-dump"), kDumpUsage, libraryDump});
    list.append({QStringLiteral("library-add"), kAddUsage, libraryAdd});
}

}  // namespace qm::tool
