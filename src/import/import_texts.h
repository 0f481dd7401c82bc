#pragma once
// The fixed texts of the batch import, the merge and the sort by chapter: questions,
// refusals and end messages, exactly as the user sees them.

#include <QString>

namespace qm::import {

// 导入题库 (batch import)
inline const QString kImportTitle = QStringLiteral("导入题库");  // title of the name input boxes
inline const QString kImportConfirm = QStringLiteral("只能导入规定格式的题库源文件！继续执行吗？");
inline const QString kNotBatchFile = QStringLiteral("文件不是规定格式的！");
inline const QString kEndOld = QStringLiteral("导入文件执行完毕！题库中分值一律按１分计算，如需改变，请自行修改！");
inline const QString kEndNew = QStringLiteral("导入文件执行完毕！");
// The file dialog of the import.
inline const QString kImportFilter = QStringLiteral("批量题库文件(*.txt)|*.txt|所有文件(*.*)|*.*");
// Said when an import ends early (cancelled or failed): what is in the bank now.
// Asked at the first question of the file that the bank has already.
inline const QString kImportDuplicates =
    QStringLiteral("要导入的题目中有与题库中已有的题目（或文件中前面的题目）相同的题。\r\n\r\n"
                   "是否跳过这些重复的题？选“是”跳过，选“否”照样导入。");
// Added to the end message when questions were skipped.
inline QString skippedMessage(int skipped)
{
    return QStringLiteral("跳过重复的题%1道。").arg(skipped);
}

inline QString importStoppedMessage(int stored)
{
    return QStringLiteral("导入已中止，已导入%1道题目。").arg(stored);
}

// 合并题库 (merge)
inline const QString kMergeConfirm =
    QStringLiteral("　　合并题库将会将现在打开的题库与将指定的题库合并并不能自动恢复。建议合并之前检查两个题库的分值、"
                   "题型、难度是否一致！如不一致，请先进行修改。是否继续？");
inline const QString kMergeFilter = QStringLiteral("*.tik");
inline QString mergeConfirmFiles(const QString& openBank, const QString& chosen)
{
    return QStringLiteral("将“") + openBank + QStringLiteral("”与“") + chosen + QStringLiteral("”合并吗？");
}
inline const QString kMergeDone = QStringLiteral("合并成功!");
inline QString mergeDuplicatesQuestion(int same)
{
    return QStringLiteral("来源题库中有%1道题与本题库中已有的题目（或来源题库中前面的题目）相同。\r\n\r\n"
                          "是否跳过这些重复的题？选“是”跳过，选“否”照样合并，选“取消”不合并。")
        .arg(same);
}

// 题库按章节排序 (sort by chapter)
inline const QString kSortDone = QStringLiteral("排序成功！");

// Titles
inline const QString kTitleWarning = QStringLiteral("警告");
inline const QString kTitleError = QStringLiteral("错误");
inline const QString kTitleInfo = QStringLiteral("提示");

}  // namespace qm::import
