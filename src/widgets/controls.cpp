#include "widgets/controls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace qm {

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QLineEdit* makeLineEdit(QWidget* parent, const QString& name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}

QCheckBox* makeCheckBox(QWidget* parent, const QString& name, const QString& caption)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QRadioButton* makeOption(QWidget* parent, QButtonGroup* group, const QString& name, const QString& caption, int id)
{
    auto* option = new QRadioButton(caption, parent);
    option->setObjectName(name);
    group->addButton(option, id);
    return option;
}

namespace {

// The widget's own style with "*" as the character that stands for a hidden one.
class StarPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

class SelectAllOnFocus : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Selecting at once would be undone by the click that gave the focus.
        if (event->type() == QEvent::FocusIn)
            if (auto* e = qobject_cast<QLineEdit*>(watched))
                QTimer::singleShot(0, e, &QLineEdit::selectAll);
        return false;
    }
};

}  // namespace

void selectAllOnFocus(QLineEdit* edit)
{
    edit->installEventFilter(new SelectAllOnFocus(edit));
}

void makePasswordBox(QLineEdit* edit)
{
    auto* style = new StarPasswordStyle;
    style->setParent(edit);
    edit->setStyle(style);
    edit->setEchoMode(QLineEdit::Password);
}

QSize sizeOnScreen(const QSize& preferred, const QSize& available)
{
    // The title bar and a taskbar that the free area may not have left out yet.
    return preferred.boundedTo(QSize(available.width(), available.height() - 68));
}

void sizeToScreen(QWidget* window, const QSize& preferred)
{
    const QScreen* screen = window->screen();
    window->resize(sizeOnScreen(preferred, screen ? screen->availableGeometry().size() : QSize(1024, 768)));
}

}  // namespace qm
