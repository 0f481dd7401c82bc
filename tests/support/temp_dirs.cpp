#include "support/temp_dirs.h"

#include "core/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace qm::test {

QString shippedDir()
{
    return withTrailingSep(qEnvironmentVariable("QM_SHIPPED_DIR", QStringLiteral(QM_SHIPPED_DIR_DEFAULT)));
}

TempProgramDir::TempProgramDir(bool withShippedFiles)
    : TempProgramDir(withShippedFiles ? Workspace::shippedFiles() : QStringList())
{
    // The user guide, as a program directory beside the program has it.
    if (withShippedFiles && QFileInfo(shippedDir() + "guide").isDir())
        QFile::link(shippedDir() + "guide", path() + "guide");
}

TempProgramDir::TempProgramDir(const QStringList& shippedFiles)
{
    EXPECT_TRUE(m_dir.isValid());
    for (const QString& n : shippedFiles) {
        const QString src = shippedDir() + n;
        if (QFile::exists(src))
            QFile::copy(src, path() + n);
    }
    workspace.setProgramDir(path());
}

QString TempProgramDir::path() const
{
    return withTrailingSep(m_dir.path());
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

}  // namespace qm::test
