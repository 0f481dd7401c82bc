#include "widgets/busycursor.h"

#include <QApplication>

namespace qm {

BusyCursor::BusyCursor()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_active = true;
    }
}

BusyCursor::~BusyCursor()
{
    if (m_active)
        QApplication::restoreOverrideCursor();
}

}  // namespace qm
