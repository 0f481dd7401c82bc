#include "core/output_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStorageInfo>
#include <filesystem>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qm {

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

// The name of what an output of `kind` is, for messages.
QString kindName(FileKind kind)
{
    switch (kind) {
    case FileKind::Database: return QStringLiteral("题库、试卷库或用户文件");
    case FileKind::Pdf: return QStringLiteral("PDF文件");
    case FileKind::Rtf: return QStringLiteral("RTF文件");
    case FileKind::Text: return QStringLiteral("文本文件");
    case FileKind::Empty:
    case FileKind::Other:
    case FileKind::Any: break;
    }
    return QStringLiteral("这种文件");
}

// Where a path really leads: the file a link points to, in its real directory. A new name
// in a directory that does not exist stays as written, made absolute.
QString realPath(const QString& path)
{
    QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    if (info.isSymLink())
        info = QFileInfo(info.symLinkTarget());
    const QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
    return dir.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : dir + QLatin1Char('/') + info.fileName();
}

// The file that writing to `target` replaces: a link is followed, so that it keeps
// pointing where it did.
QString writtenPath(const QString& target)
{
    const QFileInfo info(target);
    if (!info.isSymLink())
        return target;
    return info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
}

QString randomSuffix()
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString s;
    for (int i = 0; i < 6; ++i)
        s += QLatin1Char(kChars[QRandomGenerator::global()->bounded(int(sizeof kChars) - 1)]);
    return s;
}

// Writes the whole of `bytes` to `f` and flushes it to the disk.
bool writeThrough(QFile& f, QByteArrayView bytes)
{
    if (f.write(bytes.data(), bytes.size()) != bytes.size() || !f.flush())
        return false;
#ifdef Q_OS_UNIX
    if (::fsync(f.handle()) != 0)
        return false;
#endif
    return true;
}

}  // namespace

FileKind kindOfFile(const QString& path)
{
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        return FileKind::Other;
    const QByteArray head = f.read(4096);
    if (head.isEmpty())
        return f.error() == QFileDevice::NoError && f.size() == 0 ? FileKind::Empty : FileKind::Other;
    if (head.startsWith(QByteArrayView("SQLite format 3\0", 16)))
        return FileKind::Database;
    // A PDF reader looks for the mark within the first kilobyte.
    if (head.left(1024).contains("%PDF-"))
        return FileKind::Pdf;
    if (head.trimmed().startsWith("{\\rtf"))
        return FileKind::Rtf;
    if (head.startsWith("\xEF\xBB\xBF") || head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF"))
        return FileKind::Text;
    return head.contains('\0') ? FileKind::Other : FileKind::Text;
}

bool sameFile(const QString& a, const QString& b)
{
    const QFileInfo ia(a), ib(b);
    if (ia.exists() != ib.exists())
        return false;
#ifdef Q_OS_UNIX
    if (ia.exists()) {
        // Two hard links to one file have different real paths.
        struct stat sa {};
        struct stat sb {};
        if (::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0)
            return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    }
#endif
    return realPath(a) == realPath(b);
}

std::optional<QString> refuseOutputs(const QList<Output>& outputs, const QStringList& inputs)
{
    for (qsizetype i = 0; i < outputs.size(); ++i) {
        const Output& out = outputs[i];
        const QFileInfo info(out.path);
        if (info.exists() && !info.isFile())
            return QStringLiteral("“%1”不是普通文件，不能写入！").arg(shown(out.path));
        for (const QString& in : inputs) {
            if (in.isEmpty() || !sameFile(out.path, in))
                continue;
            if (shown(in) == shown(out.path))
                return QStringLiteral("“%1”是正在使用的文件，不能覆盖！").arg(shown(out.path));
            return QStringLiteral("“%1”就是正在使用的文件“%2”，不能覆盖！").arg(shown(out.path), shown(in));
        }
        for (qsizetype j = 0; j < i; ++j)
            if (sameFile(out.path, outputs[j].path))
                return QStringLiteral("“%1”和“%2”是同一个文件，不能同时写入！")
                    .arg(shown(outputs[j].path), shown(out.path));
        if (info.exists()) {
            const FileKind kind = kindOfFile(out.path);
            if (out.kind != FileKind::Any && kind != FileKind::Empty && kind != out.kind)
                return QStringLiteral("文件“%1”已存在，它不是%2，不能覆盖！").arg(shown(out.path), kindName(out.kind));
        }
    }
    return std::nullopt;
}

OutputFiles::~OutputFiles()
{
    for (const Pending& p : m_pending)
        QFile::remove(p.part);
}

bool OutputFiles::write(const QString& target, QByteArrayView bytes, QString* error, const QString& what)
{
    const QString real = writtenPath(target);
    const QFileInfo info(real);
    if (info.exists() && !info.isFile())
        return fail(error, QStringLiteral("“%1”不是普通文件，不能写入！").arg(shown(target)));
    const QString cannot = QStringLiteral("无法写入%1“%2”！").arg(what, shown(target));

    // Beside the target, so that the rename that puts it in place is one step on one disk.
    // The name is cut short enough to leave room for the ending within any name limit.
    const QString stem = info.absolutePath() + QLatin1Char('/') + info.fileName().left(60) + QLatin1Char('.');
    QFile f;
    for (int attempt = 0;; ++attempt) {
        f.setFileName(stem + randomSuffix() + QStringLiteral(".part"));
        if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            break;
        if (attempt == 20 || !f.exists())
            return fail(error, cannot);
    }
    m_pending.append({f.fileName(), real, target, what});
    bool written = writeThrough(f, bytes);
    f.close();
    written = written && f.error() == QFileDevice::NoError;
    if (written && info.exists())
        QFile::setPermissions(f.fileName(), QFile::permissions(real));
    if (!written) {
        QFile::remove(f.fileName());
        m_pending.removeLast();
        const QStorageInfo disk(info.absolutePath());
        if (disk.isValid() && disk.bytesAvailable() < bytes.size())
            return fail(error, QStringLiteral("无法写入%1“%2”：磁盘空间不足！").arg(what, shown(target)));
        return fail(error, cannot);
    }
    return true;
}

bool OutputFiles::commit(QString* error)
{
    while (!m_pending.isEmpty()) {
        const Pending& p = m_pending.first();
        // A rename replaces the old file in one step: it is there whole, old or new.
        std::error_code failed;
        std::filesystem::rename(QFile::encodeName(p.part).toStdString(), QFile::encodeName(p.target).toStdString(),
                                failed);
        if (failed)
            return fail(error, QStringLiteral("无法写入%1“%2”！").arg(p.what, shown(p.shown)));
        m_pending.removeFirst();
    }
    return true;
}

}  // namespace qm
