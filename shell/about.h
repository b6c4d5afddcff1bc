#pragma once

#include "main_window/shell_links.h"
#include "platform/services.h"
#include "variants/deliverable.h"

#include <QDialog>

#include <cstdint>

class QLabel;
class QPushButton;

// The About window: shows the three texts the main window hands it and
// starts the system information tool found through the registry.
class About final : public QDialog, public AboutForm {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(About)

public:
    About(const Deliverable& deliverable, platform::Services& services);
    ~About() override;

    // Public fields: read only when the window is activated.
    QString Title;
    QString Version;
    QString Copyright;

    // Starts the system information tool, or says it is unavailable. Never fails to its caller.
    void StartSysInfo();
    // Reads a string (or 32-bit number) value under a root key into KeyVal;
    // false with KeyVal = "" when it cannot be had.
    bool GetKeyValue(const std::int32_t& KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal);

    // AboutForm
    void setTitle(const QString& text) override { Title = text; }
    void setVersion(const QString& text) override { Version = text; }
    void setCopyright(const QString& text) override { Copyright = text; }
    void showModeless() override;

protected:
    bool event(QEvent* event) override;
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend class AboutTestAccess;

    void guarded(const std::function<void()>& handler);
    void Form_Activate();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    platform::Services& m_services;

    QPushButton* cmdOK = nullptr;
    QLabel* picIcon = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCopyright = nullptr;
};
