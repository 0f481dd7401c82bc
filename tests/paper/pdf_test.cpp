// Papers written as PDF: the text can be found in the file and the fonts are embedded.

#include "paper/fragments.h"
#include "paper/header.h"
#include "paper/paper_job.h"
#include "paper/pdf.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"
#include "rtf/rtf_writer.h"
#include "support/qstring_print.h"
#include "support/temp_bank.h"
#include "support/temp_dirs.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
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
QString pdfText(const QString& path)
{
    QString text = poppler("pdftotext", {path, "-"});
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

TEST(Pdf, HeiTiRunsAreSetInTheSansFaceAndSongTiRunsInTheSerifFace)
{
    // A question as the bank holds it: RTF with a heading in 黑体, the text in 宋体 and a
    // line that changes font within it.
    QTextDocument written;
    QTextCursor cursor(&written);
    const auto insert = [&](const QString& text, const QString& family) {
        QTextCharFormat format;
        format.setFontFamilies({family});
        format.setFontPointSize(12);
        cursor.insertText(text, format);
    };
    insert("一、单选题", "黑体");
    cursor.insertBlock();
    insert("下列关于细胞膜的说法正确的是", "宋体");
    cursor.insertBlock();
    insert("注意：", "黑体");
    insert("本题答在答题卡上", "宋体");
    QTextDocument doc;
    RtfReader::read(RtfWriter::write(written), &doc);

    QTemporaryDir dir;
    const QString pdf = dir.filePath("试卷.pdf");
    ASSERT_TRUE(writePdf(doc, pdf));

    // The face of each piece of text, as poppler's pdftohtml reports it.
    const QString xml = poppler("pdftohtml", {"-xml", "-stdout", "-i", "-q", pdf});
    QHash<QString, QString> families;
    for (const QRegularExpressionMatch& m :
         QRegularExpression(R"re(<fontspec id="(\d+)"[^>]* family="([^"]*)")re").globalMatch(xml))
        families[m.captured(1)] = m.captured(2);
    QHash<QString, QString> faceOf;
    for (const QRegularExpressionMatch& m :
         QRegularExpression(R"re(<text [^>]*font="(\d+)"[^>]*>([^<]*)</text>)re").globalMatch(xml))
        faceOf[m.captured(2).normalized(QString::NormalizationForm_KC)] = families.value(m.captured(1));
    for (const QString& hei : {QStringLiteral("一、单选题"), QStringLiteral("注意:")})
        EXPECT_TRUE(faceOf.value(hei).startsWith("NotoSansCJK")) << hei.toStdString() << ": " << xml.toStdString();
    for (const QString& song : {QStringLiteral("下列关于细胞膜的说法正确的是"), QStringLiteral("本题答在答题卡上")})
        EXPECT_TRUE(faceOf.value(song).startsWith("NotoSerifCJK")) << song.toStdString() << ": " << xml.toStdString();

    // Both faces are embedded.
    const QString fonts = poppler("pdffonts", {pdf});
    for (const QString& face : {QStringLiteral("NotoSansCJK"), QStringLiteral("NotoSerifCJK")})
        EXPECT_TRUE(fonts.contains(QRegularExpression(
            face + R"re(\S*\s.*\byes\s+(yes|no)\s+(yes|no)\s+\d+\s+\d+\s*$)re", QRegularExpression::MultilineOption)))
            << face.toStdString() << " not embedded: " << fonts.toStdString();
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

namespace {

// A paper of `lines` questions with the characters whose glyphs radicals share, subscripts
// followed by digits, Latin text and numbers, under a header with its scoring table.
QTextDocument* samplePaper(QTextDocument* doc, int lines, bool withHeader = true)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
                     "{\\f1\\fnil\\fcharset134 \\'ba\\'da\\'cc\\'e5;}}\\f0\\fs21 ";
    for (int i = 1; i <= lines; ++i)
        rtf += QByteArray::number(i) + ".(2%)CO{\\sub 2}" + QByteArray::number(i) + " Q000" + QByteArray::number(37 + i)
               + " {\\f1 \\'d2\\'bb\\'b6\\'fe\\'c8\\'cb}"
                 "\\'c9\\'fa\\'ce\\'ef\\'b8\\'df\\par ";  // 一二人 in 黑体, 生物高 in 宋体
    rtf += "}";
    QTextDocument body;
    RtfReader::read(rtf, &body);
    QTextCursor cursor(doc);
    if (withHeader) {
        QTextDocument header;
        buildHeader(header, HeaderSettings(), "生物.tik", scoringTableRtf(4));
        insertDocument(cursor, header);
    }
    insertDocument(cursor, body);
    return doc;
}

// The words of a page with their boxes, as pdftotext -bbox gives them.
struct Word {
    QString text;
    double xMin, xMax;
};
QList<Word> words(const QString& pdf, int page)
{
    const QString html =
        poppler("pdftotext", {"-bbox", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
    QList<Word> out;
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re");
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        out.append({m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble()});
    }
    return out;
}

QByteArray metafileFixture(const char* name)
{
    QFile f(QStringLiteral(QM_METAFILE_FIXTURES "/") + QLatin1String(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

// The pictures a PDF holds as images (pdfimages -list: two heading lines, then one a picture).
int imagesIn(const QString& pdf)
{
    return int(poppler("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts).size()) - 2;
}

}  // namespace

TEST(Pdf, TheTextLayerIsThePapersTextAndEveryPageHasItsNumber)
{
    QTemporaryDir dir;
    const auto withoutBlanks = [](QString text) { return text.remove(QRegularExpression("[\\s\\x{3000}]")); };
    // Questions alone, so that the reading order is the document's.
    for (const bool withHeader : {false, true}) {
        SCOPED_TRACE(withHeader);
        QTextDocument doc;
        samplePaper(&doc, 60, withHeader);
        const QString path = dir.filePath("卷.pdf");
        QString error;
        ASSERT_TRUE(writePdf(doc, path, &error)) << error.toStdString();

        // A4, as many pages as the text needs, each numbered under its text.
        const QString info = poppler("pdfinfo", {path});
        EXPECT_TRUE(info.contains("(A4)")) << info.toStdString();
        const int pages = QRegularExpression(R"(Pages:\s+(\d+))").match(info).captured(1).toInt();
        ASSERT_GE(pages, 2);
        QString numbers;
        for (int page = 1; page <= pages; ++page)
            numbers += QString("第%1页共%2页").arg(page).arg(pages);

        // What pdftotext gives is the document's text: no radical stands for a character,
        // and no digit after a subscript or in Latin text is lost.
        QString text = withoutBlanks(poppler("pdftotext", {path, "-"}));
        for (const char32_t c : text.toUcs4())
            EXPECT_FALSE(c >= 0x2E80 && c <= 0x2FDF) << "radical U+" << std::hex << quint32(c);
        EXPECT_TRUE(text.contains("1.(2%)CO21Q00038一二人生物高")) << text.left(200).toStdString();
        QString seen;
        for (auto it = QRegularExpression("第\\d+页共\\d+页").globalMatch(text); it.hasNext();)
            seen += it.next().captured();
        EXPECT_EQ(seen, numbers);
        text.remove(QRegularExpression("第\\d+页共\\d+页"));
        const QString expected = withoutBlanks(documentText(doc));
        if (!withHeader) {
            EXPECT_EQ(text, expected);
        } else {
            // The scoring table stands beside the candidate line, which pdftotext reads in
            // its own order: the same characters, each as often.
            QList<uint> got = text.toUcs4(), want = expected.toUcs4();
            std::sort(got.begin(), got.end());
            std::sort(want.begin(), want.end());
            EXPECT_TRUE(got == want);
        }
    }
}

TEST(Pdf, TextStartsAtTheLeftMarginAndTablesStandInTheMiddle)
{
    QTemporaryDir dir;
    QTextDocument doc;
    samplePaper(&doc, 3);
    const QString path = dir.filePath("卷.pdf");
    ASSERT_TRUE(writePdf(doc, path));
    const QList<Word> page = words(path, 1);
    ASSERT_FALSE(page.isEmpty());
    constexpr double kPointsPerMm = 72 / 25.4;
    double left = 1e9;
    double first = -1, last = -1;
    for (const Word& w : page) {
        left = std::min(left, w.xMin);
        if (w.text == "题号")
            first = (w.xMin + w.xMax) / 2;
        if (w.text == "总分")
            last = (w.xMin + w.xMax) / 2;
    }
    // 25 mm from the left edge, and no further than 26 mm.
    EXPECT_GE(left, 24.5 * kPointsPerMm);
    EXPECT_LE(left, 26 * kPointsPerMm);
    // The scoring table's cells are alike: their middle is the page's middle, within 2 mm.
    ASSERT_GT(first, 0);
    ASSERT_GT(last, 0);
    EXPECT_NEAR((first + last) / 2, 595.28 / 2, 2 * kPointsPerMm);
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

TEST(Pdf, FormulaPicturesPrintAsVectorDrawingsWithTheirText)
{
    // A question with a formula as a word processor stores it: the WMF of a formula
    // object, no placeable header; and a drawing as EMF.
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\\f0 "
                           "\\'b7\\'bd\\'b3\\'cc\\'b5\\'c4\\'b8\\'f9{\\object\\objemb{\\*\\objclass Equation.3}"
                           "{\\*\\objdata 0105}{\\result {\\pict\\wmetafile8\\picw3534\\pich1142\\picwgoal2004"
                           "\\pichgoal647 "
                           + metafileFixture("formula_libreoffice.wmf").toHex()
                           + "}}}\\par{\\pict\\emfblip\\picwgoal2835\\pichgoal4134 "
                           + metafileFixture("circuit_libreoffice.emf").toHex() + "}\\par}";
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("公式.pdf");
    ASSERT_TRUE(writePdf(doc, pdf));
    EXPECT_EQ(imagesIn(pdf), 0);
    // The text the metafiles draw is text of the page: searchable, in reading order (the
    // formula's operators are drawn as shapes).
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.startsWith(QStringLiteral("方程的根xbb2"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("4ac"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("电阻R=5Ωα+β"))) << text.toStdString();

    // A damaged metafile prints its placeholder, an image.
    QByteArray damaged = metafileFixture("formula_libreoffice.wmf");
    damaged.chop(100);
    RtfReader::read("{\\rtf1 a{\\pict\\wmetafile8\\picwgoal2004\\pichgoal647 " + damaged.toHex() + "}}", &doc);
    ASSERT_TRUE(writePdf(doc, pdf));
    EXPECT_EQ(imagesIn(pdf), 1);
}
