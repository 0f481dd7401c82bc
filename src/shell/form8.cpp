#include "shell/form8.h"

#include "core/version.h"
#include "shell/artwork.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace qm {

Form8::Form8(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("关于"));
    setWindowIcon(programIcon());
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(204, 228, 255));
    setPalette(pal);
    setFocusPolicy(Qt::StrongFocus);

    auto* name = new QLabel(QStringLiteral("Quellmark"), this);
    QFont nf = name->font();
    nf.setPointSizeF(nf.pointSizeF() * 2.4);
    nf.setBold(true);
    name->setFont(nf);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* spaced = new QLabel(QStringLiteral("Q u e l l m a r k"), this);
    auto* version = new QLabel(QStringLiteral("版本") + QString::fromUtf16(kVersion), this);
    auto* date = new QLabel(QString::fromUtf16(kReleaseDate), this);
    date->setObjectName(QStringLiteral("lblDate"));
    auto* credits = new QLabel(QStringLiteral("设计：Quellmark 开发组\n测试：参与试用的各校教研组"), this);
    credits->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(36, 24, 36, 24);
    for (QWidget* w : {static_cast<QWidget*>(name), static_cast<QWidget*>(line), static_cast<QWidget*>(spaced),
                       static_cast<QWidget*>(version), static_cast<QWidget*>(date), static_cast<QWidget*>(credits)})
        layout->addWidget(w, 0, w == line ? Qt::Alignment() : Qt::AlignHCenter);
    // Clicks on the labels count as clicks on the window.
    for (QLabel* l : findChildren<QLabel*>())
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Form8::mousePressEvent(QMouseEvent*)
{
    hide();
}

void Form8::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        hide();
    else
        QWidget::keyPressEvent(event);
}

}  // namespace qm
