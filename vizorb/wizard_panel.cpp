#include "wizard_panel.h"

#include "chart_model.h"

#include <algorithm>

namespace vizorb {

// A placeholder until the wizard's pages exist: it only keeps its position.
struct WizardPanel::Private {
    int step = 0;
    QString language = QStringLiteral("EN");
};

WizardPanel::WizardPanel(ChartModel& model, QWidget* parent) : QWidget(parent), d(new Private)
{
    Q_UNUSED(model);
    setObjectName(QStringLiteral("wizardPanel"));
}

WizardPanel::~WizardPanel() { delete d; }

void WizardPanel::reset() { d->step = 0; }

int WizardPanel::goToStep(int step)
{
    d->step = std::clamp(step, 1, 6);
    return d->step;
}

int WizardPanel::currentStep() const { return d->step; }

bool WizardPanel::setLanguage(const QString& code)
{
    if (code != QLatin1String("EN") && code != QLatin1String("DE"))
        return false;
    d->language = code;
    return true;
}

QString WizardPanel::language() const { return d->language; }

}  // namespace vizorb
