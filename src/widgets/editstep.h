#pragma once
// The two-press pattern of the add, delete and change buttons ("添　加", "删　除",
// "修　改"): the first press opens a step — the button's caption becomes "确　定", it
// becomes the default button (Enter) and the panel's "取　消" the cancel button (Esc),
// and the controls that must not be used meanwhile are disabled; the second press of that
// button commits. Whatever happens, a step ends in one defined way: end() puts the
// captions back, enables exactly the controls begin() disabled, disables "取　消", clears
// the default and cancel buttons and restarts the panel's timers.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QPushButton;
class QTimer;
class QWidget;

namespace qm {

class DialogKeys;

class EditStep : public QObject {
    Q_OBJECT
public:
    // `keys` are the window's default and cancel buttons; `cancel` is the panel's "取　消".
    EditStep(DialogKeys* keys, QPushButton* cancel, QObject* parent = nullptr);

    // Timers stopped while a step is pending; when it ends they restart and `sync` runs
    // once, so button states follow the selection again at once.
    void setTimers(const QList<QTimer*>& timers, std::function<void()> sync = {});

    bool pending() const { return m_button != nullptr; }
    // The button whose step is pending, or none.
    QPushButton* button() const { return m_button; }
    // True when a press of `button` is the confirming one.
    bool confirming(const QPushButton* button) const { return button && button == m_button; }

    // First press of `button`: opens its step and disables `lock` (the controls that must
    // wait). A step still pending is ended first.
    void begin(QPushButton* button, const QList<QWidget*>& lock);
    // Ends the pending step (nothing when none is pending).
    void end();

Q_SIGNALS:
    void began(QPushButton* button);
    void ended();

private:
    DialogKeys* m_keys;
    QPointer<QPushButton> m_cancel;
    QList<QTimer*> m_timers;
    std::function<void()> m_sync;
    QPointer<QPushButton> m_button;
    QString m_caption;                    // the pending button's resting caption
    QList<QPointer<QWidget>> m_disabled;  // what begin() disabled
};

}  // namespace qm
