#pragma once
// The program: the shared workspace, every window, and the hand-offs between them.
//
// A window never knows the windows above it; what it hands on (a menu command, the bank
// root being ready, a request to come back to the main window) is a signal, and App
// connects each one to the window that receives it.

#include <QObject>
#include <functional>
#include <memory>

namespace qm {

class Form1;
class Form2;
class Form3;
class Form5;
class Form6;
class Form7;
class HelpWindow;
class Prompt;
class Workspace;

class App : public QObject {
    Q_OBJECT
public:
    // What ending the program means: `restart` asks for a new instance (a new work path
    // takes effect that way). The default ends the event loop and, for a restart, starts
    // the program anew, detached.
    using Quit = std::function<void(bool restart)>;

    // The windows share `workspace`; every message and dialog goes through `prompt`.
    App(Workspace& workspace, Prompt& prompt, QObject* parent = nullptr);
    ~App() override;

    // Start-up: the main window loads (work path, data directories, users) and is shown.
    void start();

    // Replaces what ending the program does (tests record it instead).
    void setQuit(Quit quit) { m_quit = std::move(quit); }

    Workspace& workspace() const { return m_ws; }
    Form1* mainWindow() const { return m_form1.get(); }
    Form2* bankWindow() const { return m_form2.get(); }
    Form3* autoComposeWindow() const { return m_form3.get(); }
    Form5* manualComposeWindow() const { return m_form5.get(); }
    Form6* bankInformationWindow() const { return m_form6.get(); }
    Form7* libraryWindow() const { return m_form7.get(); }
    HelpWindow* helpWindow() const { return m_help.get(); }

private:
    void wire();

    Workspace& m_ws;
    Prompt& m_prompt;
    std::unique_ptr<Form1> m_form1;
    std::unique_ptr<Form2> m_form2;
    std::unique_ptr<Form3> m_form3;
    std::unique_ptr<Form5> m_form5;
    std::unique_ptr<Form6> m_form6;
    std::unique_ptr<Form7> m_form7;
    std::unique_ptr<HelpWindow> m_help;
    Quit m_quit;
};

}  // namespace qm
