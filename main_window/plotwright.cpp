#include "plotwright.h"

Plotwright::Plotwright(const Deliverable& deliverable, platform::Services& services, QWidget* parent)
    : QMainWindow(parent), m_deliverable(deliverable), m_services(services)
{
    setObjectName("Plotwright");
    setWindowTitle(QString::fromLatin1(m_deliverable.caption));
}

Plotwright::~Plotwright() = default;
