#pragma once

#include "main_window/shell_links.h"
#include "platform/services.h"
#include "variants/deliverable.h"

#include <QPointer>

#include <memory>

class About;
class Plotwright;

// The forms' default instances: each is created and loaded on first
// reference, as the program's global form names are.
class Forms {
public:
    Forms(const Deliverable& deliverable, platform::Services& services);
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    // The main window, created and loaded (Form_Load) when it is not. A failed
    // load leaves no instance and its error reaches the caller.
    Plotwright& plotwright();
    // The About window, loaded again after it was unloaded.
    About& about();

    bool plotwrightLoaded() const { return m_plotwright != nullptr; }
    bool aboutLoaded() const { return !m_about.isNull(); }

    // What the main window reaches in the shell.
    ShellLinks shellLinks();

private:
    const Deliverable& m_deliverable;
    platform::Services& m_services;
    std::unique_ptr<Plotwright> m_plotwright;
    QPointer<About> m_about; // deletes itself when unloaded
};
