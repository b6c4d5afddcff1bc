#include "common_dialog.h"

#include "runtime_error.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace platform {

namespace {
QString defaultSuffixOf(const QString& defaultExt)
{
    return defaultExt.startsWith(QLatin1Char('.')) ? defaultExt.mid(1) : defaultExt;
}

QString patternsOf(const QString& patterns)
{
    QStringList list = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : list) {
        pattern = pattern.trimmed();
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
    }
    return list.join(QLatin1Char(' '));
}
} // namespace

QStringList nameFiltersOf(const QString& filter)
{
    QStringList parts = filter.split(QLatin1Char('|'));
    while (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    // A bare pattern is its own description: the dialog shows descriptions only.
    if (parts.size() == 1)
        return {QStringLiteral("%1 (%2)").arg(parts.first().trimmed(), patternsOf(parts.first()))};
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // The description may carry its own "(*.x)"; Qt reads the patterns
        // from the last parentheses and the dialog hides them.
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patternsOf(parts[i + 1]));
    }
    return filters;
}

std::unique_ptr<QFileDialog> makeQtFileDialog(const FileDialogRequest& request, QWidget* parent)
{
    auto dialog = std::make_unique<QFileDialog>(parent);
    dialog->setObjectName(QStringLiteral("commonDialog"));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // A name that does not exist yet may be typed on open too.
    dialog->setFileMode(QFileDialog::AnyFile);
    if (!request.nameFilters.isEmpty())
        dialog->setNameFilters(request.nameFilters);
    if (save)
        dialog->setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog->selectFile(request.fileName);
    return dialog;
}

std::optional<QString> showQtFileDialog(const FileDialogRequest& request)
{
    const std::unique_ptr<QFileDialog> dialog = makeQtFileDialog(request, QApplication::activeWindow());
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return dialog->selectedFiles().constFirst();
}

CommonDialog::CommonDialog(FileDialogPresenter presenter) : m_presenter(std::move(presenter)) {}

Variant CommonDialog::invoke(DispId id, InvokeKind kind, std::span<Variant> args)
{
    auto property = [&](QString& value) -> Variant {
        if (kind == InvokeKind::PropertyPut) {
            requireArgs(args, 1);
            value = args[0].toString();
            return {};
        }
        requireArgs(args, 0);
        return value;
    };
    switch (id) {
    case FileName:
        return property(m_fileName);
    case Filter:
        return property(m_filter);
    case DefaultExt:
        return property(m_defaultExt);
    case ShowOpen:
    case ShowSave:
        if (kind == InvokeKind::PropertyPut)
            raise(err::ObjectDoesntSupport);
        requireArgs(args, 0);
        show(id == ShowOpen ? FileDialogRequest::Mode::Open : FileDialogRequest::Mode::Save);
        return {};
    default:
        raise(err::ObjectDoesntSupport);
    }
}

void CommonDialog::show(FileDialogRequest::Mode mode)
{
    const FileDialogRequest request{mode, nameFiltersOf(m_filter), defaultSuffixOf(m_defaultExt), m_fileName};
    std::optional<QString> chosen = m_presenter(request);
    if (!chosen)
        raise(err::CancelSelected);
    // A saved name without an extension takes the default one.
    if (mode == FileDialogRequest::Mode::Save && !request.defaultSuffix.isEmpty() &&
        !QFileInfo(*chosen).fileName().contains(QLatin1Char('.')))
        *chosen += QLatin1Char('.') + request.defaultSuffix;
    m_fileName = *chosen;
}

} // namespace platform
