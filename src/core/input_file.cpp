#include "core/input_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <new>

namespace qm {

namespace {

std::optional<QByteArray> refuse(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return std::nullopt;
}

}  // namespace

std::optional<QByteArray> readInputFile(const QString& path, QString* error, qint64 maxBytes)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.exists())
        return refuse(error, QStringLiteral("无法读取文件“%1”！").arg(shown));
    // Checked before opening: opening a pipe waits for a writer, and a device such as
    // /dev/zero never ends.
    if (!info.isFile())
        return refuse(error, QStringLiteral("“%1”不是普通文件，无法读取！").arg(shown));
    const QString tooLarge = QStringLiteral("文件“%1”大于%2MB，无法读取！").arg(shown).arg(maxBytes >> 20);
    if (info.size() > maxBytes)
        return refuse(error, tooLarge);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return refuse(error, QStringLiteral("无法读取文件“%1”！").arg(shown));
    try {
        QByteArray bytes;
        bytes.reserve(info.size());
        // Read in pieces up to one byte past the limit, in case the file grows meanwhile.
        constexpr qint64 kPiece = 1 << 20;
        while (bytes.size() <= maxBytes) {
            const QByteArray piece = f.read(std::min(kPiece, maxBytes + 1 - bytes.size()));
            if (piece.isEmpty())
                break;
            bytes += piece;
        }
        if (f.error() != QFileDevice::NoError)
            return refuse(error, QStringLiteral("无法读取文件“%1”！").arg(shown));
        if (bytes.size() > maxBytes)
            return refuse(error, tooLarge);
        return bytes;
    } catch (const std::bad_alloc&) {
        return refuse(error, QStringLiteral("内存不足，无法读取文件“%1”！").arg(shown));
    }
}

}  // namespace qm
