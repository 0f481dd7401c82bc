// qmtool server-init URI: makes the server store's tables in a PostgreSQL database (or
// brings older ones up to date).
// qmtool server-import WORKPATH URI: copies the users (WORKPATH/tiku.psw) and every bank and
// paper library of a work path (WORKPATH/tiku/, one directory per subject, as the program
// keeps them) to the database: the users with hashed passwords, banks as they are with their
// 编号 and uses, libraries with their papers in order. Refuses, copying nothing, when the
// database has users or a bank or library of one of the names already.
// qmtool server-export URI WORKPATH: writes the database's banks and libraries back into a
// work path, refusing, writing nothing, when a file of one of the names exists. The users
// stay: the server cannot give their passwords back.

#include "bankstore/server_store.h"
#include "bankstore/user_store.h"
#include "core/paths.h"
#include "tools/command.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace qm::tool {

namespace {

const QString kInitUsage = QStringLiteral("URI  (makes the tables for banks in a PostgreSQL database)");
const QString kImportUsage =
    QStringLiteral("WORKPATH URI  (copies the users, banks and paper libraries of WORKPATH to the database)");
const QString kExportUsage =
    QStringLiteral("URI WORKPATH  (writes the database's banks and paper libraries into WORKPATH/tiku/)");

// The directory of a work path that holds one directory per subject.
QString bankRoot(const QString& workPath)
{
    return resolveNoCase(workPath, QStringLiteral("tiku"));
}

// A bank or library to copy: where it is read and where it is written, and its name for
// the report.
struct Copy {
    QString from;
    QString to;
    QString name;  // 学科/名称
    bool library = false;
};

// The banks and the libraries of the database, in that order, each as 学科/名称.
std::optional<QList<Copy>> serverContents(const QString& uri, QString* error)
{
    const std::optional<QList<ServerBankEntry>> banks = serverBanks(uri, error);
    const std::optional<QList<ServerBankEntry>> libraries = banks ? serverLibraries(uri, error) : std::nullopt;
    if (!libraries)
        return std::nullopt;
    QList<Copy> all;
    for (const ServerBankEntry& e : *banks)
        all.append({serverBankPath(uri, e.subject, e.name), {}, e.subject + QLatin1Char('/') + e.name, false});
    for (const ServerBankEntry& e : *libraries)
        all.append({serverBankPath(uri, e.subject, e.name), {}, e.subject + QLatin1Char('/') + e.name, true});
    return all;
}

// Copies every bank and library; the report on stdout, one line each.
int copyAll(const QList<Copy>& copies)
{
    int banks = 0;
    for (const Copy& c : copies) {
        QString error;
        const std::optional<int> count = c.library ? copyLibrary(c.from, c.to, &error) : copyBank(c.from, c.to, &error);
        if (!count)
            return failure(error);
        out(c.library ? QStringLiteral("%1：%2份试卷\n").arg(c.name).arg(*count)
                      : QStringLiteral("%1：%2道题\n").arg(c.name).arg(*count));
        banks += c.library ? 0 : 1;
    }
    out(QStringLiteral("共复制题库%1个，试卷库%2个\n").arg(banks).arg(copies.size() - banks));
    return 0;
}

int serverInit(const QStringList& args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("server-init"), kInitUsage, QStringLiteral("one database URI is needed"));
    QString error;
    if (!initServer(args[0], &error))
        return failure(error);
    out(QStringLiteral("数据库已可存放题库。\n"));
    return 0;
}

