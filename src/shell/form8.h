#pragma once
// The about window: the product name, version, date and credits. A click on the window or
// Esc hides it.

#include <QWidget>

namespace qm {

class Form8 : public QWidget {
    Q_OBJECT
public:
    explicit Form8(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace qm
