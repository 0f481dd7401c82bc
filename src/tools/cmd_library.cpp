// qmtool library-dump LIBRARY.Juk: the papers of a paper library, one line each (position,
// 卷名, 出卷人, 教研组, 科室, 时间, and the length of the plain text of paper and answer sheet),
// tab-separated, with control characters in the particulars escaped.
// qmtool library-add LIBRARY.Juk PAPER.rtf ANSWERS.rtf --name NAME [--setter S] [--group G]
//   [--department D] [--date DATE] [--bank BANK --codes 编号,编号,…]: files a paper as the
//   last paper of the library. A composed paper names its bank and its questions' 编号: a
//   use of each is recorded in the bank under the paper's date (today when --date is not
//   given), as filing from a composition window does.

#include "bankstore/bank_file.h"
#include "bankstore/filing.h"
#include "bankstore/paper_library.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"
#include "tools/command.h"

#include <QDate>
#include <QTextDocument>
#include <iterator>

namespace qm::tool {

namespace {

const QString kDumpUsage = QStringLiteral("LIBRARY.Juk  (the papers of a paper library)");
const QString kAddUsage = QStringLiteral(
    "LIBRARY.Juk PAPER.rtf ANSWERS.rtf --name NAME [--setter S] [--group G] [--department D] [--date DATE] "
    "[--bank BANK --codes 编号,编号,…]  (files a paper as the last of the library; with --bank the uses of its "
    "questions are recorded in the bank)");

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
    QString bank;
    QString codes;
    QString date;
    const std::pair<const char*, QString*> options[] = {{"--name", &particulars.name},
                                                        {"--setter", &particulars.setter},
                                                        {"--group", &particulars.group},
                                                        {"--department", &particulars.department},
                                                        {"--date", &date},
                                                        {"--bank", &bank},
                                                        {"--codes", &codes}};
    bool given[std::size(options)] = {};
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (!a.startsWith(QLatin1String("--"))) {
            files << a;
            continue;
        }
        QString* value = nullptr;
        for (size_t k = 0; k < std::size(options); ++k) {
            if (a == QLatin1String(options[k].first)) {
                value = options[k].second;
                given[k] = true;
            }
        }
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
    const bool withBank = given[5];
    if (withBank != given[6])
        return addUsageError(QStringLiteral("--bank and --codes go together"));
    // The questions of a composed paper, by their 编号 in its bank.
    QList<QuestionRef> questions;
    if (withBank) {
        for (const QString& code : codes.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            bool ok = false;
            const qint64 id = code.trimmed().toLongLong(&ok);
            if (!ok || id <= 0)
                return addUsageError(QStringLiteral("'%1' is not a question's 编号").arg(code));
            questions.append({bank, id});
        }
        if (questions.isEmpty())
            return addUsageError(QStringLiteral("--codes names no question"));
        // The uses are recorded under the paper's date: one there is no doubt about.
        if (given[4] && !isoDate(date))
            return addUsageError(QStringLiteral("'%1' is not a date YYYY-MM-DD").arg(date));
        if (!given[4])
            date = QDate::currentDate().toString(Qt::ISODate);
    }
    particulars.date = date;
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
    // The bank is checked before the paper is filed: a wrong bank files nothing.
    if (withBank && !BankFile(bank).check(&error))
        return failure(error);
    const std::optional<FilingResult> filed =
        fileInLibrary(files[0], {{paper, questions}}, QDate::currentDate(), &error);
    if (!filed)
        return failure(error);
    out(QStringLiteral("已存为第%1份试卷\n").arg(filed->firstPosition + 1));
    if (withBank && filed->usageProblems.isEmpty())
        out(QStringLiteral("已记下%1道题的使用\n").arg(filed->recorded));
    if (const QString problems = usageProblemsMessage(*filed); !problems.isEmpty())
        return failure(problems);
    return 0;
}

}  // namespace

void addLibraryCommands(QList<Command>& list, Workspace& /*workspace*/)
{
    list.append({QStringLiteral("library-dump"), kDumpUsage, libraryDump});
    list.append({QStringLiteral("library-add"), kAddUsage, libraryAdd});
}

}  // namespace qm::tool
