#pragma once

#include <QString>

#include <functional>

// What the main window needs of the About window, which lives in the shell:
// its three public fields and showing it without modality.
class AboutForm {
public:
    virtual ~AboutForm();
    virtual void setTitle(const QString& text) = 0;
    virtual void setVersion(const QString& text) = 0;
    virtual void setCopyright(const QString& text) = 0;
    // Shows the window without modality and without an owner window.
    virtual void showModeless() = 0;
};

// What the main window reaches in the shell, which it cannot include:
// wired by the start-up sequence, by fakes in tests.
struct ShellLinks {
    // Returns the one About window, loading it first when it is not loaded.
    std::function<AboutForm&()> about;
    // The operating-system helper module's help routine.
    std::function<void(const QString& topic)> showHelp;
};
