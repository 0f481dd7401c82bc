// qmtool rtf2txt / rtf2html / rtf2rtf: look into and convert RTF documents.

#include "core/fileops.h"
#include "core/input_file.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"
#include "rtf/rtf_writer.h"
#include "tools/command.h"

#include <QTextDocument>

namespace {

using qm::tool::err;
using qm::tool::out;

bool load(const QString& path, QTextDocument& doc)
{
    QString error;
    const std::optional<QByteArray> rtf = qm::readInputFile(path, &error);
    if (!rtf) {
        err(QStringLiteral("qmtool: %1\n").arg(error));
        return false;
    }
    qm::RtfReader::read(*rtf, &doc);
    return true;
}

int usageError(const char* usage)
{
    err(QStringLiteral("usage: qmtool %1\n").arg(QLatin1String(usage)));
    return 2;
}

}  // namespace

namespace qm::tool {

void addRtfCommands(QList<Command>& list, Workspace& /*workspace*/)
{
    list.append(
        {QStringLiteral("rtf2txt"), QStringLiteral("FILE  (the document's text, UTF-8)"), [](const QStringList& args) {
             if (args.size() != 1)
                 return usageError("rtf2txt FILE");
             QTextDocument doc;
             if (!load(args[0], doc))
                 return 1;
             out(qm::documentText(doc) + QLatin1Char('\n'));
             return 0;
         }});
    list.append(
        {QStringLiteral("rtf2html"), QStringLiteral("FILE  (the document as HTML)"), [](const QStringList& args) {
             if (args.size() != 1)
                 return usageError("rtf2html FILE");
             QTextDocument doc;
             if (!load(args[0], doc))
                 return 1;
             out(doc.toHtml());
             return 0;
         }});
    list.append(
        {QStringLiteral("rtf2rtf"), QStringLiteral("IN OUT  (read and write again)"), [](const QStringList& args) {
             if (args.size() != 2)
                 return usageError("rtf2rtf IN OUT");
             QTextDocument doc;
             if (!load(args[0], doc))
                 return 1;
             if (!qm::replaceFile(args[1], qm::RtfWriter::write(doc))) {
                 err(QStringLiteral("qmtool: cannot write %1\n").arg(args[1]));
                 return 1;
             }
             return 0;
         }});
}

}  // namespace qm::tool
