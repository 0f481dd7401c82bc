#include "tools/command.h"

#include <cstdio>

namespace qm::tool {

void out(const QString& text)
{
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
}

void err(const QString& text)
{
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
}

int failure(const QString& message)
{
    err(QStringLiteral("qmtool: %1\n").arg(message));
    return 1;
}

int usageError(const QString& name, const QString& usage, const QString& problem)
{
    err(QStringLiteral("qmtool %1: %2\nusage: qmtool %1 %3\n").arg(name, problem, usage));
    return 2;
}

std::optional<FilesAndFlag> filesAndFlag(const QStringList& args, const QString& flag, QString* unknown)
{
    FilesAndFlag out;
    for (const QString& a : args) {
        if (a == flag) {
            out.flag = true;
        } else if (a.startsWith(QStringLiteral("--"))) {
            *unknown = a;
            return std::nullopt;
        } else {
            out.files.append(a);
        }
    }
    return out;
}

QString oneField(QString text)
{
    for (QChar& c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    return text;
}

std::optional<QDate> isoDate(const QString& text)
{
    // Exactly four, two and two digits: QDate alone would take "2026-1-5" or a time too.
    const bool shaped = text.size() == 10 && text[4] == QLatin1Char('-') && text[7] == QLatin1Char('-');
    const QDate date = shaped ? QDate::fromString(text, QStringLiteral("yyyy-MM-dd")) : QDate();
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString commandList(const QList<Command>& commands)
{
    QString text = QStringLiteral("usage: qmtool COMMAND [ARGS]\n"
                                  "       qmtool --version\n"
                                  "       qmtool --help\n"
                                  "       qmtool help COMMAND\n"
                                  "commands:\n");
    for (const Command& c : commands)
        text += QStringLiteral("  ") + c.name + QLatin1Char(' ') + c.usage + QLatin1Char('\n');
    return text;
}

}  // namespace qm::tool
