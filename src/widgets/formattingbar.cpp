#include "widgets/formattingbar.h"

#include "core/numbers.h"
#include "widgets/richtextbox.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace qm {

namespace {

// The blank of a fill-in question: one ideographic space, underlined, in 宋体 at 9 points.
const QChar kBlank(0x3000);
const QString kBlankFont = QStringLiteral("宋体");
constexpr double kBlankSize = 9;

enum class Picture { Copy, Paste, Left, Centre, Right, Delete, Undo };

// The small pictures of the picture buttons, drawn so that they look the same everywhere.
QIcon pictureIcon(Picture picture)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (picture) {
    case Picture::Copy:
        p.setBrush(Qt::white);
        p.drawRect(5, 4, 15, 18);
        p.drawRect(12, 10, 15, 18);
        break;
    case Picture::Paste:
        p.setBrush(QColor(230, 200, 140));
        p.drawRoundedRect(6, 6, 20, 23, 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(11, 3, 10, 6);
        p.drawLine(10, 16, 22, 16);
        p.drawLine(10, 22, 22, 22);
        break;
    case Picture::Left:
    case Picture::Centre:
    case Picture::Right: {
        const int widths[] = {24, 16, 24, 12};
        for (int i = 0; i < 4; ++i) {
            const int w = widths[i];
            const int x = picture == Picture::Left ? 4 : picture == Picture::Right ? 28 - w : 16 - w / 2;
            p.drawLine(x, 7 + i * 6, x + w, 7 + i * 6);
        }
        break;
    }
    case Picture::Delete:
        p.setPen(QPen(QColor(190, 30, 30), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(8, 8, 24, 24);
        p.drawLine(24, 8, 8, 24);
        break;
    case Picture::Undo: {
        QPainterPath arc;
        arc.moveTo(9, 14);
        arc.cubicTo(14, 6, 28, 8, 26, 19);
        arc.cubicTo(25, 24, 21, 26, 16, 26);
        p.drawPath(arc);
        p.setBrush(QColor(40, 40, 40));
        p.drawPolygon(QPolygonF({QPointF(4, 8), QPointF(12, 18), QPointF(4, 19)}));
        break;
    }
    }
    p.end();
    return QIcon(pm);
}

}  // namespace

FormattingBar::FormattingBar(RichTextBox* box1, RichTextBox* box2, const FormattingBarOptions& options, QWidget* parent)
    : QWidget(parent), m_box1(box1), m_box2(box2), m_options(options)
{
    setObjectName(QStringLiteral("FormattingBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    Command48 = addButton(QStringLiteral("Command48"), QStringLiteral("B"), QStringLiteral("加粗"));
    Command49 = addButton(QStringLiteral("Command49"), QStringLiteral("I"), QStringLiteral("倾斜"));
    Command50 = addButton(QStringLiteral("Command50"), QStringLiteral("U"), QStringLiteral("下划线"));
    Command51 = addButton(QStringLiteral("Command51"), QStringLiteral("B"), QStringLiteral("取消加粗"));
    Command52 = addButton(QStringLiteral("Command52"), QStringLiteral("I"), QStringLiteral("取消倾斜"));
    Command53 = addButton(QStringLiteral("Command53"), QStringLiteral("U"), QStringLiteral("取消下划线"));
    // The "on" buttons show their effect; the "off" buttons are plain letters.
    QFont f = Command48->font();
    f.setBold(true);
    Command48->setFont(f);
    f = Command49->font();
    f.setItalic(true);
    Command49->setFont(f);
    f = Command50->font();
    f.setUnderline(true);
    Command50->setFont(f);
    layout->addSpacing(6);
    Command54 = addButton(QStringLiteral("Command54"), QString(), QStringLiteral("复制"));
    Command55 = addButton(QStringLiteral("Command55"), QString(), QStringLiteral("粘贴"));
    Command63 = addButton(QStringLiteral("Command63"), QString(), QStringLiteral("删除"));
    Command64 = addButton(QStringLiteral("Command64"), QString(), QStringLiteral("撤消"));
    layout->addSpacing(6);
    Command56 = addButton(QStringLiteral("Command56"), QString(), QStringLiteral("左对齐"));
    Command57 = addButton(QStringLiteral("Command57"), QString(), QStringLiteral("居中"));
    Command58 = addButton(QStringLiteral("Command58"), QString(), QStringLiteral("右对齐"));
    Command62 = addButton(QStringLiteral("Command62"), QString(kBlank), QStringLiteral("插入下划线空格（填空）"));
    f = Command62->font();
    f.setUnderline(true);
    Command62->setFont(f);
    const std::pair<QPushButton*, Picture> pictures[] = {{Command54, Picture::Copy},   {Command55, Picture::Paste},
                                                         {Command63, Picture::Delete}, {Command64, Picture::Undo},
                                                         {Command56, Picture::Left},   {Command57, Picture::Centre},
                                                         {Command58, Picture::Right}};
    for (const auto& [button, picture] : pictures) {
        button->setIcon(pictureIcon(picture));
        button->setIconSize(QSize(16, 16));
    }

    layout->addSpacing(6);
    layout->addWidget(new QLabel(QStringLiteral("字体"), this));
    Combo6 = new QComboBox(this);
    Combo6->setObjectName(QStringLiteral("Combo6"));
    Combo6->setEditable(true);
    Combo6->setInsertPolicy(QComboBox::NoInsert);
    Combo6->addItems(QFontDatabase::families());
    Combo6->setEditText(QString());
    Combo6->setMinimumContentsLength(8);
    Combo6->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    layout->addWidget(Combo6, 1);
    layout->addWidget(new QLabel(QStringLiteral("字号"), this));
    Text15 = new QLineEdit(this);
    Text15->setObjectName(QStringLiteral("Text15"));
    Text15->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("000.0")) + 12);
    layout->addWidget(Text15);

    connect(Command48, &QPushButton::clicked, this, &FormattingBar::Command48_Click);
    connect(Command49, &QPushButton::clicked, this, &FormattingBar::Command49_Click);
    connect(Command50, &QPushButton::clicked, this, &FormattingBar::Command50_Click);
    connect(Command51, &QPushButton::clicked, this, &FormattingBar::Command51_Click);
    connect(Command52, &QPushButton::clicked, this, &FormattingBar::Command52_Click);
    connect(Command53, &QPushButton::clicked, this, &FormattingBar::Command53_Click);
    connect(Command54, &QPushButton::clicked, this, &FormattingBar::Command54_Click);
    connect(Command55, &QPushButton::clicked, this, &FormattingBar::Command55_Click);
    connect(Command56, &QPushButton::clicked, this, &FormattingBar::Command56_Click);
    connect(Command57, &QPushButton::clicked, this, &FormattingBar::Command57_Click);
    connect(Command58, &QPushButton::clicked, this, &FormattingBar::Command58_Click);
    connect(Command62, &QPushButton::clicked, this, &FormattingBar::Command62_Click);
    connect(Command63, &QPushButton::clicked, this, &FormattingBar::Command63_Click);
    connect(Command64, &QPushButton::clicked, this, &FormattingBar::Command64_Click);
    connect(Combo6, &QComboBox::textActivated, this, &FormattingBar::Combo6_Click);
    if (m_options.fontOnEveryEdit)
        connect(Combo6->lineEdit(), &QLineEdit::textEdited, this, &FormattingBar::Combo6_Click);
    // Only the user's edits apply a size: the box's own updates (below) merely show the
    // selection's size and must not carry one box's size over to the other box.
    connect(Text15, &QLineEdit::textEdited, this, &FormattingBar::Text15_Change);

    for (int which : {1, 2}) {
        RichTextBox* b = box(which);
        // Tab types a tab character into the box rather than moving the focus.
        b->setTabChangesFocus(false);
        b->installEventFilter(this);
        connect(b, &RichTextBox::GotFocus, this, [this, which] { boxGotFocus(which); });
        connect(b, &RichTextBox::SelChange, this, [this, which] { boxSelChange(which); });
    }
}

QPushButton* FormattingBar::addButton(const QString& name, const QString& caption, const QString& tip)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setAutoDefault(false);
    // The buttons never take the focus, so the box keeps its selection while they act.
    b->setFocusPolicy(Qt::NoFocus);
    const int side = fontMetrics().height() + 12;
    b->setFixedSize(side, side);
    layout()->addWidget(b);
    return b;
}

RichTextBox* FormattingBar::activeBox() const
{
    return box(m_active);
}

template <typename F>
void FormattingBar::onBothBoxes(F apply)
{
    apply(m_box1);
    apply(m_box2);
}

template <typename F>
void FormattingBar::onActiveBox(F apply)
{
    if (RichTextBox* b = activeBox()) {
        b->setFocus();
        apply(b);
    }
}

void FormattingBar::Command48_Click()
{
    onBothBoxes([](RichTextBox* b) { b->setSelBold(true); });
}
void FormattingBar::Command49_Click()
{
    onBothBoxes([](RichTextBox* b) { b->setSelItalic(true); });
}
void FormattingBar::Command50_Click()
{
    onBothBoxes([](RichTextBox* b) { b->setSelUnderline(true); });
}
void FormattingBar::Command51_Click()
{
    onBothBoxes([](RichTextBox* b) { b->setSelBold(false); });
}
void FormattingBar::Command52_Click()
{
    onBothBoxes([](RichTextBox* b) { b->setSelItalic(false); });
}
void FormattingBar::Command53_Click()
{
    onBothBoxes([](RichTextBox* b) { b->setSelUnderline(false); });
}
void FormattingBar::Command54_Click()
{
    onActiveBox([](RichTextBox* b) { b->copy(); });
}
void FormattingBar::Command55_Click()
{
    onActiveBox([](RichTextBox* b) { b->paste(); });
}
void FormattingBar::Command56_Click()
{
    onActiveBox([](RichTextBox* b) { b->setSelAlignment(0); });
}
void FormattingBar::Command57_Click()
{
    onActiveBox([](RichTextBox* b) { b->setSelAlignment(2); });
}
void FormattingBar::Command58_Click()
{
    onActiveBox([](RichTextBox* b) { b->setSelAlignment(1); });
}
void FormattingBar::Command63_Click()
{
    onActiveBox([](RichTextBox* b) { b->deleteSelection(); });
}
void FormattingBar::Command64_Click()
{
    onActiveBox([](RichTextBox* b) { b->undo(); });
}

void FormattingBar::Command62_Click()
{
    // Inserted directly at the caret (replacing a selection): the user's clipboard is
    // never touched.
    onActiveBox([](RichTextBox* b) {
        QTextCharFormat blank;
        blank.setFontFamilies({kBlankFont});
        blank.setFontPointSize(kBlankSize);
        blank.setUnderlineStyle(QTextCharFormat::SingleUnderline);
        QTextCursor c = b->textCursor();
        c.insertText(QString(kBlank), blank);
        b->setTextCursor(c);
    });
}

void FormattingBar::Combo6_Click(const QString& family)
{
    if (RichTextBox* b = activeBox())
        b->setSelFontName(family);
}

void FormattingBar::Text15_Change()
{
    if (RichTextBox* b = activeBox())
        b->setSelFontSize(Val(Text15->text()));
}

void FormattingBar::boxGotFocus(int which)
{
    m_active = which;
    if (m_options.collapseOtherSelection)
        box(3 - which)->setSelLength(0);
}

void FormattingBar::boxSelChange(int which)
{
    const RichTextBox* b = box(which);
    const std::optional<double> size = b->SelFontSize();
    if (!size)
        Text15->clear();
    else if (*size > 0)
        Text15->setText(numText(*size));
    const std::optional<QString> family = b->SelFontName();
    if (!family)
        Combo6->setEditText(QString());
    else if (!family->isEmpty())
        Combo6->setEditText(*family);
}

bool FormattingBar::eventFilter(QObject* watched, QEvent* event)
{
    if (m_options.toggleKeys && event->type() == QEvent::KeyPress && (watched == m_box1 || watched == m_box2)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::ControlModifier) {
            auto* b = static_cast<RichTextBox*>(watched);
            // A selection only partly formatted counts as unformatted, so it becomes formatted.
            switch (key->key()) {
            case Qt::Key_B: b->setSelBold(b->SelBold() != true); return true;
            case Qt::Key_I: b->setSelItalic(b->SelItalic() != true); return true;
            case Qt::Key_U: b->setSelUnderline(b->SelUnderline() != true); return true;
            default: break;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace qm
