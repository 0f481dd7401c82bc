#include "widgets/word_handoff.h"

#include "core/fileops.h"
#include "core/workspace.h"
#include "rtf/rtf_writer.h"
#include "widgets/report_error.h"
#include "widgets/richtextbox.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTextDocument>
#include <QUrl>
#include <utility>

namespace qm {

namespace {

const QString kCannotStart = QStringLiteral(
    "无法启动文字处理程序。请安装 LibreOffice（Writer），或在环境变量 QUELLMARK_WORD_PROCESSOR 中指定文字处理程序。");

// Settings a new LibreOffice profile starts with: no tip of the day, and saving keeps
// the RTF format without asking whether to change to LibreOffice's own.
const char kProfileSettings[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="ShowTipOfTheDay" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Save/Document"><prop oor:name="WarnAlienFormat" oor:op="fuse"><value>false</value></prop></item>
</oor:items>
)";

QString fileKey(const QString& path)
{
    return QFileInfo(path).absoluteFilePath().toLower();
}

void prepareProfile(const QString& dir)
{
    const QString settings = dir + QStringLiteral("/user/registrymodifications.xcu");
    if (QFile::exists(settings))
        return;
    QDir().mkpath(dir + QStringLiteral("/user"));
    QFile f(settings);
    if (f.open(QIODevice::WriteOnly))
        f.write(kProfileSettings);
}

QString cannotWrite(const QString& path)
{
    return QStringLiteral("无法写入文件：") + QDir::toNativeSeparators(path);
}

// One round trip under way: the word processor's process and what is to be done when it
// ends. It lives on the heap so that it outlives the wait: were the program to end first,
// the word processor would be left running with the user's work.
class RoundTrip : public QObject {
public:
    QPointer<Workspace> workspace;
    QProcess process;
    QPointer<RichTextBox> box;
    QPointer<QWidget> window;
    QPointer<QEventLoop> loop;
    QString path;
    int profile = 0;
    bool done = false;

    void finish()
    {
        if (std::exchange(done, true))
            return;
        if (box)
            box->LoadFile(path);
        if (window)
            window->setEnabled(true);
        if (workspace) {
            workspace->filesInWordProcessor().remove(fileKey(path));
            workspace->wordProfilesInUse().remove(profile);
        }
        if (loop)
            loop->quit();
        deleteLater();
    }
};

}  // namespace

WordCommand wordProcessorCommand(const Workspace& workspace, const QString& file, const QString& profile)
{
    QStringList command = QProcess::splitCommand(qEnvironmentVariable("QUELLMARK_WORD_PROCESSOR"));
    if (!command.isEmpty()) {
        const QString program = command.takeFirst();
        return {program, command << file};
    }
    QString program = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (program.isEmpty())
        program = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (program.isEmpty())
        return {};
    const QString dir = workspace.ProgramDir() + QStringLiteral("wordprofile/") + profile;
    prepareProfile(dir);
    return {program,
            {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(dir).toString(QUrl::FullyEncoded),
             QStringLiteral("--nologo"), QStringLiteral("--norestore"), file}};
}

bool EditInWord(Workspace& workspace, Prompt& prompt, RichTextBox* box, const QString& fileName)
{
    const QString path = workspace.localDir() + fileName;
    const QString key = fileKey(path);
    if (workspace.filesInWordProcessor().contains(key)) {
        reportError(prompt,
                    QStringLiteral("“") + fileName + QStringLiteral("”正在文字处理程序中编辑，请先关闭文字处理程序。"));
        return false;
    }
    if (!box->SaveFile(path)) {
        reportError(prompt, cannotWrite(path));
        return false;
    }
    int profile = 1;
    while (workspace.wordProfilesInUse().contains(profile))
        ++profile;
    const WordCommand command = wordProcessorCommand(workspace, path, QStringLiteral("edit%1").arg(profile));

    auto* trip = new RoundTrip;
    trip->workspace = &workspace;
    trip->box = box;
    trip->window = box->window();
    trip->path = path;
    trip->profile = profile;
    trip->process.setProgram(command.program);
    trip->process.setArguments(command.arguments);
    trip->process.setProcessChannelMode(QProcess::ForwardedChannels);
    if (command.program.isEmpty() || (trip->process.start(), !trip->process.waitForStarted(30000))) {
        delete trip;
        reportError(prompt, kCannotStart);
        return false;
    }
    workspace.filesInWordProcessor().insert(key);
    workspace.wordProfilesInUse().insert(profile);
    trip->window->setEnabled(false);
    QObject::connect(&trip->process, &QProcess::finished, trip, &RoundTrip::finish);

    // The window keeps painting while the user works in the word processor. The box is
    // reloaded as soon as the word processor ends, even if this wait is nested in another.
    QEventLoop loop;
    trip->loop = &loop;
    if (trip->process.state() == QProcess::NotRunning)
        trip->finish();
    else
        loop.exec();
    return true;
}

bool ShowWord(const Workspace& workspace, Prompt& prompt, const QTextDocument& doc, const QString& fileName)
{
    const QString path = workspace.localDir() + fileName;
    if (!replaceFile(path, RtfWriter::write(doc))) {
        reportError(prompt, cannotWrite(path));
        return false;
    }
    const WordCommand command = wordProcessorCommand(workspace, path, QStringLiteral("show"));
    if (command.program.isEmpty() || !QProcess::startDetached(command.program, command.arguments)) {
        reportError(prompt, kCannotStart + QStringLiteral("\n文档已保存为：") + QDir::toNativeSeparators(path));
        return false;
    }
    return true;
}

}  // namespace qm
