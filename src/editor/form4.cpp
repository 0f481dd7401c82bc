#include "editor/form4.h"

#include "import/format_statement.h"
#include "widgets/controls.h"

#include <QPlainTextEdit>
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
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Text1);
    sizeToScreen(this, QSize(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 90, fontMetrics().height() * 34));
}

}  // namespace qm
