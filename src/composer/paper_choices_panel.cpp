#include "composer/paper_choices_panel.h"

#include "widgets/controls.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>

namespace qm {

PaperChoicesPanel::PaperChoicesPanel(QWidget* parent) : QGroupBox(QStringLiteral("试卷选项"), parent)
{
    setObjectName(QStringLiteral("FrameChoices"));
    m_scores = new QButtonGroup(this);
    m_answers = new QButtonGroup(this);
    ScorePercent = makeOption(this, m_scores, QStringLiteral("ScorePercent"), QStringLiteral("百分比：(20%)"),
                              int(paper::ScoreLabels::Percent));
    ScorePoints = makeOption(this, m_scores, QStringLiteral("ScorePoints"),
                             QStringLiteral("分数：（每小题2分，共20分）"), int(paper::ScoreLabels::Points));
    AnswerSheet = makeOption(this, m_answers, QStringLiteral("AnswerSheet"), QStringLiteral("全卷附答案"),
                             int(paper::AnswerForm::Sheet));
    AnswerKey = makeOption(this, m_answers, QStringLiteral("AnswerKey"), QStringLiteral("只列答案"),
                           int(paper::AnswerForm::Key));
    LinesType = new QComboBox(this);
    LinesType->setObjectName(QStringLiteral("LinesType"));
    LinesType->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    LinesType->setMinimumContentsLength(6);
    LinesCount = new QSpinBox(this);
    LinesCount->setObjectName(QStringLiteral("LinesCount"));
    LinesCount->setRange(0, paper::kMaxAnswerLines);
    SheetLayout = new QComboBox(this);
    SheetLayout->setObjectName(QStringLiteral("SheetLayout"));
    for (const paper::PaperLayout l : paper::kPaperLayouts)
        SheetLayout->addItem(paper::layoutCaption(l), int(l));
    ScorePercent->setToolTip(QStringLiteral("大题标题后写“(20%)”，小题号后写“(2%)”"));
    ScorePoints->setToolTip(
        QStringLiteral("大题标题后写“（每小题2分，共20分）”，分值不同时写“（共20分）”并在小题号后写分数"));
    AnswerSheet->setToolTip(QStringLiteral("答卷是整份试卷，每题之后写“答:”和答案"));
    AnswerKey->setToolTip(QStringLiteral("答卷只有标题和各题的答案，用作参考答案"));
    LinesType->setToolTip(QStringLiteral("选一种题型，在右边设它每道题之后留几行空白"));
    LinesCount->setToolTip(QStringLiteral("试卷中这种题型每道题之后留出的空行，供学生作答"));
    SheetLayout->setToolTip(QStringLiteral("A3 两栏：A3横向，每张分左右两栏；密封线：每张正面左侧印密封线，"
                                           "学校、班级、姓名、考号写在线外，卷头不再有姓名一行"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("分值标注"), this), 0, 0);
    layout->addWidget(ScorePercent, 0, 1);
    layout->addWidget(ScorePoints, 0, 2, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("答　　卷"), this), 1, 0);
    layout->addWidget(AnswerSheet, 1, 1);
    layout->addWidget(AnswerKey, 1, 2, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("答题空行"), this), 2, 0);
    layout->addWidget(LinesType, 2, 1);
    layout->addWidget(new QLabel(QStringLiteral("每题后留"), this), 2, 2, Qt::AlignRight);
    auto* count = new QHBoxLayout;
    count->addWidget(LinesCount);
    count->addWidget(new QLabel(QStringLiteral("行"), this));
    count->addStretch();
    layout->addLayout(count, 2, 3);
    layout->addWidget(new QLabel(QStringLiteral("版　　式"), this), 3, 0);
    layout->addWidget(SheetLayout, 3, 1, 1, 2);
    layout->setColumnStretch(3, 1);

    setChoices({});
    connect(m_scores, &QButtonGroup::idClicked, this, [this](int id) { m_choices.scores = paper::ScoreLabels(id); });
    connect(m_answers, &QButtonGroup::idClicked, this, [this](int id) { m_choices.answers = paper::AnswerForm(id); });
    connect(LinesType, &QComboBox::currentIndexChanged, this, &PaperChoicesPanel::LinesType_Click);
    connect(LinesCount, &QSpinBox::valueChanged, this, &PaperChoicesPanel::LinesCount_Change);
    connect(SheetLayout, &QComboBox::currentIndexChanged, this,
            [this] { m_choices.layout = paper::PaperLayout(SheetLayout->currentData().toInt()); });
}

void PaperChoicesPanel::setChoices(const paper::PaperChoices& choices)
{
    m_choices = choices;
    m_scores->button(int(choices.scores))->setChecked(true);
    m_answers->button(int(choices.answers))->setChecked(true);
    SheetLayout->setCurrentIndex(SheetLayout->findData(int(choices.layout)));
    LinesType_Click();
}

void PaperChoicesPanel::listTypes()
{
    const QString chosen = LinesType->currentText();
    const QStringList types = m_types ? m_types() : QStringList();
    {
        const QSignalBlocker block(LinesType);
        LinesType->clear();
        LinesType->addItems(types);
        LinesType->setCurrentIndex(std::max(int(types.indexOf(chosen)), types.isEmpty() ? -1 : 0));
    }
    LinesType_Click();
}

void PaperChoicesPanel::LinesType_Click()
{
    m_showing = true;
    LinesCount->setValue(m_choices.linesAfter(LinesType->currentText()));
    LinesCount->setEnabled(LinesType->currentIndex() >= 0);
    m_showing = false;
}

void PaperChoicesPanel::LinesCount_Change()
{
    const QString type = LinesType->currentText();
    if (m_showing || type.isEmpty())
        return;
    if (LinesCount->value() > 0)
        m_choices.answerLines.insert(type, LinesCount->value());
    else
        m_choices.answerLines.remove(type);
}

}  // namespace qm
