#pragma once
// All modal interaction with the user goes through Prompt: message boxes, the input box,
// file dialogs and the directory choice. The application hands one Prompt to every
// window; tests hand a scripted one that checks every call.

#include <QString>
#include <QStringList>
#include <optional>

namespace qm {

// The title of a message box that carries no title of its own: the program's name.
inline const QString kTitleProgram = QStringLiteral("Quellmark");

enum class Icon { None, Critical, Question, Warning, Information };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

QString toString(Icon icon);
QString toString(Buttons buttons);
QString toString(Answer answer);

class Prompt {
public:
    virtual ~Prompt() = default;

    // A message box. `defaultButton` is the button Enter presses; when it is not one of
    // `buttons` the first button is the default. Returns the button pressed; closing the
    // box counts as Cancel (or No, or Ok, whichever the box has).
    virtual Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons = Buttons::Ok,
                           std::optional<Answer> defaultButton = {}) = 0;

    // An input box. Returns nothing when the user cancels.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& defaultText = QString()) = 0;

    // File dialogs. `filter` pairs descriptions with patterns separated by '|':
    // "出题方案(*.faa)|*.faa|所有文件|*.*". An empty result means the user cancelled.
    virtual QString openFile(const QString& title, const QString& filter) = 0;
    virtual QString saveFile(const QString& title, const QString& filter, const QString& defaultExt) = 0;
    virtual QString chooseDirectory(const QString& title, const QString& start) = 0;
};

// Converts a "description|pattern|…" filter to Qt's "description (pattern);;…".
QString qtFileFilter(const QString& filter);

}  // namespace qm
