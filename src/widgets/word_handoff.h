#pragma once
// Hand-off of rich text to the word processor, where teachers finish and print documents.
//
// The word processor is the command in the environment variable QUELLMARK_WORD_PROCESSOR
// when it is set (a program, optionally with arguments; the file is appended as the last
// argument), otherwise LibreOffice ("soffice" or "libreoffice" on PATH). LibreOffice is
// started with a profile of its own under ProgramDir, so that the process we start is the
// one the user edits in and ends when the user closes the document (with the user's own
// profile an already running LibreOffice would take the file over and our process would
// end at once). Each round trip under way has its own profile.
//
// The hand-off files are written to BankRoot under fixed names ("~temp.rtf" for the bank
// window, "~Word.rtf" for the whole-bank document, "~SjA.rtf"/"~SjB.rtf" for a paper and
// its answer sheet); they are kept afterwards and overwritten by the next hand-off.

#include <QString>
#include <QStringList>

class QTextDocument;

namespace qm {

class Prompt;
class RichTextBox;
class Workspace;

// The program and arguments that open `file` in the word processor; the program is empty
// when none can be found. `profile` names LibreOffice's profile directory under
// ProgramDir (unused for a command from the environment).
struct WordCommand {
    QString program;
    QStringList arguments;
};
WordCommand wordProcessorCommand(const Workspace& workspace, const QString& file, const QString& profile);

// Round trip: writes the box as RTF to BankRoot + fileName, opens it in the word
// processor and waits until the word processor ends, then loads the file back into the
// box, so the box holds what the user last saved there (or what it held, when nothing was
// saved). The box's window is disabled meanwhile but keeps painting; other windows work
// on. Returns true when the word processor ran. When it cannot be started, or the file
// cannot be written, `prompt` says so in one message and the box stays as it was. A second
// round trip on a file that is still being edited is refused with a message.
bool EditInWord(Workspace& workspace, Prompt& prompt, RichTextBox* box, const QString& fileName);

// One-way opening: writes `doc` as RTF to BankRoot + fileName, opens it in the word
// processor and returns at once; the word processor stays open on its own (also after the
// program ends). Returns true when it was started; otherwise `prompt` says so once,
// naming the file that was written.
bool ShowWord(const Workspace& workspace, Prompt& prompt, const QTextDocument& doc,
              const QString& fileName = QStringLiteral("~Word.rtf"));

}  // namespace qm
