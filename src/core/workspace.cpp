#include "core/workspace.h"

#include "core/paths.h"

namespace qm {

Workspace::Workspace(QObject* parent) : QObject(parent) {}

Workspace::Workspace(const QString& programDir, QObject* parent) : QObject(parent)
{
    setProgramDir(programDir);
}

void Workspace::setProgramDir(const QString& dir)
{
    m_programDir = withTrailingSep(dir);
}

void Workspace::setBankRoot(const QString& dir)
{
    m_bankRoot = withTrailingSep(dir);
}

void Workspace::setSubjectDir(const QString& dir)
{
    const QString value = dir.isEmpty() ? dir : withTrailingSep(dir);
    if (value == m_subjectDir)
        return;
    m_subjectDir = value;
    Q_EMIT subjectDirChanged(m_subjectDir);
}

}  // namespace qm
