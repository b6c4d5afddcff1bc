#pragma once

#include "platform/dispatch.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QPrinter;

namespace vizorb {

class ChartModel;
class ChartView;
class WizardPanel;

// One entry a host added with AddEntry.
struct Entry {
    QString folder, name, tooltip;
    friend bool operator==(const Entry&, const Entry&) = default;
};

// The chart control as a host sees it: its members by dispatch identifier,
// its window (the chart, with the wizard beside it while the wizard runs)
// and its events.
class VizorbControl final : public platform::Control {
public:
    explicit VizorbControl(const QString& version);
    ~VizorbControl() override;
    VizorbControl(const VizorbControl&) = delete;
    VizorbControl& operator=(const VizorbControl&) = delete;

    platform::Variant invoke(platform::DispId id, platform::InvokeKind kind,
                             std::span<platform::Variant> args) override;
    QWidget* widget() override;
    void advise(platform::EventSink* sink) override;

    // Shows the print dialog for `printer`; true when the user chose to print.
    // Tests replace it so no real dialog opens.
    using PrintDialogStep = std::function<bool(QPrinter& printer, QWidget* parent)>;
    void setPrintDialogStep(PrintDialogStep step);

    ChartModel& model();
    ChartView& view();
    WizardPanel& wizard();
    const QList<Entry>& entries() const;

private:
    platform::Variant dispatch(platform::DispId id, platform::InvokeKind kind, std::span<platform::Variant> args);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vizorb
