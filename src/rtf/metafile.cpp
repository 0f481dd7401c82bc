#include "rtf/metafile.h"

#include "rtf/rtf_charset.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
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

// An SVG transform list: matrix, translate, scale, rotate (what the converters write).
QTransform parseTransform(const QString& list)
{
    static const QRegularExpression item(QStringLiteral("(matrix|translate|scale|rotate)\\s*\\(([^)]*)\\)"));
    static const QRegularExpression separator(QStringLiteral("[\\s,]+"));
    QTransform total;
    for (auto it = item.globalMatch(list); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QList<double> v;
        for (const QString& n : m.captured(2).split(separator, Qt::SkipEmptyParts))
            v << n.toDouble();
        const QString kind = m.captured(1);
        QTransform t;
        if (kind == QLatin1String("matrix") && v.size() == 6)
            t = QTransform(v[0], v[1], v[2], v[3], v[4], v[5]);
        else if (kind == QLatin1String("translate") && !v.isEmpty())
            t.translate(v[0], v.value(1));
        else if (kind == QLatin1String("scale") && !v.isEmpty())
            t.scale(v[0], v.size() > 1 ? v[1] : v[0]);
        else if (kind == QLatin1String("rotate") && !v.isEmpty())
            t.translate(v.value(1), v.value(2)).rotate(v[0]).translate(-v.value(1), -v.value(2));
        // The later item acts first on the element's coordinates.
        total = t * total;
    }
    return total;
}

// A text property given as an attribute or in the style attribute.
QString property(const QXmlStreamAttributes& attrs, const QString& style, QLatin1String name)
{
    if (attrs.hasAttribute(name))
        return attrs.value(name).toString().trimmed();
    for (const QString& part : style.split(QLatin1Char(';'))) {
        const qsizetype colon = part.indexOf(QLatin1Char(':'));
        if (colon > 0 && QStringView(part).left(colon).trimmed() == name)
            return part.mid(colon + 1).trimmed();
    }
    return {};
}

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
    in.setNamespaceProcessing(false);  // names and namespace attributes pass as written
    QXmlStreamWriter w(&out);
    while (!in.atEnd()) {
        if (in.readNext() == QXmlStreamReader::Invalid)
            break;
        if (in.isDTD() || in.isComment() || in.isProcessingInstruction())
            continue;
        if (in.isStartElement() && in.name() == QLatin1String("svg")
            && !in.attributes().hasAttribute(QLatin1String("xmlns"))) {
            // libwmf names no namespace; without it the drawing would not be SVG.
            w.writeStartElement(QStringLiteral("svg"));
            w.writeAttribute(QStringLiteral("xmlns"), QStringLiteral("http://www.w3.org/2000/svg"));
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

std::shared_ptr<const MetafileDrawing> MetafileDrawing::fromSvg(const QByteArray& svg)
{
    if (svg.isEmpty())
        return nullptr;
    // The text elements are taken out of the SVG, with the transforms of their groups.
    auto drawing = std::make_shared<MetafileDrawing>();
    QByteArray shapes;
    QXmlStreamReader in(svg);
    in.setNamespaceProcessing(false);
    QXmlStreamWriter w(&shapes);
    QList<QTransform> transforms{QTransform()};
    int textDepth = 0;  // inside a text element (its spans included)
    Text text;
    while (!in.atEnd()) {
        if (in.readNext() == QXmlStreamReader::Invalid)
            break;
        if (in.isDTD())
            continue;
        if (in.isStartElement()) {
            const QXmlStreamAttributes attrs = in.attributes();
            transforms << parseTransform(attrs.value(QLatin1String("transform")).toString()) * transforms.last();
            if (textDepth > 0 || in.name() == QLatin1String("text")) {
                if (textDepth++ == 0) {
                    const QString style = attrs.value(QLatin1String("style")).toString();
                    text = Text();
                    text.transform = transforms.last();
                    text.at =
                        QPointF(attrs.value(QLatin1String("x")).toDouble(), attrs.value(QLatin1String("y")).toDouble());
                    text.family = property(attrs, style, QLatin1String("font-family"));
                    text.family.remove(QLatin1Char('\'')).remove(QLatin1Char('"'));
                    text.size =
                        property(attrs, style, QLatin1String("font-size")).remove(QLatin1String("px")).toDouble();
                    const QString weight = property(attrs, style, QLatin1String("font-weight"));
                    text.weight = weight == QLatin1String("bold") ? 700 : weight.toInt() > 0 ? weight.toInt() : 400;
                    text.italic = property(attrs, style, QLatin1String("font-style")) == QLatin1String("italic");
                    const QString fill = property(attrs, style, QLatin1String("fill"));
                    text.color = fill.isEmpty() ? QColor(Qt::black) : QColor::fromString(fill);
                    const QString anchor = property(attrs, style, QLatin1String("text-anchor"));
                    text.anchor = anchor == QLatin1String("middle") ? 1 : anchor == QLatin1String("end") ? 2 : 0;
                }
                continue;
            }
        } else if (in.isEndElement()) {
            transforms.removeLast();
            if (textDepth > 0) {
                if (--textDepth == 0 && !text.text.trimmed().isEmpty() && text.size > 0 && text.color.isValid()
                    && text.transform.isInvertible())
                    drawing->texts_ << text;
                continue;
            }
        } else if (in.isCharacters() && textDepth > 0) {
            text.text += in.text();
            continue;
        }
        w.writeCurrentToken(in);
    }
    if (in.hasError())
        return nullptr;
    drawing->shapes_ = std::make_shared<QSvgRenderer>(shapes);
    if (!drawing->shapes_->isValid())
        return nullptr;
    drawing->viewBox_ = drawing->shapes_->viewBoxF();
    if (drawing->viewBox_.isEmpty())
        return nullptr;
    drawing->cost_ = svg.size();
    return drawing;
}

void MetafileDrawing::draw(QPainter* painter, const QRectF& rect) const
{
    painter->save();
    painter->setClipRect(rect, Qt::IntersectClip);
    shapes_->render(painter, rect);
    // SVG units to the rectangle, then the painter's own transform.
    const QTransform toRect = QTransform()
                                  .translate(rect.x(), rect.y())
                                  .scale(rect.width() / viewBox_.width(), rect.height() / viewBox_.height())
                                  .translate(-viewBox_.x(), -viewBox_.y());
    const QTransform world = painter->worldTransform();
    // Text is set at a large size and scaled down: font sizes are whole pixels.
    constexpr double kSetSize = 1000;
    for (const Text& t : texts_) {
        QFont font(t.family.isEmpty() ? QStringLiteral("serif") : t.family);
        font.setPixelSize(int(kSetSize));
        font.setWeight(QFont::Weight(std::clamp(t.weight, 100, 900)));
        font.setItalic(t.italic);
        font.setHintingPreference(QFont::PreferNoHinting);
        const double scale = t.size / kSetSize;
        painter->setWorldTransform(QTransform::fromScale(scale, scale) * QTransform::fromTranslate(t.at.x(), t.at.y())
                                   * t.transform * toRect * world);
        painter->setFont(font);
        painter->setPen(t.color);
        double x = 0;
        if (t.anchor != 0) {
            const double advance = QFontMetricsF(font, painter->device()).horizontalAdvance(t.text);
            x = t.anchor == 1 ? -advance / 2 : -advance;
        }
        painter->drawText(QPointF(x, 0), t.text);
    }
    painter->restore();
}

QStringList MetafileDrawing::texts() const
{
    QStringList out;
    for (const Text& t : texts_)
        out << t.text;
    return out;
}

}  // namespace qm
