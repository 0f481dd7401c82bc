#pragma once
// Default and cancel buttons for a window that is not a dialog: Enter presses the default
// button and Esc the cancel button while the focus is anywhere in the window, except in an
// editable multi-line text box, where Enter is a line break. Panels change both buttons
// as they open edit steps.

#include <QObject>
#include <QPointer>
#include <QPushButton>

namespace qm {

class DialogKeys : public QObject {
    Q_OBJECT
public:
    explicit DialogKeys(QWidget* window);

    void setDefaultButton(QPushButton* button);
    void setCancelButton(QAbstractButton* button);
    QPushButton* defaultButton() const { return m_default; }
    QAbstractButton* cancelButton() const { return m_cancel; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    QPointer<QPushButton> m_default;
    QPointer<QAbstractButton> m_cancel;
};

}  // namespace qm
