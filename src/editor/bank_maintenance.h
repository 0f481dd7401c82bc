#pragma once
// The two whole-bank operations of the bank window, with their questions and messages:
// 合并题库 appends every question of another bank file, 题库按章节排序 groups the
// questions by chapter in the order of the chapter list. Both are all or nothing: a
// failure leaves the bank as it was and is reported with the store's message.

#include <QString>
#include <QStringList>

namespace qm {

class Form2;
class Prompt;

// 导入题库: asks whether to go on, lets the user choose a batch question file and stores
// its questions in the chosen bank, with a progress dialog that can stop the run. The
// entry pane is open during the run (the import asks for names the bank lacks) and is
// closed afterwards; the last question imported is then its current question.
void importBatchFile(Form2& form);

// 合并题库: asks whether to go on, lets the user choose a *.tik file, asks again naming
// both files, then appends the chosen bank's questions (questions only, not its lists) to
// the bank at `openBankPath` and reports "合并成功!". Returns true when the merge was done.
bool mergeBanks(Prompt& prompt, const QString& openBankPath);

// 题库按章节排序: reorders the questions of the bank at `bankPath` by the chapter list as
// shown (`chapterList`), keeping 编号 and the order within a chapter; questions of chapters
// that are in no entry follow, in their order. Reports "排序成功！"; returns true then.
bool sortBankByChapter(Prompt& prompt, const QString& bankPath, const QStringList& chapterList);

// 拷入文件/拷出文件 when one end is a bank on a database server: the bank is copied whole
// (bankstore copyBank), after the question a file copy asks before it replaces a bank
// ("文件已存在，是否覆盖？"); the bank replaced stays until the copy takes its place. Returns
// what CopyFileWithPrompt returns (kCopyDone, kCopyDeclined, kCopyFailed), `error` saying
// why a copy failed.
int copyBankWithPrompt(Prompt& prompt, const QString& source, const QString& target, QString* error);

}  // namespace qm
