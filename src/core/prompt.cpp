#include "core/prompt.h"

#include <QStringList>

namespace qm {

QString toString(Icon icon)
{
    switch (icon) {
    case Icon::None: return QStringLiteral("none");
    case Icon::Critical: return QStringLiteral("critical");
    case Icon::Question: return QStringLiteral("question");
    case Icon::Warning: return QStringLiteral("warning");
    case Icon::Information: return QStringLiteral("information");
    }
    return {};
}

QString toString(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok: return QStringLiteral("Ok");
    case Buttons::OkCancel: return QStringLiteral("OkCancel");
    case Buttons::YesNo: return QStringLiteral("YesNo");
    case Buttons::YesNoCancel: return QStringLiteral("YesNoCancel");
    case Buttons::RetryCancel: return QStringLiteral("RetryCancel");
    case Buttons::AbortRetryIgnore: return QStringLiteral("AbortRetryIgnore");
    }
    return {};
}

QString toString(Answer answer)
{
    switch (answer) {
    case Answer::Ok: return QStringLiteral("Ok");
    case Answer::Cancel: return QStringLiteral("Cancel");
    case Answer::Yes: return QStringLiteral("Yes");
    case Answer::No: return QStringLiteral("No");
    case Answer::Retry: return QStringLiteral("Retry");
    case Answer::Abort: return QStringLiteral("Abort");
    case Answer::Ignore: return QStringLiteral("Ignore");
    }
    return {};
}

QString qtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // "*.*" means every file, also those without an extension.
        if (patterns.trimmed() == QLatin1String("*.*"))
            patterns = QStringLiteral("*");
        out << parts[i] + QLatin1String(" (") + patterns + QLatin1Char(')');
    }
    if (parts.size() % 2 == 1 && !parts.last().isEmpty())
        out << parts.last();
    return out.join(QLatin1String(";;"));
}

}  // namespace qm
