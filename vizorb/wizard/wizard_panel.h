#pragma once

#include <QWidget>

#include <memory>

namespace vizorb {

class ChartModel;

// The six-step chart wizard, shown in the control's own area beside the
// chart: 1 chart type, 2 data, 3 titles, 4 axes, 5 legend, 6 colours and
// style. Every change it makes goes through the ChartModel, exactly as
// SetAttribute (or, for data, a value change) would.
class WizardPanel final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WizardPanel)

public:
    explicit WizardPanel(ChartModel& model, QWidget* parent = nullptr);
    ~WizardPanel() override;

    // Back to before step 1: no step shown.
    void reset();
    // Shows step n, or the nearest valid step for n outside 1..6; returns the step shown.
    int goToStep(int step);
    int currentStep() const; // 0 before step 1
    // "EN" or "DE" in any letter case; re-labels the open wizard at once.
    // Returns false for another code and keeps the language: the control
    // then raises error 5 from its Language property.
    bool setLanguage(const QString& code);
    QString language() const;

Q_SIGNALS:
    // A change the user made in the wizard, after it reached the model.
    void propertyChanged(const QString& path, const QString& attribute, const QString& value);
    // series and point are 1-based; name is the series' name.
    void valueChanged(const QString& name, int series, int point, double value);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vizorb
