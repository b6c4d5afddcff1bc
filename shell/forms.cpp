#include "forms.h"

#include "about.h"
#include "main_window/plotwright.h"
#include "winapi.h"

Forms::Forms(const Deliverable& deliverable, platform::Services& services)
    : m_deliverable(deliverable), m_services(services)
{
}

Forms::~Forms()
{
    delete m_about.data();
}

Plotwright& Forms::plotwright()
{
    if (!m_plotwright) {
        auto window = std::make_unique<Plotwright>(m_deliverable, m_services);
        window->setShellLinks(shellLinks());
        window->load();
        m_plotwright = std::move(window);
    }
    return *m_plotwright;
}

About& Forms::about()
{
    if (!m_about)
        m_about = new About(m_deliverable, m_services);
    return *m_about;
}

ShellLinks Forms::shellLinks()
{
    ShellLinks links;
    links.about = [this]() -> AboutForm& { return about(); };
    links.showHelp = [this](const QString& topic) { WinAPI::ShowHelp(*m_services.osFunctions, topic); };
    return links;
}
