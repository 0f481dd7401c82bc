// qmtool server-init URI: makes the server store's tables in a PostgreSQL database (or
// brings older ones up to date).
// qmtool server-import WORKPATH URI: copies every bank of a work path (WORKPATH/tiku/, one
// directory per subject, as the program keeps them) to the database, each as it is with its 编号 and uses; refuses,
// copying nothing, when the database has a bank of one of the names already. qmtool server-export URI WORKPATH: writes
// the database's banks back into a work path, refusing, writing nothing, when a file of one of the names exists.

#include "bankstore/server_store.h"
#include "core/paths.h"
#include "tools/command.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace qm::tool {

namespace {

const QString kInitUsage = QStringLiteral("URI  (makes the tables for banks in a PostgreSQL database)");
const QString kImportUsage = QStringLiteral("WORKPATH URI  (copies the banks of WORKPATH/tiku/ to the database)");
const QString kExportUsage = QStringLiteral("URI WORKPATH  (writes the database's banks into WORKPATH/tiku/)");

// The directory of a work path that holds one directory per subject.
QString bankRoot(const QString& workPath)
{
    return resolveNoCase(workPath, QStringLiteral("tiku"));
}

// A bank to copy: where it is read and where it is written, and its name for the report.
struct Copy {
    QString from;
    QString to;
    QString name;  // 学科/名称
};

// Copies every bank; the report on stdout, one line each.
int copyAll(const QList<Copy>& copies)
{
    for (const Copy& c : copies) {
        QString error;
        const std::optional<int> questions = copyBank(c.from, c.to, &error);
        if (!questions)
            return failure(error);
        out(QStringLiteral("%1：%2道题\n").arg(c.name).arg(*questions));
    }
    out(QStringLiteral("共复制题库%1个\n").arg(copies.size()));
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
    const std::optional<QList<ServerBankEntry>> present = serverBanks(uri, &error);
    if (!present)
        return failure(error);
    QSet<QString> there;
    for (const ServerBankEntry& e : *present)
        there.insert(e.subject + QLatin1Char('/') + e.name);
    QList<Copy> copies;
    QStringList clashes;
    for (const QString& subject : work.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QDir dir(work.filePath(subject));
        for (const QFileInfo& file : dir.entryInfoList({QStringLiteral("*.tik")}, QDir::Files, QDir::Name)) {
            const QString name = subject + QLatin1Char('/') + file.fileName();
            if (there.contains(name))
                clashes << name;
            copies.append({file.filePath(), serverBankPath(uri, subject, file.fileName()), name});
        }
    }
    if (!clashes.isEmpty())
        return failure(
            QStringLiteral("数据库中已有下列题库，没有复制任何题库：%1").arg(clashes.join(QStringLiteral("，"))));
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
    const std::optional<QList<ServerBankEntry>> banks = serverBanks(uri, &error);
    if (!banks)
        return failure(error);
    QList<Copy> copies;
    QStringList clashes;
    for (const ServerBankEntry& e : *banks) {
        const QString name = e.subject + QLatin1Char('/') + e.name;
        // A subject is one directory of the work path.
        if (!isValidFileName(e.subject) || !isValidFileName(e.name))
            return failure(QStringLiteral("题库“%1”的名称不能用作文件名，没有写出任何题库。").arg(name));
        const QString target = work.filePath(name);
        if (QFileInfo::exists(target))
            clashes << QDir::toNativeSeparators(target);
        copies.append({serverBankPath(uri, e.subject, e.name), target, name});
    }
    if (!clashes.isEmpty())
        return failure(QStringLiteral("下列文件已存在，没有写出任何题库：%1").arg(clashes.join(QStringLiteral("，"))));
    for (const ServerBankEntry& e : *banks)
        if (!work.mkpath(e.subject))
            return failure(
                QStringLiteral("无法建立目录“%1”。").arg(QDir::toNativeSeparators(work.filePath(e.subject))));
    return copyAll(copies);
}

}  // namespace

void addServerCommands(QList<Command>& list, Workspace& /*workspace*/)
{
    list.append({QStringLiteral("server-init"), kInitUsage, serverInit});
    list.append({QStringLiteral("server-import"), kImportUsage, serverImport});
    list.append({QStringLiteral("server-export"), kExportUsage, serverExport});
}

}  // namespace qm::tool
