#pragma once

#include "platform/control_site.h"
#include "platform/services.h"
#include "platform/twips.h"
#include "shell_links.h"
#include "variants/deliverable.h"

#include <QMainWindow>

#include <cstdint>
#include <memory>
#include <optional>

class EventList;
class QAction;
class QPushButton;

// The main window: hosts the chart control and the file dialog, drives the
// chart wizard, lays itself out, keeps the event log, and carries the File,
// Edit and Help commands. Its routines keep the names of the program's
// design; they are split across files by concern:
//   plotwright.cpp          design, load, wizard
//   plotwright_layout.cpp   Form_Resize, ToggleEventList
//   plotwright_eventlog.cpp the five event handlers
//   plotwright_files.cpp    whole-file text, File menu, sample files
//   plotwright_edit.cpp     Edit menu, About, the developer commands
class Plotwright final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Plotwright)

public:
    // Creates the window and its controls; nothing is configured yet.
    Plotwright(const Deliverable& deliverable, platform::Services& services, QWidget* parent = nullptr);
    ~Plotwright() override;

    // Loads the window: runs Form_Load. An error in it reaches the caller.
    void load();

    // Where Help > About finds the About window, and the help routine.
    void setShellLinks(ShellLinks links) { m_shell = std::move(links); }

    // The window's public operations: sample files.
    bool LoadPwSample(const QString& filename, QString& xmlData, QString& xmlcu);
    bool SavePwSample(const QString& filename, const QString& xmlData, const QString& xmlcu);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class PlotwrightTestAccess;

    // Runs a handler the platform started through the error guard.
    void guarded(const std::function<void()>& handler);
    void createMenu();
    void onChartEvent(int index, std::span<platform::Variant> args);

    // Inner size in twips (the client area below the menu bar).
    float ScaleWidth() const;
    float ScaleHeight() const;

    // Main window and chart wizard.
    void Form_Load();
    void StartWizard();
    void UpdateWizardButtons();
    void cmdBack_Click();
    void cmdNext_Click();
    void cmdFinish_Click();
    void mnuFileNew_Click();

    // Layout.
    void Form_Resize();
    void ToggleEventList();

    // Event log.
    void ctrlChart_MouseDown(std::int16_t& button, platform::Variant& shift, float& x, float& y);
    void ctrlChart_MouseUp(std::int16_t& button, platform::Variant& shift, float& x, float& y);
    void ctrlChart_ObjectClicked(const QString& name, std::int16_t series, std::int16_t point);
    void ctrlChart_ValueChanged(const QString& name, std::int16_t series, std::int16_t point,
                                const platform::Variant& unused, double value);
    void ctrlChart_PropertyChanged(const QString& path, const QString& attribute, const QString& value);

    // Whole-file text.
    QString ReadFileText(const QString& path);
    bool WriteFileText(const QString& path, const QString& content);

    // File menu.
    void mnuFileOpenData_Click();
    void mnuFileOpenCustomizing_Click();
    void mnuFileAddCustomizing_Click();
    void mnuFileSaveCustomizing_Click();
    void mnuFileSavePicture_Click();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();

    // Sample files.
    void OpenSample();
    void SaveSample();

    // Edit menu and About.
    void mnuEditCopyImage_Click();
    void mnuEditCopyCustomizing_Click();
    void CopyDataToClipboard();
    void mnuHelpAbout_Click();

    // Developer commands that nothing in the user interface invokes.
    void AddTestEntry();
    void ToggleMode12();
    void ToggleMode9();
    void ToggleMode11();
    void SetAxisTitles();
    void ListAxisTitles();
    void ApplyHideProperties();
    void ApplyHidePoints();
    void SetLanguageDE();
    void SetLanguageEN();
    void ShowHelpContents();
    void ShowComponentVersion();

    const Deliverable& m_deliverable;
    platform::Services& m_services;
    ShellLinks m_shell;

    // Wizard state.
    bool WizardActive = false;
    std::int16_t WizardStep = 0;

    // Check states of menu items the window's menu does not have.
    bool m_eventListChecked = false;
    bool m_mode12Checked = false;
    bool m_mode9Checked = false;
    bool m_mode11Checked = false;

    // Controls. The client area holds them at their twips placement.
    QWidget* m_client = nullptr;
    std::unique_ptr<platform::ControlSite> ctrlChart;
    std::unique_ptr<platform::Dispatch> ctrlCommonDialog;
    EventList* ctrlEventList = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdFinish = nullptr;
    std::optional<platform::Placement> m_eventListPlacement;
    std::optional<platform::Placement> m_backPlacement;
    std::optional<platform::Placement> m_nextPlacement;
    std::optional<platform::Placement> m_finishPlacement;

    // Menu.
    QAction* mnuFileNew = nullptr;
    QAction* mnuFileOpenData = nullptr;
    QAction* mnuFileOpenCustomizing = nullptr;
    QAction* mnuFileAddCustomizing = nullptr;
    QAction* mnuFileSaveCustomizing = nullptr;
    QAction* mnuFileSavePicture = nullptr;
    QAction* mnuFilePrint = nullptr;
    QAction* mnuFileExit = nullptr;
    QAction* mnuEditCopyImage = nullptr;
    QAction* mnuEditCopyCustomizing = nullptr;
    QAction* mnuHelpAbout = nullptr;
};
