#pragma once
// The statement of the batch question file format that the "导入说明" window shows, line
// by line. Two lines carry the control character U+001F where the statement has always
// had it; it is kept so the text reads the same as the copies teachers already have.

#include <QString>
#include <QStringList>

namespace qm::import {

// The lines of the format statement, in order; an empty string is an empty line.
inline QStringList formatStatementLines()
{
    static constexpr const char16_t* lines[] = {
        u"批量题库的文件格式说明:",
        u"",
        u"老格式:",
        u"　　1、文件必须为纯文本格式。",
        u"　　2、文件开头必须是“题库”两字",
        u"　　3、每道题目以$CPxxSZyLVz开始、接着是题目、再以$结束。其中CP是章节，xx的范围00~99；SZ为",
        u"题型，y范围0~9；LV为难度，z的范围是0~9。",
        u"　　4、$必须配对使用，不得遗漏。该格式不支持分值录入。",
        u"　　5、数据导入时，需在提示时输入章节名、题型名等，每一类只需输一次即可。",
        u"",
        u"实例:",
        u"－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－",
        u"题库",
        u"$CP01SZ1LV1 请回答1+1=? $",
        u".......",
        u"$CP02SZ1LV1 请回答1*2*3=? $",
        u".......",
        u"",
        u"新格式:",
        u"　　1、文件必须为纯文本格式。",
        u"　　2、文件开头必须是“新题库”三个字",
        u"　　3、每道题目以$CPxxDYddSZyLVzPTww开始、接着是题目、再以$结束。其中CP是章节，xx的范围00~99；DY是单元，dd的范围00~99；SZ为题型，y范围0~9；LV为难度，z的范围是0~9；PT指分值，ww范围00~99。",
        u"　　4、$必须配对使用，不得遗漏。",
        u"　　5、文件中可加入 &CPxx 说明& 格式的章节说明，&SZx 说明&\x1f"
        u"格式的题型说明，&LVx 说明& 格式的难度",
        u"说明，&PTxx 说明&\x1f"
        u"格式的分值说明。 该格式支持答案输入，可将答案用花括号{ }括在题目后$前。",
        u"",
        u"实例:",
        u"－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－－",
        u"新题库",
        u"&LV2一般&",
        u"&CP01第一章 加法运算&",
        u"&CP02第二章 乘法运算&",
        u"&SZ1问答题&",
        u"&PT01 1 &",
        u"&PT02 2 &",
        u".......",
        u"$CP01DY01SZ1LV1PT01 请回答1+1=?    {填答案}$",
        u".......",
        u"$CP02DY01SZ1LV1PT02 请回答1*2*3=?  {填答案}$",
        u".......",
    };
    QStringList list;
    for (const char16_t* line : lines)
        list.append(QString::fromUtf16(line));
    return list;
}

// The whole statement as the window's text box holds it: every line ended by CR LF.
inline QString formatStatement()
{
    QString text;
    for (const QString& line : formatStatementLines())
        text += line + QStringLiteral("\r\n");
    return text;
}

}  // namespace qm::import
