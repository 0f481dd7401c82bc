#include "tools/help.h"

namespace qm::tool {

namespace {

struct HelpText {
    const char16_t* name;
    const char16_t* what;
    const char16_t* example;
};

// One entry for every command; a command without one says so in its help.
constexpr HelpText kHelp[] = {
    {u"bank-dump", u"以文本列出题库的说明、题型等各列表和全部题目。", u"qmtool bank-dump 题库样本－生物.TIK"},
    {u"build-template", u"由文本源文件生成空题库模板 qm.qm（构建时使用）。",
     u"qmtool build-template data/qm.txt qm.qm"},
    {u"build-bank", u"由文本源文件生成题库（构建时用来生成题库样本）。",
     u"qmtool build-bank data/sample.txt sample.tik"},
    {u"build-library", u"生成空卷库 jk.jk（构建时使用）。", u"qmtool build-library jk.jk"},
    {u"build-users", u"由用户名单生成用户文件 tiku.psw（构建时使用）。", u"qmtool build-users data/users.txt tiku.psw"},
    {u"build-plan", u"由文本源文件为指定题库生成出题方案（构建时用来生成样例方案）。",
     u"qmtool build-plan data/sample_plan.txt sample.tik 样例方案.faa"},
    {u"grid", u"按条件统计题库，列出出题数表格（制表符分隔），与智能组卷窗口的表格相同。",
     u"qmtool grid 题库样本－生物.TIK --no-chapters --no-units --no-difficulty"},
    {u"draw",
     u"按出题方案从题库中抽题，列出抽到的题目；--seed 使每次抽到的相同，--prefer-unused 先抽用得最少的题，"
     u"--avoid-used-since 不抽该日期以后用过的题。",
     u"qmtool draw 题库样本－生物.TIK 样例方案.faa --seed 1"},
    {u"import",
     u"把批量题目文件（“题库”或“新题库”格式）导入题库；文件中没有说明的名称存为空名称，并在标准错误输出中列出；"
     u"--skip-duplicates 跳过题库中已有（或文件中前面已有）的相同题目。",
     u"qmtool import 高一生物.TIK 第一章.txt"},
    {u"merge", u"把另一个题库的全部题目追加到题库中；--skip-duplicates 跳过题库中已有的相同题目。",
     u"qmtool merge 高一生物.TIK 张老师的生物.TIK --skip-duplicates"},
    {u"search",
     u"在题库的题目和答案中查找含有全部所给词语的题，列出编号、题型、章节和一行上下文（制表符分隔）；"
     u"汉字按原样匹配，字母不分大小写，全角半角相同。",
     u"qmtool search 题库样本－生物.TIK 光合作用"},
    {u"duplicates",
     u"列出题库中相同或相近的题目对：编号1、编号2、相似度（相同为1），制表符分隔；--similarity 给出相近的下限"
     u"（0.5～1，默认0.9）。",
     u"qmtool duplicates 高一生物.TIK --similarity 0.9"},
    {u"library-dump", u"列出卷库中的每份试卷及其说明。", u"qmtool library-dump 高一生物.Juk"},
    {u"library-add", u"把一份试卷和它的答卷作为最后一份存入卷库；给出 --bank 和 --codes 时在题库中记下这些题目的使用。",
     u"qmtool library-add 高一生物.Juk 试卷.rtf 答卷.rtf --name 期中考试 --setter 张老师"},
    {u"compose",
     u"按出题方案组成整份试卷和答卷（RTF），--pdf 同时生成 PDF；卷面设置取自 JuanMian.cfg 或 --settings；"
     u"--parallel 另出一份不含本卷题目的B卷；--layout 选择版式（A4、A3两栏，可带密封线）。",
     u"qmtool compose 题库样本－生物.TIK 样例方案.faa 试卷.rtf 答卷.rtf --pdf --layout a3-seal"},
    {u"usage", u"列出题库中用过的题目：编号、使用次数、最近使用的日期和试卷（制表符分隔）。",
     u"qmtool usage 题库样本－生物.TIK"},
    {u"server-init", u"在 PostgreSQL 数据库中建立存放题库的表（已有旧版本的表时升级）；口令写在 ~/.pgpass 中。",
     u"qmtool server-init postgresql://jiaowu@school-server/tiku"},
    {u"server-import",
     u"把工作路径的用户（口令只存加密形式）和 tiku 目录（每个学科一个子目录）中的全部题库（连同编号和使用记录）和试卷库复制到"
     u"数据库；数据库中已有用户或同名题库、试卷库时不复制。",
     u"qmtool server-import /srv/tiku postgresql://jiaowu@school-server/tiku"},
    {u"server-export",
     u"把数据库中的全部题库和试卷库写回工作路径下的 tiku 目录（每个学科一个子目录）；已有同名文件时不写出。用户口令无法取回，"
     u"不写出用户文件。",
     u"qmtool server-export postgresql://jiaowu@school-server/tiku /srv/tiku-backup"},
    {u"rtf2txt", u"输出 RTF 文档的文字（UTF-8）。", u"qmtool rtf2txt 试卷.rtf"},
    {u"rtf2html", u"把 RTF 文档转成 HTML 输出。", u"qmtool rtf2html 试卷.rtf > 试卷.html"},
    {u"rtf2rtf", u"读入 RTF 文档再写出，检查程序能否读写它。", u"qmtool rtf2rtf 原文.rtf 重写.rtf"},
    {u"rtf2pdf", u"把 RTF 文档按试卷的排法（A4、字体和图片）存成 PDF。", u"qmtool rtf2pdf 试卷.rtf 试卷.pdf"},
};

}  // namespace

QString commandHelp(const Command& command)
{
    QString text =
        QStringLiteral("usage: qmtool ") + command.name + QLatin1Char(' ') + command.usage + QLatin1Char('\n');
    for (const HelpText& h : kHelp) {
        if (command.name == QString::fromUtf16(h.name)) {
            text += QLatin1Char('\n') + QString::fromUtf16(h.what) + QStringLiteral("\n\n例如：\n  ")
                    + QString::fromUtf16(h.example) + QLatin1Char('\n');
            return text;
        }
    }
    return text;
}

}  // namespace qm::tool
