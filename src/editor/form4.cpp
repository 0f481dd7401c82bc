#include "editor/form4.h"

#include "core/guide.h"
#include "import/format_statement.h"
#include "widgets/controls.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

Form4::Form4(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("导入说明"));
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setPlainText(import::formatStatementLines().join(QLatin1Char('\n')));
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("格式说明"));
    Command1->setToolTip(
        QStringLiteral("打开使用说明中批量导入文件格式的一节：每个标记的写法、完整的例子和出错时的提示"));
    connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Text1);
    layout->addWidget(Command1, 0, Qt::AlignRight);
    sizeToScreen(this, QSize(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 90, fontMetrics().height() * 34));
}

void Form4::Command1_Click()
{
    Q_EMIT guideRequested(QString::fromUtf16(kGuideBatchFormat));
}

}  // namespace qm
