#pragma once
// The help window "使用说明": the user guide with its contents and a search box. Opened by
// "&H 帮助" at the top and by the "格式说明" button of the import description at the batch
// file format.

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace qm {

class Prompt;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // Shows the guide at `guideFile` (guide/index.html); "" when none was found.
    HelpWindow(const QString& guideFile, Prompt& prompt, QWidget* parent = nullptr);

    QTreeWidget* Contents;  // 目录: the chapters and their sections
    QTextBrowser* Browser;  // the guide
    QLineEdit* Text1;       // the words to find
    QPushButton* Command1;  // 查　找: the next place the words stand, from the cursor on
    QPushButton* Command2;  // 目　录: back to the start of the guide
    QPushButton* Command3;  // 关　闭: hides the window
    QLabel* Label1;         // what the search found

    QString guideFile() const { return m_guideFile; }

public Q_SLOTS:
    // Shows the window at the section with this anchor ("" the start). Says so once when
    // the guide is missing.
    void showSection(const QString& anchor);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    // A click in the contents: the guide goes to that chapter or section.
    void Contents_Click(QTreeWidgetItem* item);

private:
    void load();

    Prompt& m_prompt;
    QString m_guideFile;
    bool m_loaded = false;
};

}  // namespace qm
