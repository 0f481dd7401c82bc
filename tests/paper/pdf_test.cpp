// Papers written as PDF: the text can be found in the file and the fonts are embedded.

#include "paper/fragments.h"
#include "paper/header.h"
#include "paper/paper_job.h"
#include "paper/pdf.h"
#include "rtf/rich_text.h"
#include "support/qstring_print.h"
#include "support/temp_bank.h"
#include "support/temp_dirs.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <sys/mount.h>

using namespace qm;
using namespace qm::paper;

namespace {

// What a poppler tool prints about a PDF file.
QString poppler(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << tool.toStdString() << " did not run (poppler-utils)";
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Text as pdftotext gives it, without the blanks it puts between characters and lines.
// The Chinese fonts draw some characters with the glyph of a radical of the same shape (高
// and ⾼, 二 and ⼆), and the PDF's text map names such a glyph by the radical; NFKC
// folds the radicals back.
QString pdfText(const QString& path)
{
    QString text = poppler("pdftotext", {path, "-"}).normalized(QString::NormalizationForm_KC);
    text.remove(QRegularExpression("\\s"));
    return text;
}

}  // namespace

TEST(Pdf, ThePaperPrintsWithItsChineseTextAndEmbeddedFonts)
{
    test::TempProgramDir dir(QStringList{"qm.qm"});
    test::TempBank bank("物理.tik");
    Question q;
    q.type = "单选题";
    q.text = rtfFromPlainText("下列关于惯性的说法正确的是", "宋体");
    q.answer = rtfFromPlainText("质量是惯性大小的量度", "楷体");
    ASSERT_TRUE(bank.bank().add(q));
    q.type = "计算题";
    q.text = rtfFromPlainText("求物体的加速度", "黑体");
    ASSERT_TRUE(bank.bank().add(q));

    HeaderSettings s;
    s.firstYear = "2023";
    s.secondYear = "2024";
    s.term = "2";
    s.className = "高二(1)班";
    s.minutes = "120";
    PaperJob job;
    job.sections = sectionsOfDraw(bank.path, {{"单选题", 1, 1, "5", 0, {}, "40"}, {"计算题", 1, 2, "", 0, {}, ""}});
    job.settings = s;
    job.bankFileName = "物理.tik";
    job.templatePath = dir.file("qm.qm");
    const auto assembled = makePaper(job);
    ASSERT_TRUE(assembled);

    const QString paperPdf = dir.file("试卷.pdf");
    QString error;
    ASSERT_TRUE(writePdf(*assembled->paper, paperPdf, &error)) << error.toStdString();
    const QString text = pdfText(paperPdf);
    for (const QString& piece :
         QStringList{"实验中学2023", "2024学年第2学期", "高二(1)班《物理》期末试卷", "一、单选题(40%)",
                     "1.(5%)下列关于惯性的说法正确的是", "二、计算题", "1.求物体的加速度", "阅卷人"})
        EXPECT_TRUE(text.contains(piece)) << piece.toStdString() << " not in " << text.toStdString();
    EXPECT_FALSE(text.contains("质量是惯性大小的量度"));

    // Every font is embedded, and the Chinese text is set in Chinese fonts.
    const QStringList fonts = poppler("pdffonts", {paperPdf}).split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& line : fonts)
        EXPECT_TRUE(line.contains(QRegularExpression("\\byes\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+\\s*$")))
            << "not embedded: " << line.toStdString();
    EXPECT_TRUE(fonts.join('\n').contains("CJK")) << fonts.join('\n').toStdString();

    const QString answersPdf = dir.file("答案.pdf");
    ASSERT_TRUE(writePdf(*assembled->answers, answersPdf, &error)) << error.toStdString();
    EXPECT_TRUE(pdfText(answersPdf).contains("答:质量是惯性大小的量度"));
    EXPECT_TRUE(QDir(dir.path()).entryList({"*.part"}).isEmpty());
}

TEST(Pdf, AFileThatCannotBeWrittenLeavesNothing)
{
    QTemporaryDir dir;
    QTextDocument doc;
    doc.setPlainText("试卷");
    QString error;
    EXPECT_FALSE(writePdf(doc, dir.filePath("无此目录/试卷.pdf"), &error));
    EXPECT_EQ(error, "无法写入PDF文件“" + QDir::toNativeSeparators(dir.filePath("无此目录/试卷.pdf")) + "”！");

    // A directory in the way of the file: the old directory stays, no partial file is left.
    const QString blocked = dir.filePath("占用.pdf");
    ASSERT_TRUE(QDir().mkpath(blocked + "/内容"));
    EXPECT_FALSE(writePdf(doc, blocked, &error));
    EXPECT_TRUE(QFileInfo(blocked + "/内容").isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

TEST(Pdf, OnAFullDiskTheOldFileStaysAndTheDiskIsNamed)
{
    // A small file system of its own, filled nearly up; it needs the right to mount one.
    QTemporaryDir dir;
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=16k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here (needs root)";
    const auto unmount = qScopeGuard([&] { ::umount2(mountPoint.constData(), MNT_DETACH); });
    const QString path = dir.filePath("试卷.pdf");
    ASSERT_TRUE(test::writeAll(path, "%PDF-1.4 旧的试卷"));
    ASSERT_TRUE(test::writeAll(dir.filePath("其他"), QByteArray(8 * 1024, 'x')));

    QTextDocument doc;
    doc.setPlainText(QStringLiteral("下列关于惯性的说法正确的是。").repeated(40));
    QString error;
    EXPECT_FALSE(writePdf(doc, path, &error));
    EXPECT_EQ(error, "无法写入PDF文件“" + path + "”：磁盘空间不足！");
    EXPECT_EQ(test::readAll(path), "%PDF-1.4 旧的试卷");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"其他", "试卷.pdf"}));
}
