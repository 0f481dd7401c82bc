#include "widgets/qtprompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace qm {

namespace {

QWidget* dialogParent()
{
    return QApplication::activeWindow();
}

QList<std::pair<Answer, QMessageBox::StandardButton>> buttonList(Buttons b)
{
    using SB = QMessageBox::StandardButton;
    switch (b) {
    case Buttons::Ok: return {{Answer::Ok, SB::Ok}};
    case Buttons::OkCancel: return {{Answer::Ok, SB::Ok}, {Answer::Cancel, SB::Cancel}};
    case Buttons::YesNo: return {{Answer::Yes, SB::Yes}, {Answer::No, SB::No}};
    case Buttons::YesNoCancel: return {{Answer::Yes, SB::Yes}, {Answer::No, SB::No}, {Answer::Cancel, SB::Cancel}};
    case Buttons::RetryCancel: return {{Answer::Retry, SB::Retry}, {Answer::Cancel, SB::Cancel}};
    case Buttons::AbortRetryIgnore:
        return {{Answer::Abort, SB::Abort}, {Answer::Retry, SB::Retry}, {Answer::Ignore, SB::Ignore}};
    }
    return {};
}

}  // namespace

Answer QtPrompt::message(const QString& text, const QString& title, Icon icon, Buttons buttons,
                         std::optional<Answer> defaultButton)
{
    QMessageBox box(dialogParent());
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    }
    const auto list = buttonList(buttons);
    QMessageBox::StandardButtons sbs;
    for (const auto& [a, sb] : list)
        sbs |= sb;
    box.setStandardButtons(sbs);
    QMessageBox::StandardButton def = list.first().second;
    for (const auto& [a, sb] : list)
        if (defaultButton && *defaultButton == a)
            def = sb;
    box.setDefaultButton(def);
    // Esc and the close box answer with the box's "no" button, as the old message boxes did.
    QMessageBox::StandardButton escape = list.last().second;
    if (buttons == Buttons::Ok)
        escape = QMessageBox::Ok;
    box.setEscapeButton(escape);
    const int pressed = box.exec();
    for (const auto& [a, sb] : list)
        if (pressed == sb)
            return a;
    for (const auto& [a, sb] : list)
        if (sb == escape)
            return a;
    return Answer::Cancel;
}

std::optional<QString> QtPrompt::input(const QString& prompt, const QString& title, const QString& defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(dialogParent(), title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtPrompt::startDirectory() const
{
    if (!m_lastDir.isEmpty() && QFileInfo(m_lastDir).isDir())
        return m_lastDir;
    return m_startDir ? m_startDir() : QString();
}

QString QtPrompt::remember(const QString& file)
{
    if (!file.isEmpty())
        m_lastDir = QFileInfo(file).absolutePath();
    return file;
}

QString QtPrompt::openFile(const QString& title, const QString& filter)
{
    return remember(QFileDialog::getOpenFileName(dialogParent(), title, startDirectory(), qtFileFilter(filter)));
}

QString QtPrompt::saveFile(const QString& title, const QString& filter, const QString& defaultExt)
{
    QFileDialog dlg(dialogParent(), title, startDirectory(), qtFileFilter(filter));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    QString ext = defaultExt;
    if (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    dlg.setDefaultSuffix(ext);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return remember(dlg.selectedFiles().first());
}

QString QtPrompt::chooseDirectory(const QString& title, const QString& start)
{
    return QFileDialog::getExistingDirectory(dialogParent(), title, start);
}

}  // namespace qm
