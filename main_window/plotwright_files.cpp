#include "plotwright.h"

#include "chart_ids.h"
#include "file_text.h"
#include "platform/message_box.h"
#include "platform/picture.h"
#include "platform/runtime_error.h"
#include "sample_file.h"

using platform::Variant;

namespace {
const char* const kDataFilter = "Rendrix Data Files (*.xml)|*.xml|All Files(*.*)|*.*||";
const char* const kCustomizingFilter = "Rendrix Customizing Files (*.xml)|*.xml|All Files(*.*)|*.*||";
const char* const kPictureFilter = "*.bmp";
const char* const kSampleFilter = "Plotwright Samples (*.pws)|*.pws|All Files(*.*)|*.*||";

// The file dialog step every command that chooses a file begins with. An
// error while the dialog is set up or shown, a cancel among them, ends the
// command without a message: false.
bool chooseFile(platform::Dispatch* dialog, const char* defaultExt, const char* filter, platform::DispId show)
{
    try {
        if (!dialog)
            platform::raise(platform::err::ObjectVariableNotSet);
        if (defaultExt)
            dialog->put(common_dialog::DefaultExt, QString::fromLatin1(defaultExt));
        dialog->put(common_dialog::Filter, QString::fromLatin1(filter));
        dialog->call(show);
    } catch (const platform::RuntimeError&) {
        return false;
    }
    return true;
}

// Hands a text to one of the control's load operations. When the control
// does not answer True, its own error text is shown. Returns whether it loaded.
bool loadIntoChart(platform::Dispatch& control, platform::MessageBoxService& messageBox, platform::DispId load,
                   std::vector<Variant> args)
{
    if (control.get(load, std::move(args)).toBoolean())
        return true;
    messageBox.show(control.get(chart::LastErrorText).toString());
    return false;
}

QString notWrittenText(const QString& path)
{
    return QStringLiteral("The file %1 could not be written.").arg(path);
}
} // namespace

// ---- whole-file text ------------------------------------------------------

QString Plotwright::ReadFileText(const QString& path)
{
    return file_text::read(path);
}

bool Plotwright::WriteFileText(const QString& path, const QString& content)
{
    return file_text::write(path, content);
}

// ---- File menu ------------------------------------------------------------

void Plotwright::mnuFileOpenData_Click()
{
    if (!chooseFile(ctrlCommonDialog.get(), nullptr, kDataFilter, common_dialog::ShowOpen))
        return;
    const QString text = ReadFileText(ctrlCommonDialog->get(common_dialog::FileName).toString());
    loadIntoChart(*ctrlChart, *m_services.messageBox, chart::LoadDataXml, {text});
}

void Plotwright::mnuFileOpenCustomizing_Click()
{
    if (!chooseFile(ctrlCommonDialog.get(), nullptr, kCustomizingFilter, common_dialog::ShowOpen))
        return;
    const QString text = ReadFileText(ctrlCommonDialog->get(common_dialog::FileName).toString());
    loadIntoChart(*ctrlChart, *m_services.messageBox, chart::LoadCustomizingXml, {text});
}

void Plotwright::mnuFileAddCustomizing_Click()
{
    if (!chooseFile(ctrlCommonDialog.get(), nullptr, kCustomizingFilter, common_dialog::ShowOpen))
        return;
    const QString text = ReadFileText(ctrlCommonDialog->get(common_dialog::FileName).toString());
    // False asks the control to add to the current customizing.
    loadIntoChart(*ctrlChart, *m_services.messageBox, chart::LoadCustomizingXml, {text, Variant(false)});
}

void Plotwright::mnuFileSaveCustomizing_Click()
{
    if (!chooseFile(ctrlCommonDialog.get(), nullptr, kCustomizingFilter, common_dialog::ShowSave))
        return;
    const QString text = ctrlChart->get(chart::GetCustomizingXml).toString();
    const QString path = ctrlCommonDialog->get(common_dialog::FileName).toString();
    // The user must not believe a customizing saved that was not.
    if (!WriteFileText(path, text))
        m_services.messageBox->show(notWrittenText(path));
}

void Plotwright::mnuFileSavePicture_Click()
{
    if (!chooseFile(ctrlCommonDialog.get(), "bmp", kPictureFilter, common_dialog::ShowSave))
        return;
    const auto picture = ctrlChart->get(chart::ChartPicture).toObjectOf<platform::Picture>();
    const QString path = ctrlCommonDialog->get(common_dialog::FileName).toString();
    platform::savePicture(*picture, path);
}

void Plotwright::mnuFilePrint_Click()
{
    ctrlChart->call(chart::PrintChart);
}

void Plotwright::mnuFileExit_Click()
{
    m_services.endProgram();
}

// ---- sample files ---------------------------------------------------------

bool Plotwright::LoadPwSample(const QString& filename, QString& xmlData, QString& xmlcu)
{
    std::optional<sample_file::Texts> texts = sample_file::load(filename);
    if (!texts)
        return false;
    xmlData = std::move(texts->data);
    xmlcu = std::move(texts->customizing);
    return true;
}

bool Plotwright::SavePwSample(const QString& filename, const QString& xmlData, const QString& xmlcu)
{
    return sample_file::save(filename, xmlData, xmlcu);
}

void Plotwright::OpenSample()
{
    if (!chooseFile(ctrlCommonDialog.get(), nullptr, kSampleFilter, common_dialog::ShowOpen))
        return;
    QString data;
    QString customizing;
    if (!LoadPwSample(ctrlCommonDialog->get(common_dialog::FileName).toString(), data, customizing))
        return;
    // Customizing follows only data the control took; the data stays if the customizing is rejected.
    if (loadIntoChart(*ctrlChart, *m_services.messageBox, chart::LoadDataXml, {data}))
        loadIntoChart(*ctrlChart, *m_services.messageBox, chart::LoadCustomizingXml, {customizing});
}

void Plotwright::SaveSample()
{
    if (!chooseFile(ctrlCommonDialog.get(), nullptr, kSampleFilter, common_dialog::ShowSave))
        return;
    const QString path = ctrlCommonDialog->get(common_dialog::FileName).toString();
    const QString data = ctrlChart->get(chart::GetDataXml).toString();
    const QString customizing = ctrlChart->get(chart::GetCustomizingXml).toString();
    if (!SavePwSample(path, data, customizing))
        m_services.messageBox->show(notWrittenText(path));
}
