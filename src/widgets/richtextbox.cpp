#include "widgets/richtextbox.h"

#include "core/fileops.h"
#include "rtf/rich_text.h"
#include "rtf/rtf_reader.h"
#include "rtf/rtf_writer.h"

#include <QFile>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocumentFragment>

namespace qm {

namespace {

const char* const kRtfMimeTypes[] = {"text/rtf", "text/richtext", "application/rtf"};

int alignmentValue(Qt::Alignment a)
{
    a &= Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter)
        return 2;
    if (a & Qt::AlignJustify)
        return 3;
    if (a & (Qt::AlignRight | Qt::AlignTrailing))
        return 1;
    return 0;
}

}  // namespace

RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent)
{
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(10.5);
    setFont(font);
    setAcceptRichText(true);
    // A fill-in blank at the end of a line shows whole, as it prints.
    layOutTrailingSpaces(*document());
    connect(this, &QTextEdit::textChanged, this, &RichTextBox::Change);
    // One notice per actual change of caret or selection.
    auto selection = std::make_shared<std::pair<int, int>>(0, 0);
    auto notify = [this, selection] {
        const QTextCursor c = textCursor();
        const std::pair<int, int> now(c.anchor(), c.position());
        if (now != *selection) {
            *selection = now;
            Q_EMIT SelChange();
        }
    };
    connect(this, &QTextEdit::cursorPositionChanged, this, notify);
    connect(this, &QTextEdit::selectionChanged, this, notify);
}

bool RichTextBox::LoadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    setTextRTF(f.readAll());
    return true;
}

bool RichTextBox::SaveFile(const QString& path) const
{
    return replaceFile(path, TextRTF());
}

QByteArray RichTextBox::TextRTF() const
{
    return RtfWriter::write(*document(), m_page ? &*m_page : nullptr);
}

void RichTextBox::setTextRTF(QByteArrayView rtf)
{
    RtfReader::read(rtf, document());
    setTextCursor(QTextCursor(document()));
}

QString RichTextBox::Text() const
{
    return toPlainText();
}

void RichTextBox::setText(const QString& text)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setCurrentCharFormat(QTextCharFormat());
    setPlainText(lines);
}

int RichTextBox::SelStart() const
{
    return textCursor().selectionStart();
}

void RichTextBox::setSelStart(int start)
{
    QTextCursor c = textCursor();
    c.setPosition(std::clamp(start, 0, document()->characterCount() - 1));
    setTextCursor(c);
}

int RichTextBox::SelLength() const
{
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void RichTextBox::setSelLength(int length)
{
    QTextCursor c = textCursor();
    const int start = c.selectionStart();
    c.setPosition(start);
    c.setPosition(std::clamp(start + std::max(length, 0), 0, document()->characterCount() - 1),
                  QTextCursor::KeepAnchor);
    setTextCursor(c);
}

template <typename T, typename F>
std::optional<T> RichTextBox::selectionValue(F value) const
{
    const QTextCursor c = textCursor();
    if (!c.hasSelection())
        return value(currentCharFormat());
    const int start = c.selectionStart();
    const int end = c.selectionEnd();
    std::optional<T> result;
    for (QTextBlock b = document()->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.position() + f.length() <= start || f.position() >= end)
                continue;
            const T v = value(f.charFormat());
            if (result && *result != v)
                return std::nullopt;
            result = v;
        }
    }
    return result ? result : value(currentCharFormat());
}

std::optional<bool> RichTextBox::SelBold() const
{
    return selectionValue<bool>([](const QTextCharFormat& f) { return f.fontWeight() > QFont::Medium; });
}

void RichTextBox::setSelBold(bool on)
{
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeCurrentCharFormat(f);
}

std::optional<bool> RichTextBox::SelItalic() const
{
    return selectionValue<bool>([](const QTextCharFormat& f) { return f.fontItalic(); });
}

void RichTextBox::setSelItalic(bool on)
{
    QTextCharFormat f;
    f.setFontItalic(on);
    mergeCurrentCharFormat(f);
}

std::optional<bool> RichTextBox::SelUnderline() const
{
    return selectionValue<bool>(
        [](const QTextCharFormat& f) { return f.underlineStyle() != QTextCharFormat::NoUnderline; });
}

void RichTextBox::setSelUnderline(bool on)
{
    QTextCharFormat f;
    f.setUnderlineStyle(on ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline);
    mergeCurrentCharFormat(f);
}

