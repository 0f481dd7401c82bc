#include "rtf/metafile.h"

#include "rtf/rtf_charset.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

extern char** environ;

namespace qm {

namespace {

using Clock = std::chrono::steady_clock;

// How long one picture may take, the converter's start included.
constexpr auto kPictureTime = std::chrono::milliseconds(1000);
// Runs of the converter a batch may stop for taking too long, or lose to a fault.
constexpr int kMaxTimeouts = 2;
constexpr int kMaxCrashes = 8;
// What one answer may hold (the converter refuses larger drawings itself).
constexpr uint32_t kMaxAnswer = uint32_t(8) << 20;

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return int(std::clamp<long long>(left, 0, 60000));
}

// One run of the converter, talking over a socket (a write to a converter that has died
// gives an error, not a signal).
class ConverterRun {
public:
    explicit ConverterRun(const QString& path)
    {
        int fds[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 0);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const QByteArray program = QFile::encodeName(path);
        char* argv[] = {const_cast<char*>(program.constData()), nullptr};
        const int spawned = posix_spawn(&pid_, program.constData(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        if (spawned != 0) {
            pid_ = -1;
            ::close(fds[0]);
            return;
        }
        fd_ = fds[0];
        fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
    }
    ~ConverterRun() { stop(); }
    ConverterRun(const ConverterRun&) = delete;
    ConverterRun& operator=(const ConverterRun&) = delete;

    bool started() const { return fd_ >= 0; }

    // Sends the files and closes the way in; false when the converter stopped reading.
    bool send(const QByteArray& request, Clock::time_point deadline)
    {
        qsizetype sent = 0;
        while (sent < request.size()) {
            const ssize_t n =
                ::send(fd_, request.constData() + sent, size_t(request.size() - sent), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) {
                sent += n;
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                return false;
            // The converter reads everything before it answers: wait until it takes more.
            pollfd p{fd_, POLLOUT, 0};
            if (::poll(&p, 1, remainingMs(deadline)) <= 0)
                return false;
        }
        ::shutdown(fd_, SHUT_WR);
        return true;
    }

    enum Read { Ok, Late, Closed };
    // Reads exactly `n` bytes into `out`.
    Read read(char* out, size_t n, Clock::time_point deadline)
    {
        while (n > 0) {
            const ssize_t got = ::recv(fd_, out, n, MSG_DONTWAIT);
            if (got > 0) {
                out += got;
                n -= size_t(got);
                continue;
            }
            if (got == 0)
                return Closed;
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                return Closed;
            pollfd p{fd_, POLLIN, 0};
            const int ready = ::poll(&p, 1, remainingMs(deadline));
            if (ready == 0)
                return Late;
            if (ready < 0 && errno != EINTR)
                return Closed;
        }
        return Ok;
    }

    void stop()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            int status = 0;
            while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
            }
        }
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int fd_ = -1;
};

void appendLength(QByteArray& out, uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        out.append(char(n >> (8 * i) & 0xFF));
}

}  // namespace

QString metafileConverterPath()
{
    // A converter named by the environment comes first (a school's own build of it).
    const QString chosen = qEnvironmentVariable("QUELLMARK_METAFILE_CONVERTER");
    if (!chosen.isEmpty())
        return chosen;
    const QString name = QStringLiteral(QM_METAFILE_HELPER);
    QStringList dirs;
    if (QCoreApplication::instance()) {
        const QString app = QCoreApplication::applicationDirPath();
        dirs << app << app + QLatin1Char('/') + QStringLiteral(QM_METAFILE_HELPER_INSTALLED);
    }
    dirs << QStringLiteral(QM_METAFILE_HELPER_BUILD_DIR);
    for (const QString& dir : dirs) {
        const QFileInfo file(QDir(dir).filePath(name));
        if (file.isFile() && file.isExecutable())
            return file.absoluteFilePath();
    }
    return {};
}

QList<MetafileSvg> convertMetafiles(const QList<MetafileFile>& files)
{
    return convertMetafiles(files, metafileConverterPath());
}

QList<MetafileSvg> convertMetafiles(const QList<MetafileFile>& files, const QString& path)
{
    QList<MetafileSvg> results(files.size());
    // Damaged files never reach the converter.
    QList<qsizetype> todo;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QByteArray& b = files[i].bytes;
        if (metafile::scan(files[i].format, reinterpret_cast<const uint8_t*>(b.constData()), size_t(b.size())).ok)
            todo << i;
        else
            results[i].status = MetafileSvg::Refused;
    }
    if (todo.isEmpty())
        return results;
    if (path.isEmpty()) {
        for (const qsizetype i : todo)
            results[i].status = MetafileSvg::NoConverter;
        return results;
    }

