#include "widgets/editstep.h"

#include "widgets/dialogkeys.h"

#include <QPushButton>
#include <QTimer>

namespace qm {

EditStep::EditStep(DialogKeys* keys, QPushButton* cancel, QObject* parent)
    : QObject(parent), m_keys(keys), m_cancel(cancel)
{}

void EditStep::setTimers(const QList<QTimer*>& timers, std::function<void()> sync)
{
    m_timers = timers;
    m_sync = std::move(sync);
}

void EditStep::begin(QPushButton* button, const QList<QWidget*>& lock)
{
    end();
    m_button = button;
    m_caption = button->text();
    button->setText(QStringLiteral("确　定"));
    button->setEnabled(true);
    for (QWidget* w : lock) {
        if (w && w != button && w != m_cancel && w->isEnabled()) {
            w->setEnabled(false);
            m_disabled.append(w);
        }
    }
    if (m_cancel)
        m_cancel->setEnabled(true);
    for (QTimer* t : m_timers)
        t->stop();
    m_keys->setDefaultButton(button);
    m_keys->setCancelButton(m_cancel);
    Q_EMIT began(button);
}

void EditStep::end()
{
    if (!m_button)
        return;
    m_button->setText(m_caption);
    m_button = nullptr;
    for (const QPointer<QWidget>& w : std::as_const(m_disabled))
        if (w)
            w->setEnabled(true);
    m_disabled.clear();
    if (m_cancel)
        m_cancel->setEnabled(false);
    m_keys->setDefaultButton(nullptr);
    m_keys->setCancelButton(nullptr);
    for (QTimer* t : m_timers)
        t->start();
    if (m_sync)
        m_sync();
    Q_EMIT ended();
}

}  // namespace qm
