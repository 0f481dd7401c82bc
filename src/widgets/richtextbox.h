#pragma once
// RichTextBox: the rich-text editor of every window. A QTextEdit that loads and saves RTF
// and offers the selection properties the formatting bar and the paper assembly use.

#include "rtf/rtf_writer.h"

#include <QTextEdit>
#include <optional>

class QTextDocumentFragment;

namespace qm {

class RichTextBox : public QTextEdit {
    Q_OBJECT
public:
    explicit RichTextBox(QWidget* parent = nullptr);

    // Whole content as RTF files: false when the file cannot be read / written (the box
    // or the file stays as it was). A file that is not RTF loads as plain GBK text.
    bool LoadFile(const QString& path);
    bool SaveFile(const QString& path) const;

    // Whole content as RTF bytes.
    QByteArray TextRTF() const;
    // A box that holds a paper writes its page (paper size, margins, page numbers) into its
    // RTF, so that a word processor lays the paper out as it is printed.
    void setPageSetup(const PageSetup& page) { m_page = page; }
    void setTextRTF(QByteArrayView rtf);

    // Plain text, paragraphs separated by "\n". Setting it takes CR LF, LF or CR as
    // paragraph breaks and uses the box's default font.
    QString Text() const;
    void setText(const QString& text);

    // Selection as character positions: start and length. Setting the start collapses the
    // selection there; setting the length selects that many characters from the start.
    int SelStart() const;
    void setSelStart(int start);
    int SelLength() const;
    void setSelLength(int length);

    // Formatting of the selection (of the caret when nothing is selected); nullopt when the
    // selection mixes values. Setters act on the selection, or on what is typed next.
    std::optional<bool> SelBold() const;
    void setSelBold(bool on);
    std::optional<bool> SelItalic() const;
    void setSelItalic(bool on);
    std::optional<bool> SelUnderline() const;
    void setSelUnderline(bool on);
    std::optional<QString> SelFontName() const;
    void setSelFontName(const QString& family);
    std::optional<double> SelFontSize() const;
    void setSelFontSize(double points);  // sizes <= 0 are ignored
    // Paragraph alignment of the selected paragraphs: 0 left, 1 right, 2 centre
    // (justified paragraphs report 3).
    std::optional<int> SelAlignment() const;
    void setSelAlignment(int alignment);

    // Appends the whole content of `doc` at the end of the box with its formatting and
    // pictures; the caret ends behind it. Never uses the clipboard.
    void appendDocument(const QTextDocument& doc);
    // Inserts `doc`, or a fragment, at the caret (replacing the selection).
    void insertDocument(const QTextDocument& doc);
    void insertFragment(const QTextDocumentFragment& fragment);
    void appendRtf(QByteArrayView rtf);

    // Edit commands as direct calls (copy and paste use the system clipboard, as the keys
    // do). deleteSelection removes the selection, or the character after the caret.
    using QTextEdit::copy;
    using QTextEdit::paste;
    using QTextEdit::selectAll;
    using QTextEdit::undo;
    void deleteSelection();

Q_SIGNALS:
    // The content changed.
    void Change();
    // The selection or the caret moved.
    void SelChange();
    // The box got the keyboard focus.
    void GotFocus();

protected:
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void focusInEvent(QFocusEvent* e) override;

private:
    template <typename T, typename F>
    std::optional<T> selectionValue(F value) const;
    std::optional<PageSetup> m_page;
};

}  // namespace qm
