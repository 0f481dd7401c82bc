#include "support/word_script.h"

#include <QFile>

namespace qm::test {

namespace {
const char kVariable[] = "QUELLMARK_WORD_PROCESSOR";
}

WordScript::WordScript(const QByteArray& body)
    : m_old(qgetenv(kVariable)), m_hadOld(qEnvironmentVariableIsSet(kVariable))
{
    const QString path = file(QStringLiteral("word.sh"));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        f.write("#!/bin/sh\nDIR='" + dir().toUtf8() + "'\n" + body + "\n");
        f.close();
    }
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv(kVariable, path.toUtf8());
}

WordScript::~WordScript()
{
    if (m_hadOld)
        qputenv(kVariable, m_old);
    else
        qunsetenv(kVariable);
}

QString WordScript::dir() const
{
    return m_dir.path() + QLatin1Char('/');
}

QByteArray WordScript::savesRtf(const QByteArray& rtf)
{
    return "cat > \"$1\" <<'RTF'\n" + rtf + "\nRTF";
}

}  // namespace qm::test