    int timeouts = 0;
    int crashes = 0;
    qsizetype next = 0;  // the first of `todo` without an answer
    while (next < todo.size()) {
        if (timeouts >= kMaxTimeouts || crashes >= kMaxCrashes)
            break;  // the rest stay Failed
        ConverterRun run(path);
        if (!run.started()) {
            for (qsizetype k = next; k < todo.size(); ++k)
                results[todo[k]].status = MetafileSvg::NoConverter;
            return results;
        }
        QByteArray request;
        for (qsizetype k = next; k < todo.size(); ++k) {
            const MetafileFile& f = files[todo[k]];
            request.append(f.format == metafile::Format::Emf ? 'E' : 'W');
            appendLength(request, uint32_t(f.bytes.size()));
            request.append(f.bytes);
        }
        Clock::time_point deadline = Clock::now() + kPictureTime;
        if (!run.send(request, deadline + kPictureTime * (todo.size() - next))) {
            ++crashes;
            results[todo[next++]].status = MetafileSvg::Crashed;
            continue;
        }
        while (next < todo.size()) {
            MetafileSvg& result = results[todo[next]];
            char head[5];
            ConverterRun::Read r = run.read(head, 5, deadline);
            const uint32_t length = uint32_t(uint8_t(head[1])) | uint32_t(uint8_t(head[2])) << 8
                                    | uint32_t(uint8_t(head[3])) << 16 | uint32_t(uint8_t(head[4])) << 24;
            if (r == ConverterRun::Ok && length > kMaxAnswer)
                r = ConverterRun::Closed;
            QByteArray svg;
            if (r == ConverterRun::Ok) {
                svg.resize(length);
                r = run.read(svg.data(), length, deadline);
            }
            if (r != ConverterRun::Ok) {
                result.status = r == ConverterRun::Late ? MetafileSvg::TimedOut : MetafileSvg::Crashed;
                (r == ConverterRun::Late ? timeouts : crashes) += 1;
                ++next;
                break;  // a new run for the rest
            }
            switch (uint8_t(head[0])) {
            case 0: result.status = MetafileSvg::Done; break;
            case 1: result.status = MetafileSvg::Refused; break;
            case 3: result.status = MetafileSvg::TooLarge; break;
            default: result.status = MetafileSvg::Failed; break;
            }
            if (result.status == MetafileSvg::Done)
                result.svg = std::move(svg);
            ++next;
            deadline = Clock::now() + kPictureTime;
        }
    }
    return results;
}

QByteArray finishMetafileSvg(const QByteArray& svg)
{
    if (svg.isEmpty())
        return {};
    rtf::Decoder decoder;
    QByteArray out;
    QXmlStreamReader in(svg);
    QXmlStreamWriter w(&out);
    while (!in.atEnd()) {
        in.readNext();
        if (in.isDTD() || in.isComment() || in.isProcessingInstruction())
            continue;
        if (in.isStartElement() && in.name() == QLatin1String("svg") && in.namespaceUri().isEmpty()) {
            // libwmf names no namespace; without it the drawing would not be SVG.
            w.writeStartElement(QStringLiteral("svg"));
            w.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
            for (const QXmlStreamNamespaceDeclaration& ns : in.namespaceDeclarations())
                w.writeNamespace(ns.namespaceUri().toString(), ns.prefix().toString());
            w.writeAttributes(in.attributes());
            continue;
        }
        if (in.isStartElement() && in.name() == QLatin1String("text")
            && in.attributes().hasAttribute(QLatin1String("qm-text"))) {
            const QXmlStreamAttributes attrs = in.attributes();
            const int charset = attrs.value(QLatin1String("qm-cs")).toInt();
            const QByteArray face = QByteArray::fromHex(attrs.value(QLatin1String("qm-face")).toLatin1());
            const QByteArray bytes = QByteArray::fromHex(attrs.value(QLatin1String("qm-text")).toLatin1());
            const int codepage = rtf::charsetCodepage(charset);
            // Font names are in the font's code page too (宋体 in GBK).
            const QString family = decoder.decode(face, codepage, true).trimmed();
            const rtf::SymbolFont symbols = rtf::symbolFontOf(family);
            QString text = symbols != rtf::SymbolFont::None ? rtf::Decoder::decodeSymbols(bytes, symbols)
                                                            : decoder.decode(bytes, codepage, true);
            text.removeIf([](QChar c) { return c.unicode() < 0x20 || (c.unicode() >= 0xFFFE); });
            w.writeStartElement(QStringLiteral("text"));
            for (const QXmlStreamAttribute& a : attrs)
                if (!a.name().startsWith(QLatin1String("qm-")))
                    w.writeAttribute(a.qualifiedName().toString(), a.value().toString());
            if (!family.isEmpty())
                w.writeAttribute(QStringLiteral("font-family"), family);
            w.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
            w.writeCharacters(text);
            continue;  // the element's end follows and is copied
        }
        w.writeCurrentToken(in);
    }
    if (in.hasError())
        return {};
    return out;
}

}  // namespace qm
