#pragma once

#include <QString>

#include <memory>

class QMessageBox;
class QWidget;

namespace platform {

// Every message the program shows: the text, an OK button, no icon, and the
// application's title "Plotwright". Modal; returns when the user closes it.
class MessageBoxService {
public:
    virtual ~MessageBoxService();
    virtual void show(const QString& text) = 0;
};

inline constexpr const char* kApplicationTitle = "Plotwright";

// The real one, on Qt's message box over the active window.
class QtMessageBox final : public MessageBoxService {
public:
    void show(const QString& text) override;
};

// The box QtMessageBox shows, not yet shown. The text is shown as it is:
// texts from files and the chart control may hold markup-like characters.
std::unique_ptr<QMessageBox> makeMessageBox(const QString& text, QWidget* parent);

} // namespace platform
