#include "plotwright.h"

#include "chart_ids.h"
#include "event_list.h"
#include "platform/clipboard.h"
#include "platform/message_box.h"
#include "platform/picture.h"
#include "platform/runtime_error.h"

#include <array>

using platform::Variant;

namespace {
// The axis title and unit elements, in the order they are set and listed.
constexpr std::array<const char*, 8> kAxisCaptionPaths = {
    "CategoryAxis.Title", "CategoryAxis.Unit", "CategoryAxisSec.Title", "CategoryAxisSec.Unit",
    "ValueAxis.Title",    "ValueAxis.Unit",    "ValueAxisSec.Title",    "ValueAxisSec.Unit",
};

platform::Clipboard& clipboardOf(const platform::Services& services)
{
    if (!services.clipboard)
        platform::raise(platform::err::ObjectVariableNotSet);
    return *services.clipboard;
}
} // namespace

// ---- Edit menu and About ---------------------------------------------------

void Plotwright::mnuEditCopyImage_Click()
{
    platform::Clipboard& clipboard = clipboardOf(m_services);
    // Emptied first: a failing picture leaves nothing stale behind.
    clipboard.clear();
    const auto picture = ctrlChart->get(chart::ChartPicture).toObjectOf<platform::Picture>();
    clipboard.setData(*picture, platform::clipboard_format::Bitmap);
}

void Plotwright::mnuEditCopyCustomizing_Click()
{
    std::vector<Variant> args;
    if (m_deliverable.customizingFetchArgument)
        args.emplace_back(*m_deliverable.customizingFetchArgument);
    const QString xml = ctrlChart->get(chart::GetCustomizingXml, std::move(args)).toString();
    clipboardOf(m_services).setText(xml);
}

void Plotwright::CopyDataToClipboard()
{
    const QString text = ctrlChart->get(chart::DataText).toString();
    clipboardOf(m_services).setText(text);
}

void Plotwright::mnuHelpAbout_Click()
{
    if (!m_shell.about)
        platform::raise(platform::err::ObjectVariableNotSet);
    AboutForm& about = m_shell.about();
    about.setTitle(windowTitle());
    // Asked afresh each time: the window keeps no copy of the control's answers.
    about.setVersion(ctrlChart->get(chart::GetAttribute, {Variant("Control"), Variant("Version")}).toString());
    // Short enough for one line of the About window's copyright label.
    about.setCopyright(QStringLiteral("\u00A9 2026 Plotwright"));
    about.showModeless();
}

// ---- developer commands -----------------------------------------------------

void Plotwright::AddTestEntry()
{
    ctrlChart->call(chart::AddEntry, {Variant("testFolder"), Variant("testName"), Variant("testTooltip")});
}

void Plotwright::ToggleMode12()
{
    const bool value = !m_mode12Checked;
    m_mode12Checked = value;
    ctrlChart->put(chart::Mode12, Variant(value));
}

void Plotwright::ToggleMode9()
{
    if (!ctrlChart->get(chart::Mode9).toBoolean()) {
        // Mode9 and Mode11 exclude each other.
        ctrlChart->put(chart::Mode11, Variant(false));
        m_mode11Checked = false;
        ctrlChart->put(chart::Mode9, Variant(true));
    } else {
        ctrlChart->put(chart::Mode9, Variant(false));
    }
    // The check shows what the control reports, not what was sent.
    m_mode9Checked = ctrlChart->get(chart::Mode9).toBoolean();
}

void Plotwright::ToggleMode11()
{
    // Mode11 is never read back: its check state is the only record of it.
    if (m_mode11Checked) {
        ctrlChart->put(chart::Mode11, Variant(false));
        m_mode11Checked = false;
    } else {
        ctrlChart->put(chart::Mode11, Variant(true));
        ctrlChart->put(chart::Mode9, Variant(false));
        m_mode11Checked = true;
    }
    m_mode9Checked = ctrlChart->get(chart::Mode9).toBoolean();
}

void Plotwright::SetAxisTitles()
{
    ctrlChart->put(chart::UpdateEnabled, Variant(false));
    for (const char* path : kAxisCaptionPaths)
        ctrlChart->call(chart::SetAttribute, {Variant(path), Variant("Caption"), Variant(path)});
    ctrlChart->put(chart::UpdateEnabled, Variant(true));
}

void Plotwright::ListAxisTitles()
{
    // Appended without selecting: the selection stays where the user left it.
    for (const char* path : kAxisCaptionPaths)
        ctrlEventList->addItem(ctrlChart->get(chart::GetAttribute, {Variant(path), Variant("Caption")}).toString());
}

void Plotwright::ApplyHideProperties()
{
    ctrlChart->call(chart::SetAttribute, {Variant("Control"), Variant("HideProperties"),
                                          Variant("Extension|VariableCategories|Label|CuID")});
}

void Plotwright::ApplyHidePoints()
{
    ctrlChart->call(chart::SetAttribute, {Variant("Control"), Variant("HidePoints"), Variant("true")});
}

void Plotwright::SetLanguageDE()
{
    ctrlChart->put(chart::Language, Variant("DE"));
}

void Plotwright::SetLanguageEN()
{
    ctrlChart->put(chart::Language, Variant("EN"));
}

void Plotwright::ShowHelpContents()
{
    if (!m_shell.showHelp)
        platform::raise(platform::err::ObjectVariableNotSet);
    m_shell.showHelp(QStringLiteral("Content"));
}

void Plotwright::ShowComponentVersion()
{
    const QString version = ctrlChart->get(chart::GetAttribute, {Variant("Control"), Variant("Version")}).toString();
    m_services.messageBox->show(QStringLiteral("The Vizorb's version is ") + version);
}
