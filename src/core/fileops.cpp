#include "core/fileops.h"

#include "core/gbk.h"
#include "core/output_file.h"
#include "core/prompt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace qm {

bool gbkLess(const QString& a, const QString& b)
{
    const QByteArray ka = gbkEncode(a).value_or(a.toUtf8());
    const QByteArray kb = gbkEncode(b).value_or(b.toUtf8());
    if (ka != kb)
        return ka < kb;
    return a < b;
}

QStringList sortedByGbk(QStringList names)
{
    std::sort(names.begin(), names.end(), gbkLess);
    return names;
}

QStringList filesMatching(const QString& dir, const QString& pattern)
{
    return namesMatching(QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System), pattern);
}

QStringList namesMatching(const QStringList& names, const QString& pattern)
{
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern),
                                QRegularExpression::CaseInsensitiveOption);
    QStringList matching;
    for (const QString& name : names)
        if (re.match(name).hasMatch())
            matching << name;
    return sortedByGbk(matching);
}

QStringList subdirectoryNames(const QString& dir)
{
    return sortedByGbk(QDir(dir).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System));
}

void Md(const QString& dir)
{
    QDir().mkdir(dir);
}

int Rd(const QString& dir)
{
    const QFileInfo info(dir);
    if (!info.isDir())
        return kErrPathNotFound;
    return QDir().rmdir(dir) ? 0 : kErrPathFileAccess;
}

bool replaceFile(const QString& path, QByteArrayView bytes)
{
    OutputFiles out;
    return out.write(path, bytes) && out.commit();
}

bool filecopyZZ(const QString& source, const QString& destination)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return false;
    in.close();
    return replaceFile(destination, bytes);
}

void KillFile(const QString& path)
{
    QFile::remove(path);
}

int CopyFileWithPrompt(Prompt& prompt, const QString& source, const QString& destination)
{
    QFile in(source);
    if (!QFileInfo(source).isFile() || !in.open(QIODevice::ReadOnly))
        return kCopyFailed;
    if (in.size() == 0)
        return kCopySourceEmpty;
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError || bytes.size() != in.size())
        return kCopyFailed;
    in.close();

    const QFileInfo dest(destination);
    if (dest.exists()) {
        if (!dest.isFile() || !dest.isWritable())
            return kCopyFailed;
    } else if (!QFileInfo(dest.absolutePath()).isWritable()) {
        return kCopyFailed;
    }
    if (dest.exists() && dest.size() > 0) {
        const Answer a = prompt.message(QStringLiteral("文件已存在，是否覆盖？"), QStringLiteral("警告"),
                                        Icon::Question, Buttons::YesNo, Answer::No);
        if (a != Answer::Yes)
            return kCopyDeclined;
    }
    return replaceFile(destination, bytes) ? kCopyDone : kCopyFailed;
}

}  // namespace qm
