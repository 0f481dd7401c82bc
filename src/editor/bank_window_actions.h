#pragma once
// The bank window's import and maintenance buttons: 导入题库 (batch import), 导入说明 (the
// format statement), 合并题库 (merge another bank) and 题库按章节排序 (sort by chapter).

#include <QObject>
#include <QPointer>

namespace qm {

class Form2;
class Form4;
class Prompt;

class BankWindowActions : public QObject {
    Q_OBJECT
public:
    BankWindowActions(Form2& form, Prompt& prompt);
    // The format statement window, created on first use and kept.
    Form4* form4();

public Q_SLOTS:
    void Command40_Click();  // 导入题库
    void Command59_Click();  // 合并题库
    void Command60_Click();  // 导入说明
    void Command72_Click();  // 题库按章节排序

private:
    Form2& m_form;
    Prompt& m_prompt;
    QPointer<Form4> m_form4;
};

}  // namespace qm
