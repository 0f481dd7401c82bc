#include "widgets/timer_pause.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace qm {

namespace {

// Watches one window's showing and hiding.
class TimerPause : public QObject {
public:
    explicit TimerPause(QWidget* window) : QObject(window), m_window(window)
    {
        window->installEventFilter(this);
        if (!window->isVisible())
            pause();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window) {
            if (event->type() == QEvent::Hide)
                pause();
            else if (event->type() == QEvent::Show)
                resume();
        }
        return false;
    }

private:
    void pause()
    {
        for (QTimer* timer : m_window->findChildren<QTimer*>()) {
            if (timer->isActive()) {
                timer->stop();
                m_paused << timer;
            }
        }
    }

    void resume()
    {
        for (const QPointer<QTimer>& timer : std::as_const(m_paused))
            if (timer)
                timer->start();
        m_paused.clear();
    }

    QWidget* m_window;
    QList<QPointer<QTimer>> m_paused;
};

}  // namespace

void pauseTimersWhileHidden(QWidget* window)
{
    new TimerPause(window);
}

}  // namespace qm
