#pragma once
// The paper header pane "卷面设置" of the composition windows: the school year, term, class,
// time allowed and school, the kind of examination and the A/B variant, kept in
// "JuanMian.cfg"; "刷新试卷标题" builds the header from them and "确　定" puts it at the
// head of the paper and the answer sheet.

#include "paper/header_settings.h"
#include "paper/paper_choices.h"

#include <QGroupBox>
#include <functional>

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qm {

class PaperChoicesPanel;
class Prompt;
class RichTextBox;
class Workspace;

class HeaderPane : public QGroupBox {
    Q_OBJECT
public:
    HeaderPane(Workspace& workspace, Prompt& prompt, QWidget* parent = nullptr);

    QLineEdit* Text6;            // first year of the school year
    QLineEdit* Text7;            // second year
    QLineEdit* Text8;            // term
    QLineEdit* Text9;            // 考试班级
    QLineEdit* Text10;           // 考试时间 (minutes)
    QLineEdit* Text11;           // 学校名称
    QRadioButton* Option1;       // 期中试卷
    QRadioButton* Option2;       // 期末试卷
    QRadioButton* Option3;       // 平时测验
    QRadioButton* Option4;       // 模拟试卷
    QRadioButton* Option5;       // A卷
    QRadioButton* Option6;       // B卷
    QRadioButton* Option7;       // 不分AB
    PaperChoicesPanel* Choices;  // 试卷选项: score labels, answers, blank lines
    RichTextBox* RichTextBox1;   // 试卷标题式样: the header as built
    QPushButton* Command8;       // 刷新试卷标题
    QPushButton* Command9;       // 确　定
    QPushButton* Command10;      // 取　消

    // What the header is built for: the chosen bank's file name and the number of question
    // types of the paper (the scoring table has a column for each).
    void setSource(std::function<QString()> bankFileName, std::function<int()> typeCount);
    // "刷新试卷标题" first asks for a bank to be chosen (the manual window's header is built
    // for the bank being browsed).
    void setRequireBank(bool require) { m_requireBank = require; }
    // The documents "确　定" puts the header at the head of, in place of the header they have.
    void setTargets(RichTextBox* paper, RichTextBox* answers);

    paper::HeaderSettings settings() const;
    // The paper's name as its header gives it: the class, the bank, the kind and the
    // variant ("高一(3)班《数学》期中试卷(A)卷").
    QString paperName() const;
    void setSettings(const paper::HeaderSettings& settings);
    // Shown for editing: the choices offer the paper's types as they are now.
    void open();
    // The question types of the paper, for the blank lines of each.
    void setTypes(std::function<QStringList()> types);
    // The choices of "试卷选项".
    paper::PaperChoices choices() const;
    // Fills the pane from "JuanMian.cfg" and the choices beside it in the program directory.
    // Without the file the pane stays as it is; a file that cannot be read leaves it too,
    // said once in a message.
    void LoadCfg();
    // Writes the pane to "JuanMian.cfg" and the choices beside it; false after saying why.
    bool SaveCfg();

public Q_SLOTS:
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();

Q_SIGNALS:
    // "确　定": the header is saved and placed at the head of the paper.
    void accepted();
    // "确　定" or "取　消": the pane is done with.
    void closed();

private:
    // Says what each control does when the mouse rests on it.
    void setToolTips();
    // Says that a field is empty and puts the focus on the first one; true when one is.
    bool refuseEmptyFields();
    QString settingsPath() const;
    QString templatePath() const;

    Workspace& m_ws;
    Prompt& m_prompt;
    QButtonGroup* m_kinds;
    QButtonGroup* m_variants;
    std::function<QString()> m_bankFileName;
    std::function<int()> m_typeCount;
    bool m_requireBank = false;
    RichTextBox* m_paper = nullptr;
    RichTextBox* m_answers = nullptr;
    // What was said about the settings file that could not be read, so that opening the
    // window again does not say it again.
    QString m_loadError;
};

}  // namespace qm
