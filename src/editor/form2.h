#pragma once
// The bank window "题库录入": subjects and their bank files, the bank's particulars, the
// attribute lists, and the entry pane for the questions. The window is composed of its
// panels, each a class of its own holding its controls and handlers:
//   Frame1 "题库录入"      BankPanel      subject and bank choice, particulars
//   Frame2 "创建题库"      CreatePanel    the name of a new bank
//   Frame3 "学科管理"      SubjectPanel   adding, renaming and deleting subjects
//   Frame8 "拷出文件"      CopyOutPanel   copying the chosen bank out
//   Frame9 "拷入文件"      CopyInPanel    copying a bank file in
//   Frame4/5/6/10         SettingsPanel  the four attribute lists
//   Frame7 "题库录入"      EntryPane      one question at a time

#include <QPointer>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;

namespace qm {

class BankPanel;
class CopyInPanel;
class CopyOutPanel;
class CreatePanel;
class DialogKeys;
class DuplicatesWindow;
class EntryPane;
class FileListBox;
class Form4;
class Prompt;
class SettingsPanel;
class SubjectPanel;
class Workspace;

class Form2 : public QWidget {
    Q_OBJECT
public:
    Form2(Workspace& workspace, Prompt& prompt, QWidget* parent = nullptr);
    ~Form2() override;

    BankPanel* Frame1;        // 题库录入
    CreatePanel* Frame2;      // 创建题库
    SubjectPanel* Frame3;     // 学科管理
    CopyOutPanel* Frame8;     // 拷出文件
    CopyInPanel* Frame9;      // 拷入文件
    SettingsPanel* Settings;  // 题型设置, 章节设置, 难度设置, 单元设置
    EntryPane* Frame7;        // 题库录入

    // What other windows read of the bank panel: the subject, the bank and its particulars.
    QComboBox* Combo1;   // 学科名称
    FileListBox* File1;  // 题库名称
    QLineEdit* Text6;    // 题库名称 (mc)
    QLineEdit* Text1;    // 适用专业 (zy)
    QLineEdit* Text2;    // 适用大纲 (dg)
    QLineEdit* Text3;    // 建库人员 (jk)
    QLineEdit* Text4;    // 审定人员 (sd)
    QLineEdit* Text5;    // 启用时间 (qy)

    DialogKeys* keys() const { return m_keys; }
    Prompt& prompt() const { return m_prompt; }
    Workspace& workspace() const { return m_ws; }
    // The chosen bank, "" when none is chosen.
    QString bankPath() const;
    // The format statement window "导入说明", created on first use and kept.
    Form4* form4();
    // "查找重复题": the duplicates window on the chosen bank, created on first use and kept.
    void openDuplicates();
    DuplicatesWindow* duplicatesWindow() const;
    // True while an add, change or delete waits for its second press in the bank panel
    // or the entry pane.
    bool stepPending() const;

public Q_SLOTS:
    // Points the lists at BankRoot and rebuilds the subjects (start-up).
    void attachBankRoot();
    // Rebuilds the subject lists from the directories of BankRoot.
    void RefreshXueKe();
    // Shows this subject and bank (none: "") as another window chose them, unless an add,
    // change or delete is pending here: the record it works on stays.
    void followBank(const QString& subject, const QString& bank);

Q_SIGNALS:
    // The subject list was rebuilt with these subjects (the paper library copies them).
    void subjectsRefreshed(const QStringList& subjects);
    // "退　出": the main window comes to the front.
    void showMainWindow();
    // "格式说明" of the import description: the user guide at the section with this anchor.
    void guideRequested(const QString& anchor);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Workspace& m_ws;
    Prompt& m_prompt;
    DialogKeys* m_keys;
    QLabel* m_placeholder = nullptr;
    QPointer<Form4> m_form4;
    QPointer<DuplicatesWindow> m_duplicates;
};

}  // namespace qm
