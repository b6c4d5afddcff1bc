#pragma once

#include "dispatch.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

namespace platform {

// What one showing of the file dialog asks for.
struct FileDialogRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QStringList nameFilters; // in Qt's form, "Description (*.a *.b)"
    QString defaultSuffix;   // without its dot; empty for none
    QString fileName;        // the name chosen last, to start from
};

// Shows the dialog; the chosen path, or nothing when the user cancelled.
using FileDialogPresenter = std::function<std::optional<QString>(const FileDialogRequest&)>;

// Qt's own (non-native) file dialog, modal over the active window. On save it
// asks before replacing an existing file.
std::optional<QString> showQtFileDialog(const FileDialogRequest& request);

// The dialog showQtFileDialog shows, set up but not yet shown.
std::unique_ptr<QFileDialog> makeQtFileDialog(const FileDialogRequest& request, QWidget* parent);

// Turns a filter text of description and pattern pairs, "desc|pattern|...||"
// (patterns separated by ";"), or a bare pattern, into Qt's name filters; a
// bare pattern is described by itself.
// "*.*" matches every file, as it does where the format comes from.
QStringList nameFiltersOf(const QString& filter);

// The file dialog control, reached by dispatch. Its properties keep their
// values from one showing to the next. A cancelled dialog raises 32755.
class CommonDialog final : public Dispatch {
public:
    static constexpr DispId FileName = 1;
    static constexpr DispId Filter = 3;
    static constexpr DispId DefaultExt = 4;
    static constexpr DispId ShowOpen = 30;
    static constexpr DispId ShowSave = 31;

    explicit CommonDialog(FileDialogPresenter presenter = showQtFileDialog);

    Variant invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;

private:
    void show(FileDialogRequest::Mode mode);

    FileDialogPresenter m_presenter;
    QString m_fileName;
    QString m_filter;
    QString m_defaultExt;
};

} // namespace platform
