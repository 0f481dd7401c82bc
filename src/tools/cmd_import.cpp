// qmtool import BANK FILE: imports a batch question file into a bank without windows.
// Names the file does not declare are stored empty and listed on stderr, each kind and
// code once; the end message and the number of questions stored go to stdout.

#include "import/batch_parser.h"
#include "import/import_run.h"
#include "tools/command.h"

#include <QSet>

namespace {

const QString kImportUsage =
    QStringLiteral("BANK FILE [--skip-duplicates]  (imports a batch question file into a bank)");

// "章节 CP1": the kind of a name and its code as the file writes it.
QString nameLabel(const qm::import::NameRequest& r)
{
    using qm::import::NameKind;
    const char16_t* kind = u"分值";
    const char* tag = "PT";
    switch (r.kind) {
    case NameKind::Chapter: kind = u"章节", tag = "CP"; break;
    case NameKind::Unit: kind = u"单元", tag = "DY"; break;
    case NameKind::Type: kind = u"题型", tag = "SZ"; break;
    case NameKind::Difficulty: kind = u"难度", tag = "LV"; break;
    case NameKind::Score: break;
    }
    return QString::fromUtf16(kind) + QLatin1Char(' ') + QLatin1String(tag) + QString::number(r.code);
}

int importBatch(const QStringList& args)
{
    using namespace qm::import;
    QString unknown;
    const auto call = qm::tool::filesAndFlag(args, QStringLiteral("--skip-duplicates"), &unknown);
    if (!call)
        return qm::tool::usageError(QStringLiteral("import"), kImportUsage,
                                    QStringLiteral("unknown option: ") + unknown);
    const QStringList& files = call->files;
    const bool skipDuplicates = call->flag;
    if (files.size() != 2)
        return qm::tool::usageError(QStringLiteral("import"), kImportUsage,
                                    QStringLiteral("a bank and a file are needed"));
    const BatchFile file = readBatchFile(files[1]);
    if (!file.format)
        return qm::tool::failure(file.error);
    BatchImport batch(file.text, *file.format);
    QSet<QPair<int, int>> listed;
    const NameAsker undeclared = [&](const NameRequest& r) -> std::optional<QString> {
        if (!listed.contains({int(r.kind), r.code})) {
            listed.insert({int(r.kind), r.code});
            qm::tool::err(QStringLiteral("%1 未声明，存为空名称。\n").arg(nameLabel(r)));
        }
        return QString();
    };
    ImportRun run(files[0], batch);
    if (skipDuplicates)
        run.setDuplicateChoice([] { return true; });
    const ImportOutcome outcome = run.run(undeclared);
    if (outcome != ImportOutcome::Finished)
        return qm::tool::failure(run.error() + QStringLiteral("\n已导入%1道题。").arg(run.stored()));
    QString done = batch.endMessage() + QStringLiteral("\n已导入%1道题。\n").arg(run.stored());
    if (skipDuplicates)
        done += QStringLiteral("跳过重复的题%1道。\n").arg(run.skipped());
    qm::tool::out(done);
    return 0;
}

}  // namespace

namespace qm::tool {

void addImportCommands(QList<Command>& list, Workspace& /*workspace*/)
{
    list.append({QStringLiteral("import"), kImportUsage, importBatch});
}

}  // namespace qm::tool
