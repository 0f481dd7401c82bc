#include "widgets/dialogkeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

namespace qm {

DialogKeys::DialogKeys(QWidget* window) : QObject(window), m_window(window)
{
    qApp->installEventFilter(this);
}

void DialogKeys::setDefaultButton(QPushButton* button)
{
    if (m_default)
        m_default->setDefault(false);
    m_default = button;
    if (m_default)
        m_default->setDefault(true);
}

void DialogKeys::setCancelButton(QAbstractButton* button)
{
    m_cancel = button;
}

namespace {

bool usable(const QAbstractButton* b)
{
    return b && b->isEnabled() && b->isVisibleTo(b->window());
}

bool takesEnter(QObject* o)
{
    if (const auto* t = qobject_cast<QTextEdit*>(o))
        return !t->isReadOnly();
    if (const auto* p = qobject_cast<QPlainTextEdit*>(o))
        return !p->isReadOnly();
    return false;
}

}  // namespace

bool DialogKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto* w = static_cast<QWidget*>(watched);
    if (w->window() != m_window)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !takesEnter(watched) && usable(m_default)) {
        m_default->click();
        return true;
    }
    if (key->key() == Qt::Key_Escape && usable(m_cancel)) {
        m_cancel->click();
        return true;
    }
    return false;
}

}  // namespace qm
