#include "composer/header_pane.h"

#include "composer/paper_choices_panel.h"
#include "core/prompt.h"
#include "core/workspace.h"
#include "paper/fragments.h"
#include "paper/header.h"
#include "paper/paper_job.h"
#include "widgets/busycursor.h"
#include "widgets/controls.h"
#include "widgets/report_error.h"
#include "widgets/richtextbox.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace qm {

HeaderPane::HeaderPane(Workspace& workspace, Prompt& prompt, QWidget* parent)
    : QGroupBox(QStringLiteral("卷面设置"), parent), m_ws(workspace), m_prompt(prompt)
{
    setObjectName(QStringLiteral("Frame2"));
    Text6 = makeLineEdit(this, QStringLiteral("Text6"));
    Text7 = makeLineEdit(this, QStringLiteral("Text7"));
    Text8 = makeLineEdit(this, QStringLiteral("Text8"));
    Text9 = makeLineEdit(this, QStringLiteral("Text9"));
    Text10 = makeLineEdit(this, QStringLiteral("Text10"));
    Text11 = makeLineEdit(this, QStringLiteral("Text11"));
    m_kinds = new QButtonGroup(this);
    m_variants = new QButtonGroup(this);
    Option1 = makeOption(this, m_kinds, QStringLiteral("Option1"), QStringLiteral("期中试卷"), 1);
    Option2 = makeOption(this, m_kinds, QStringLiteral("Option2"), QStringLiteral("期末试卷"), 2);
    Option3 = makeOption(this, m_kinds, QStringLiteral("Option3"), QStringLiteral("平时测验"), 3);
    Option4 = makeOption(this, m_kinds, QStringLiteral("Option4"), QStringLiteral("模拟试卷"), 4);
    Option5 = makeOption(this, m_variants, QStringLiteral("Option5"), QStringLiteral("A卷"), 1);
    Option6 = makeOption(this, m_variants, QStringLiteral("Option6"), QStringLiteral("B卷"), 2);
    Option7 = makeOption(this, m_variants, QStringLiteral("Option7"), QStringLiteral("不分AB"), 0);
    Choices = new PaperChoicesPanel(this);
    RichTextBox1 = new RichTextBox(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    Command8 = makeButton(this, QStringLiteral("Command8"), QStringLiteral("刷新试卷标题"));
    Command9 = makeButton(this, QStringLiteral("Command9"), QStringLiteral("确　定"));
    Command10 = makeButton(this, QStringLiteral("Command10"), QStringLiteral("取　消"));
    Command9->setEnabled(false);

    // The school year reads as the header does: "2003 ～ 2004 学年　　第 1 学期".
    const int yearWidth = fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12;
    for (QLineEdit* e : {Text6, Text7, Text8})
        e->setMaximumWidth(yearWidth);
    Text10->setMaximumWidth(yearWidth);
    auto* year = new QHBoxLayout;
    year->addWidget(Text6);
    year->addWidget(new QLabel(QStringLiteral("～"), this));
    year->addWidget(Text7);
    year->addWidget(new QLabel(QStringLiteral("学年　　第"), this));
    year->addWidget(Text8);
    year->addWidget(new QLabel(QStringLiteral("学期"), this));
    year->addStretch();
    auto* time = new QHBoxLayout;
    time->addWidget(Text10);
    time->addWidget(new QLabel(QStringLiteral("分钟"), this));
    time->addStretch();
    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("学校名称"), this), 0, 0);
    fields->addWidget(Text11, 0, 1);
    fields->addLayout(year, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("考试班级"), this), 2, 0);
    fields->addWidget(Text9, 2, 1);
    fields->addWidget(new QLabel(QStringLiteral("考试时间"), this), 3, 0);
    fields->addLayout(time, 3, 1);

    auto* kinds = new QGroupBox(QStringLiteral("试卷类型"), this);
    auto* kindBox = new QHBoxLayout(kinds);
    for (QRadioButton* o : {Option1, Option2, Option3, Option4})
        kindBox->addWidget(o);
    auto* variants = new QGroupBox(QStringLiteral("AB卷"), this);
    auto* variantBox = new QHBoxLayout(variants);
    for (QRadioButton* o : {Option5, Option6, Option7})
        variantBox->addWidget(o);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {Command8, Command9, Command10})
        buttons->addWidget(b);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(kinds);
    left->addWidget(variants);
    left->addWidget(Choices);
    left->addStretch();
    auto* preview = new QVBoxLayout;
    preview->addWidget(new QLabel(QStringLiteral("试卷标题式样"), this));
    preview->addWidget(RichTextBox1, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 2);
    top->addLayout(preview, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    setToolTips();
    setSettings({});
    connect(Command8, &QPushButton::clicked, this, &HeaderPane::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &HeaderPane::Command9_Click);
    connect(Command10, &QPushButton::clicked, this, &HeaderPane::Command10_Click);
}

void HeaderPane::setToolTips()
{
    Text6->setToolTip(QStringLiteral("学年的第一年，例如 2026"));
    Text7->setToolTip(QStringLiteral("学年的第二年，例如 2027"));
    Text8->setToolTip(QStringLiteral("第几学期，例如 一"));
    Text9->setToolTip(QStringLiteral("参加考试的班级，写在标题下"));
    Text10->setToolTip(QStringLiteral("考试用时，以分钟计"));
    Text11->setToolTip(QStringLiteral("学校名称，写在试卷标题的最前面"));
    for (QRadioButton* b : {Option1, Option2, Option3, Option4})
        b->setToolTip(QStringLiteral("试卷类型，写在试卷标题中"));
    for (QRadioButton* b : {Option5, Option6})
        b->setToolTip(QStringLiteral("同一考试出两份试卷时，标明这是哪一份"));
    Option7->setToolTip(QStringLiteral("不分A、B卷，标题中不写"));
    RichTextBox1->setToolTip(QStringLiteral("试卷标题和评分表的式样，可以直接修改"));
    Command8->setToolTip(QStringLiteral("按左边填的内容重新生成试卷标题和评分表"));
    Command9->setToolTip(QStringLiteral("把这个标题用于试卷，并保存这些设置供下次使用"));
    Command10->setToolTip(QStringLiteral("不用这个标题，回到试卷"));
}

