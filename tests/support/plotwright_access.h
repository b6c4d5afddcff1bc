#pragma once

// Reaches the main window's private state and operations from tests. The
// window names this class its friend; nothing else in the program can.
#include "main_window/event_list.h"
#include "main_window/plotwright.h"
#include "tests/support/fakes.h"

#include <QMenuBar>
#include <QPushButton>

#include <memory>

class PlotwrightTestAccess {
public:
    static bool& WizardActive(Plotwright& w) { return w.WizardActive; }
    static std::int16_t& WizardStep(Plotwright& w) { return w.WizardStep; }
    static bool& eventListChecked(Plotwright& w) { return w.m_eventListChecked; }
    static bool& mode12Checked(Plotwright& w) { return w.m_mode12Checked; }
    static bool& mode9Checked(Plotwright& w) { return w.m_mode9Checked; }
    static bool& mode11Checked(Plotwright& w) { return w.m_mode11Checked; }

    static platform::ControlSite& ctrlChart(Plotwright& w) { return *w.ctrlChart; }
    static EventList& ctrlEventList(Plotwright& w) { return *w.ctrlEventList; }
    static QPushButton& cmdBack(Plotwright& w) { return *w.cmdBack; }
    static QPushButton& cmdNext(Plotwright& w) { return *w.cmdNext; }
    static QPushButton& cmdFinish(Plotwright& w) { return *w.cmdFinish; }
    static platform::Placement& eventListPlacement(Plotwright& w) { return *w.m_eventListPlacement; }
    static platform::Placement& backPlacement(Plotwright& w) { return *w.m_backPlacement; }
    static platform::Placement& nextPlacement(Plotwright& w) { return *w.m_nextPlacement; }
    static platform::Placement& finishPlacement(Plotwright& w) { return *w.m_finishPlacement; }
    static QWidget& client(Plotwright& w) { return *w.m_client; }
    static float ScaleWidth(Plotwright& w) { return w.ScaleWidth(); }
    static float ScaleHeight(Plotwright& w) { return w.ScaleHeight(); }

    static QString ReadFileText(Plotwright& w, const QString& path) { return w.ReadFileText(path); }
    static bool WriteFileText(Plotwright& w, const QString& path, const QString& content)
    {
        return w.WriteFileText(path, content);
    }

    // Each parameterless private operation, by its name.
#define PLOTWRIGHT_TEST_OP(name)                                                                                       \
    static void name(Plotwright& w)                                                                                    \
    {                                                                                                                  \
        w.name();                                                                                                      \
    }
    PLOTWRIGHT_TEST_OP(Form_Load)
    PLOTWRIGHT_TEST_OP(StartWizard)
    PLOTWRIGHT_TEST_OP(UpdateWizardButtons)
    PLOTWRIGHT_TEST_OP(cmdBack_Click)
    PLOTWRIGHT_TEST_OP(cmdNext_Click)
    PLOTWRIGHT_TEST_OP(cmdFinish_Click)
    PLOTWRIGHT_TEST_OP(mnuFileNew_Click)
    PLOTWRIGHT_TEST_OP(Form_Resize)
    PLOTWRIGHT_TEST_OP(ToggleEventList)
    PLOTWRIGHT_TEST_OP(mnuFileOpenData_Click)
    PLOTWRIGHT_TEST_OP(mnuFileOpenCustomizing_Click)
    PLOTWRIGHT_TEST_OP(mnuFileAddCustomizing_Click)
    PLOTWRIGHT_TEST_OP(mnuFileSaveCustomizing_Click)
    PLOTWRIGHT_TEST_OP(mnuFileSavePicture_Click)
    PLOTWRIGHT_TEST_OP(mnuFilePrint_Click)
    PLOTWRIGHT_TEST_OP(mnuFileExit_Click)
    PLOTWRIGHT_TEST_OP(OpenSample)
    PLOTWRIGHT_TEST_OP(SaveSample)
    PLOTWRIGHT_TEST_OP(mnuEditCopyImage_Click)
    PLOTWRIGHT_TEST_OP(mnuEditCopyCustomizing_Click)
    PLOTWRIGHT_TEST_OP(CopyDataToClipboard)
    PLOTWRIGHT_TEST_OP(mnuHelpAbout_Click)
    PLOTWRIGHT_TEST_OP(AddTestEntry)
    PLOTWRIGHT_TEST_OP(ToggleMode12)
    PLOTWRIGHT_TEST_OP(ToggleMode9)
    PLOTWRIGHT_TEST_OP(ToggleMode11)
    PLOTWRIGHT_TEST_OP(SetAxisTitles)
    PLOTWRIGHT_TEST_OP(ListAxisTitles)
    PLOTWRIGHT_TEST_OP(ApplyHideProperties)
    PLOTWRIGHT_TEST_OP(ApplyHidePoints)
    PLOTWRIGHT_TEST_OP(SetLanguageDE)
    PLOTWRIGHT_TEST_OP(SetLanguageEN)
    PLOTWRIGHT_TEST_OP(ShowHelpContents)
    PLOTWRIGHT_TEST_OP(ShowComponentVersion)
#undef PLOTWRIGHT_TEST_OP

    // Runs an operation the way the platform starts a handler: through the guard.
    static void guarded(Plotwright& w, const std::function<void()>& handler)
    {
        w.guarded(handler);
    }
};

namespace fakes {

// A main window on recording fakes: the chart control, the file dialog and
// the message box. The window is created but not loaded; call load() or
// loadWindow() (which answers GoToWizardStep(1) with 1 first).
struct WindowFixture {
    explicit WindowFixture(const Deliverable& deliverable = kPlotwright700);
    ~WindowFixture();

    // Loads the window with a control that reports step 1, then forgets the calls.
    void loadWindow();

    FakeMessageBox messageBox;
    FakeDispatch* chart = nullptr;  // owned by the window
    FakeDispatch* dialog = nullptr; // owned by the window
    platform::Services services;
    std::unique_ptr<Plotwright> window;
};

} // namespace fakes