int serverImport(const QStringList& args)
{
    if (args.size() != 2)
        return usageError(QStringLiteral("server-import"), kImportUsage,
                          QStringLiteral("a work path and a database URI are needed"));
    const QString& uri = args[1];
    if (!isServerPath(uri) || uri.contains(QLatin1Char('#')))
        return failure(QStringLiteral("数据库地址“%1”无效，应写成“postgresql://服务器/数据库”。").arg(uri));
    const QString root = bankRoot(args[0]);
    const QDir work(root);
    if (!QFileInfo(root).isDir())
        return failure(QStringLiteral("找不到题库目录“%1”。").arg(QDir::toNativeSeparators(root)));
    QString error;
    const std::optional<QList<Copy>> present = serverContents(uri, &error);
    if (!present)
        return failure(error);
    QSet<std::pair<QString, bool>> there;
    for (const Copy& c : *present)
        there.insert({c.name, c.library});
    QList<Copy> copies;
    QStringList clashes;
    // The banks first, then the libraries, each kind by subject and name.
    for (const bool library : {false, true}) {
        for (const QString& subject : work.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            const QDir dir(work.filePath(subject));
            const QString pattern = library ? QStringLiteral("*.juk") : QStringLiteral("*.tik");
            for (const QFileInfo& file : dir.entryInfoList({pattern}, QDir::Files, QDir::Name)) {
                const QString name = subject + QLatin1Char('/') + file.fileName();
                if (there.contains({name, library}))
                    clashes << name;
                copies.append({file.filePath(), serverBankPath(uri, subject, file.fileName()), name, library});
            }
        }
    }
    if (!clashes.isEmpty())
        return failure(QStringLiteral("数据库中已有下列题库或试卷库，没有复制任何文件：%1")
                           .arg(clashes.join(QStringLiteral("，"))));
    const QString userFile = resolveNoCase(args[0], QStringLiteral("tiku.psw"));
    if (QFileInfo(userFile).isFile()) {
        const std::optional<QList<UserRecord>> users = UserStore(uri).users(&error);
        if (!users)
            return failure(error);
        if (!users->isEmpty())
            return failure(QStringLiteral("数据库中已有用户，没有复制任何文件。"));
        const std::optional<int> copied = copyUsersToServer(userFile, uri, &error);
        if (!copied)
            return failure(error);
        out(QStringLiteral("用户：%1个\n").arg(*copied));
    }
    return copyAll(copies);
}

int serverExport(const QStringList& args)
{
    if (args.size() != 2)
        return usageError(QStringLiteral("server-export"), kExportUsage,
                          QStringLiteral("a database URI and a work path are needed"));
    const QString& uri = args[0];
    if (!QFileInfo(args[1]).isDir())
        return failure(QStringLiteral("找不到工作路径“%1”。").arg(QDir::toNativeSeparators(args[1])));
    const QDir work(bankRoot(args[1]));
    QString error;
    std::optional<QList<Copy>> copies = serverContents(uri, &error);
    if (!copies)
        return failure(error);
    QStringList clashes;
    for (Copy& c : *copies) {
        // A subject is one directory of the work path.
        const qsizetype slash = c.name.indexOf(QLatin1Char('/'));
        if (!isValidFileName(c.name.left(slash)) || !isValidFileName(c.name.mid(slash + 1)))
            return failure(QStringLiteral("“%1”的名称不能用作文件名，没有写出任何文件。").arg(c.name));
        c.to = work.filePath(c.name);
        if (QFileInfo::exists(c.to))
            clashes << QDir::toNativeSeparators(c.to);
    }
    if (!clashes.isEmpty())
        return failure(QStringLiteral("下列文件已存在，没有写出任何文件：%1").arg(clashes.join(QStringLiteral("，"))));
    for (const Copy& c : *copies)
        if (!work.mkpath(c.name.left(c.name.indexOf(QLatin1Char('/')))))
            return failure(QStringLiteral("无法建立目录“%1”。").arg(QDir::toNativeSeparators(QFileInfo(c.to).path())));
    const int status = copyAll(*copies);
    if (status == 0)
        out(QStringLiteral("用户口令在数据库中只存有加密形式，没有写出用户文件。\n"));
    return status;
}

}  // namespace

void addServerCommands(QList<Command>& list, Workspace& /*workspace*/)
{
    list.append({QStringLiteral("server-init"), kInitUsage, serverInit});
    list.append({QStringLiteral("server-import"), kImportUsage, serverImport});
    list.append({QStringLiteral("server-export"), kExportUsage, serverExport});
}

}  // namespace qm::tool
