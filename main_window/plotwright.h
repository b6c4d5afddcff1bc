#pragma once

#include "platform/services.h"
#include "variants/deliverable.h"

#include <QMainWindow>

// The main window. (Its design and commands come in their own files.)
class Plotwright final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Plotwright)

public:
    Plotwright(const Deliverable& deliverable, platform::Services& services, QWidget* parent = nullptr);
    ~Plotwright() override;

private:
    const Deliverable& m_deliverable;
    platform::Services& m_services;
};