void HeaderPane::setSource(std::function<QString()> bankFileName, std::function<int()> typeCount)
{
    m_bankFileName = std::move(bankFileName);
    m_typeCount = std::move(typeCount);
}

void HeaderPane::open()
{
    Choices->listTypes();
}

void HeaderPane::setTypes(std::function<QStringList()> types)
{
    Choices->setTypes(std::move(types));
}

paper::PaperChoices HeaderPane::choices() const
{
    return Choices->choices();
}

void HeaderPane::setTargets(RichTextBox* paper, RichTextBox* answers)
{
    m_paper = paper;
    m_answers = answers;
}

paper::HeaderSettings HeaderPane::settings() const
{
    paper::HeaderSettings s;
    s.firstYear = Text6->text();
    s.secondYear = Text7->text();
    s.term = Text8->text();
    s.className = Text9->text();
    s.minutes = Text10->text();
    s.school = Text11->text();
    s.kind = m_kinds->checkedId() < 0 ? paper::ExamKind::None : paper::ExamKind(m_kinds->checkedId());
    s.variant = paper::Variant(std::max(m_variants->checkedId(), 0));
    return s;
}

void HeaderPane::setSettings(const paper::HeaderSettings& s)
{
    Text6->setText(s.firstYear);
    Text7->setText(s.secondYear);
    Text8->setText(s.term);
    Text9->setText(s.className);
    Text10->setText(s.minutes);
    Text11->setText(s.school);
    // A group may have none chosen (a settings file can say so).
    m_kinds->setExclusive(false);
    for (QAbstractButton* b : m_kinds->buttons())
        b->setChecked(m_kinds->id(b) == int(s.kind));
    m_kinds->setExclusive(true);
    if (QAbstractButton* b = m_variants->button(int(s.variant)))
        b->setChecked(true);
}

QString HeaderPane::paperName() const
{
    return paper::headerTitleLines(settings(), m_bankFileName ? m_bankFileName() : QString())
        .section(QLatin1Char('\n'), 1);
}

QString HeaderPane::settingsPath() const
{
    return m_ws.ProgramDir() + QStringLiteral("JuanMian.cfg");
}

QString HeaderPane::templatePath() const
{
    return m_ws.ProgramDir() + QStringLiteral("qm.qm");
}

void HeaderPane::LoadCfg()
{
    const QString path = settingsPath();
    QString error;
    if (!QFileInfo::exists(path)) {
        // A program directory without settings yet: the pane keeps its defaults.
    } else if (const std::optional<paper::HeaderSettings> read = paper::loadSettings(path, settings(), &error)) {
        setSettings(*read);
    } else if (error != m_loadError) {
        reportError(m_prompt, error + QStringLiteral("\n卷面设置保持原样。"));
    }
    m_loadError = error;
    Choices->setChoices(paper::loadChoices(m_ws.ProgramDir() + paper::kPaperChoicesFile));
}

bool HeaderPane::SaveCfg()
{
    QString error;
    if (paper::saveSettings(settingsPath(), settings(), &error)
        && paper::saveChoices(m_ws.ProgramDir() + paper::kPaperChoicesFile, choices(), &error))
        return true;
    reportError(m_prompt, error);
    return false;
}

bool HeaderPane::refuseEmptyFields()
{
    if (!paper::hasEmptyField(settings()))
        return false;
    Text6->setFocus();
    reportError(m_prompt, QStringLiteral("这些项目不得为空！"));
    return true;
}

void HeaderPane::Command8_Click()
{
    if (m_requireBank && (!m_bankFileName || m_bankFileName().isEmpty())) {
        reportError(m_prompt, QStringLiteral("请先选择一个题库！"));
        return;
    }
    if (refuseEmptyFields())
        return;
    const BusyCursor busy;
    const int types = m_typeCount ? m_typeCount() : 0;
    // Without the template the header still gets a table of the right size.
    const QByteArray table = paper::loadScoringTable(templatePath(), types).value_or(paper::scoringTableRtf(types));
    paper::buildHeader(*RichTextBox1->document(), settings(), m_bankFileName ? m_bankFileName() : QString(), table);
    // As the paper will have it: on sealed sheets the candidate line is in the strip.
    if (paper::isSealed(choices().layout))
        paper::removeCandidateLine(*RichTextBox1->document());
    Command9->setEnabled(true);
}

void HeaderPane::Command9_Click()
{
    if (refuseEmptyFields())
        return;
    if (!SaveCfg())
        return;
    // A header accepted again replaces the one the paper has, at its top.
    const std::unique_ptr<QTextDocument> header =
        paper::fittedHeader(*RichTextBox1->document(), m_typeCount ? m_typeCount() : 0, templatePath());
    for (RichTextBox* target : {m_paper, m_answers})
        if (target)
            paper::placeHeader(*target->document(), *header);
    hide();
    Q_EMIT accepted();
    Q_EMIT closed();
}

void HeaderPane::Command10_Click()
{
    hide();
    Q_EMIT closed();
}

}  // namespace qm