std::optional<QString> RichTextBox::SelFontName() const
{
    const QString fallback = document()->defaultFont().family();
    return selectionValue<QString>([&](const QTextCharFormat& f) { return fontFamilyOf(f, fallback); });
}

void RichTextBox::setSelFontName(const QString& family)
{
    if (family.isEmpty())
        return;
    QTextCharFormat f;
    f.setFontFamilies({family});
    mergeCurrentCharFormat(f);
}

std::optional<double> RichTextBox::SelFontSize() const
{
    const double fallback = document()->defaultFont().pointSizeF();
    return selectionValue<double>(
        [&](const QTextCharFormat& f) { return f.fontPointSize() > 0 ? f.fontPointSize() : fallback; });
}

void RichTextBox::setSelFontSize(double points)
{
    if (!(points > 0))
        return;
    QTextCharFormat f;
    f.setFontPointSize(std::min(points, 1638.0));
    mergeCurrentCharFormat(f);
}

std::optional<int> RichTextBox::SelAlignment() const
{
    const QTextCursor c = textCursor();
    QTextBlock b = document()->findBlock(c.selectionStart());
    const QTextBlock last = document()->findBlock(c.selectionEnd());
    const int value = alignmentValue(b.blockFormat().alignment());
    for (; b.isValid() && b != last; b = b.next())
        if (alignmentValue(b.blockFormat().alignment()) != value)
            return std::nullopt;
    if (last.isValid() && alignmentValue(last.blockFormat().alignment()) != value)
        return std::nullopt;
    return value;
}

void RichTextBox::setSelAlignment(int alignment)
{
    switch (alignment) {
    case 1: setAlignment(Qt::AlignRight | Qt::AlignAbsolute); break;
    case 2: setAlignment(Qt::AlignHCenter); break;
    case 3: setAlignment(Qt::AlignJustify); break;
    default: setAlignment(Qt::AlignLeft | Qt::AlignAbsolute); break;
    }
}

void RichTextBox::appendDocument(const QTextDocument& doc)
{
    QTextCursor c = textCursor();
    c.movePosition(QTextCursor::End);
    qm::insertDocument(c, doc);
    setTextCursor(c);
}

void RichTextBox::insertDocument(const QTextDocument& doc)
{
    QTextCursor c = textCursor();
    qm::insertDocument(c, doc);
    setTextCursor(c);
}

void RichTextBox::insertFragment(const QTextDocumentFragment& fragment)
{
    QTextCursor c = textCursor();
    c.beginEditBlock();
    c.removeSelectedText();
    const int from = c.position();
    c.insertFragment(fragment);
    restoreImageResources(document(), from, c.position());
    c.endEditBlock();
    setTextCursor(c);
}

void RichTextBox::appendRtf(QByteArrayView rtf)
{
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    appendDocument(doc);
}

void RichTextBox::deleteSelection()
{
    QTextCursor c = textCursor();
    if (c.hasSelection())
        c.removeSelectedText();
    else
        c.deleteChar();
    setTextCursor(c);
}

QMimeData* RichTextBox::createMimeDataFromSelection() const
{
    const QTextDocumentFragment fragment = textCursor().selection();
    auto* mime = new QMimeData;
    mime->setText(fragment.toPlainText());
    mime->setHtml(fragment.toHtml());
    QTextDocument doc;
    doc.setDefaultFont(document()->defaultFont());
    QTextCursor c(&doc);
    c.insertFragment(fragment);
    restoreImageResources(&doc, 0, c.position(), document());
    mime->setData(QStringLiteral("text/rtf"), RtfWriter::write(doc));
    return mime;
}

bool RichTextBox::canInsertFromMimeData(const QMimeData* source) const
{
    for (const char* type : kRtfMimeTypes)
        if (source->hasFormat(QLatin1String(type)))
            return true;
    return QTextEdit::canInsertFromMimeData(source);
}

void RichTextBox::insertFromMimeData(const QMimeData* source)
{
    // RTF first: it carries formatting and pictures between boxes and from word processors.
    for (const char* type : kRtfMimeTypes) {
        if (source->hasFormat(QLatin1String(type))) {
            QTextDocument doc;
            RtfReader::read(source->data(QLatin1String(type)), &doc);
            insertDocument(doc);
            ensureCursorVisible();
            return;
        }
    }
    QTextEdit::insertFromMimeData(source);
}

void RichTextBox::focusInEvent(QFocusEvent* e)
{
    QTextEdit::focusInEvent(e);
    Q_EMIT GotFocus();
}

}  // namespace qm
