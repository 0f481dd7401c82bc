#pragma once
// The program's own pictures, drawn at run time: the window icon and the main window's
// background.

#include <QIcon>
#include <QWidget>

namespace qm {

QIcon programIcon();

// The main window's background: a soft blue sky over ruled exam paper.
class Backdrop : public QWidget {
    Q_OBJECT
public:
    explicit Backdrop(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace qm
