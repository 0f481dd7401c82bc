#include "widgets/search_panel.h"

#include "widgets/controls.h"

#include <QAbstractTextDocumentLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qm {

namespace {

// The role of the context column holding the marked line as HTML.
constexpr int kMarkedRole = Qt::UserRole + 1;

QString markedHtml(const ContextLine& line)
{
    QString html;
    int at = 0;
    for (const auto& [start, length] : line.marks) {
        html += line.text.mid(at, start - at).toHtmlEscaped();
        html += QStringLiteral("<span style=\"color:#c00000;font-weight:bold\">")
                + line.text.mid(start, length).toHtmlEscaped() + QStringLiteral("</span>");
        at = start + length;
    }
    return html + line.text.mid(at).toHtmlEscaped();
}

// Draws the context column's line with its marked words.
class MarkedLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString html = index.data(kMarkedRole).toString();
        opt.text.clear();
        opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        QTextDocument doc;
        doc.setDefaultFont(opt.font);
        doc.setDocumentMargin(0);
        doc.setHtml(html);
        painter->save();
        painter->translate(opt.rect.left() + 3, opt.rect.top() + (opt.rect.height() - doc.size().height()) / 2);
        painter->setClipRect(QRect(0, 0, opt.rect.width() - 3, opt.rect.height()));
        QAbstractTextDocumentLayout::PaintContext context;
        if (opt.state & QStyle::State_Selected)
            context.palette.setColor(QPalette::Text, opt.palette.color(QPalette::HighlightedText));
        doc.documentLayout()->draw(painter, context);
        painter->restore();
    }
};

}  // namespace

SearchPanel::SearchPanel(QWidget* parent) : QGroupBox(QStringLiteral("查找题目"), parent)
{
    setObjectName(QStringLiteral("FrameSearch"));
    Text90 = makeLineEdit(this, QStringLiteral("Text90"));
    Text90->setPlaceholderText(QStringLiteral("输入要找的字词，以空格分开"));
    Text90->setClearButtonEnabled(true);
    Command90 = makeButton(this, QStringLiteral("Command90"), QStringLiteral("查　找"));
    Label90 = new QLabel(this);
    Label90->setObjectName(QStringLiteral("Label90"));
    List90 = new QTreeWidget(this);
    List90->setObjectName(QStringLiteral("List90"));
    List90->setHeaderLabels(
        {QStringLiteral("编号"), QStringLiteral("题型"), QStringLiteral("章节"), QStringLiteral("内容")});
    List90->setRootIsDecorated(false);
    List90->setUniformRowHeights(true);
    List90->setAllColumnsShowFocus(true);
    List90->setItemDelegateForColumn(3, new MarkedLineDelegate(List90));
    const QFontMetrics fm = fontMetrics();
    List90->setColumnWidth(0, fm.horizontalAdvance(QStringLiteral("0000000")));
    List90->setColumnWidth(1, fm.horizontalAdvance(QStringLiteral("选择题选择")));
    List90->setColumnWidth(2, fm.horizontalAdvance(QStringLiteral("第十章第十章")));
    List90->header()->setStretchLastSection(true);

    auto* row = new QHBoxLayout;
    row->addWidget(Text90, 1);
    row->addWidget(Command90);
    row->addWidget(Label90);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(List90, 1);
    // The list takes room only while it has something to show.
    List90->hide();

    connect(Command90, &QPushButton::clicked, this, &SearchPanel::Command90_Click);
    connect(Text90, &QLineEdit::returnPressed, this, &SearchPanel::Command90_Click);
    // A click, or moving through the list with the keys, shows the question.
    connect(List90, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item)
            Q_EMIT questionChosen(item->data(0, Qt::UserRole).toLongLong());
    });
    connect(List90, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { Q_EMIT questionChosen(item->data(0, Qt::UserRole).toLongLong()); });
}

void SearchPanel::Command90_Click()
{
    if (searchWords(Text90->text()).isEmpty()) {
        clearResults();
        Label90->setText(QStringLiteral("请输入要找的字词"));
        Text90->setFocus();
        return;
    }
    Q_EMIT searchRequested(Text90->text());
}

void SearchPanel::showResults(const QList<FoundQuestion>& rows, int total)
{
    const QSignalBlocker block(List90);
    List90->clear();
    QList<QTreeWidgetItem*> items;
    for (const FoundQuestion& q : rows) {
        auto* item = new QTreeWidgetItem({QString::number(q.id), q.type, q.chapter, q.line.text});
        item->setData(0, Qt::UserRole, q.id);
        item->setData(3, kMarkedRole, markedHtml(q.line));
        item->setToolTip(3, q.line.text);
        items.append(item);
    }
    List90->addTopLevelItems(items);
    List90->setVisible(!items.isEmpty());
    if (total == 0)
        Label90->setText(QStringLiteral("没有找到"));
    else if (rows.size() < total)
        Label90->setText(QStringLiteral("找到 %1 道题，列出前 %2 道").arg(total).arg(rows.size()));
    else
        Label90->setText(QStringLiteral("找到 %1 道题").arg(total));
}

void SearchPanel::clearResults()
{
    const QSignalBlocker block(List90);
    List90->clear();
    List90->hide();
    Label90->clear();
}

qint64 SearchPanel::chosenId() const
{
    const QTreeWidgetItem* item = List90->currentItem();
    return item ? item->data(0, Qt::UserRole).toLongLong() : 0;
}

}  // namespace qm
