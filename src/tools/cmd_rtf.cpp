// qmtool rtf2txt / rtf2html / rtf2rtf / rtf2pdf: look into, convert and print RTF documents.

#include "core/fileops.h"
#include "core/input_file.h"
#include "core/output_file.h"
#include "paper/pdf.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"
#include "rtf/rtf_writer.h"
#include "tools/command.h"

#include <QTextDocument>

namespace qm::tool {

namespace {

const QString kTxtUsage = QStringLiteral("FILE  (the document's text, UTF-8)");
const QString kHtmlUsage = QStringLiteral("FILE  (the document as HTML)");
const QString kRtfUsage = QStringLiteral("IN OUT  (read and write again)");
const QString kPdfUsage = QStringLiteral("IN.rtf OUT.pdf  (print as a paper is printed: A4, its fonts and pictures)");

// Reads the RTF document at `path` into `doc`; false (and said) when it cannot be read.
bool load(const QString& path, QTextDocument& doc)
{
    QString error;
    const std::optional<QByteArray> rtf = readInputFile(path, &error);
    if (!rtf) {
        failure(error);
        return false;
    }
    RtfReader::read(*rtf, &doc);
    return true;
}

int rtf2txt(const QStringList& args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("rtf2txt"), kTxtUsage, QStringLiteral("one file is needed"));
    QTextDocument doc;
    if (!load(args[0], doc))
        return 1;
    out(documentText(doc) + QLatin1Char('\n'));
    return 0;
}

int rtf2html(const QStringList& args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("rtf2html"), kHtmlUsage, QStringLiteral("one file is needed"));
    QTextDocument doc;
    if (!load(args[0], doc))
        return 1;
    out(doc.toHtml());
    return 0;
}

int rtf2rtf(const QStringList& args)
{
    if (args.size() != 2)
        return usageError(QStringLiteral("rtf2rtf"), kRtfUsage,
                          QStringLiteral("a file to read and one to write are needed"));
    if (const std::optional<QString> refused = refuseOutputs({{args[1], FileKind::Rtf}}, {args[0]}))
        return failure(*refused);
    QTextDocument doc;
    if (!load(args[0], doc))
        return 1;
    if (!replaceFile(args[1], RtfWriter::write(doc)))
        return failure(QStringLiteral("cannot write %1").arg(args[1]));
    return 0;
}

int rtf2pdf(const QStringList& args)
{
    if (args.size() != 2)
        return usageError(QStringLiteral("rtf2pdf"), kPdfUsage,
                          QStringLiteral("a file to read and one to write are needed"));
    if (const std::optional<QString> refused = refuseOutputs({{args[1], FileKind::Pdf}}, {args[0]}))
        return failure(*refused);
    QTextDocument doc;
    if (!load(args[0], doc))
        return 1;
    QString error;
    if (!paper::writePdf(doc, args[1], &error))
        return failure(error);
    return 0;
}

}  // namespace

void addRtfCommands(QList<Command>& list, Workspace& /*workspace*/)
{
    list.append({QStringLiteral("rtf2txt"), kTxtUsage, rtf2txt});
    list.append({QStringLiteral("rtf2html"), kHtmlUsage, rtf2html});
    list.append({QStringLiteral("rtf2rtf"), kRtfUsage, rtf2rtf});
    list.append({QStringLiteral("rtf2pdf"), kPdfUsage, rtf2pdf});
}

}  // namespace qm::tool
