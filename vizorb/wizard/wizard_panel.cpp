#include "vizorb/wizard/wizard_panel.h"

#include "vizorb/model/chart_model.h"
#include "vizorb/wizard/wizard_page.h"

#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <utility>

namespace vizorb {

namespace {
constexpr int stepCount = 6;
}

struct WizardPanel::Private {
    Private(ChartModel& model, WizardPanel* panel)
        : editor(
              model,
              [panel](const QString& path, const QString& attribute, const QString& value) {
                  Q_EMIT panel->propertyChanged(path, attribute, value);
              },
              [panel](const QString& name, int series, int point, double value) {
                  Q_EMIT panel->valueChanged(name, series, point, value);
              },
              [this] { showMessage(); })
    {
    }

    WizardEditor editor;
    int step = 0;
    QLabel* stepLabel = nullptr;
    QLabel* titleLabel = nullptr;
    QLabel* hintLabel = nullptr;
    QLabel* notStarted = nullptr;
    QLabel* messageLabel = nullptr;
    QStackedWidget* stack = nullptr;
    std::array<WizardPage*, stepCount> pages{};

    void showHeader()
    {
        if (step == 0) {
            stepLabel->clear();
            titleLabel->clear();
            hintLabel->clear();
        } else {
            const WizardPage* page = pages[step - 1];
            stepLabel->setText(editor.text(WizardText::StepOfSteps).arg(step).arg(stepCount));
            titleLabel->setText(page->title());
            hintLabel->setText(page->hint());
        }
    }

    void showMessage()
    {
        const QString message = editor.message();
        messageLabel->setText(message);
        messageLabel->setVisible(!message.isEmpty());
    }

    void refreshPages()
    {
        for (WizardPage* page : pages)
            page->refresh();
    }
};

WizardPanel::WizardPanel(ChartModel& model, QWidget* parent)
    : QWidget(parent), d(std::make_unique<Private>(model, this))
{
    setObjectName(QStringLiteral("wizardPanel"));

    d->stepLabel = new QLabel(this);
    d->stepLabel->setObjectName(QStringLiteral("wizardStepLabel"));
    d->titleLabel = new QLabel(this);
    d->titleLabel->setObjectName(QStringLiteral("wizardTitleLabel"));
    QFont titleFont = d->titleLabel->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    d->titleLabel->setFont(titleFont);
    d->hintLabel = new QLabel(this);
    d->hintLabel->setObjectName(QStringLiteral("wizardHintLabel"));
    d->hintLabel->setWordWrap(true);

    d->stack = new QStackedWidget(this);
    d->stack->setObjectName(QStringLiteral("wizardPages"));
    d->notStarted = new QLabel(d->stack);
    d->notStarted->setObjectName(QStringLiteral("wizardNotStarted"));
    d->notStarted->setAlignment(Qt::AlignCenter);
    d->notStarted->setWordWrap(true);
    d->stack->addWidget(d->notStarted);

    // Why the last input was refused, as plain text: it quotes what the user typed.
    d->messageLabel = new QLabel(this);
    d->messageLabel->setObjectName(QStringLiteral("wizardMessage"));
    d->messageLabel->setTextFormat(Qt::PlainText);
    d->messageLabel->setWordWrap(true);
    QPalette warning = d->messageLabel->palette();
    warning.setColor(QPalette::WindowText, QColor(0xb0, 0x00, 0x20));
    d->messageLabel->setPalette(warning);
    d->messageLabel->hide();

    using Factory = WizardPage* (*)(WizardEditor&, QWidget*);
    const Factory factories[stepCount] = {createTypePage, createDataPage,   createTitlesPage,
                                          createAxesPage, createLegendPage, createStylePage};
    for (int i = 0; i < stepCount; ++i) {
        d->pages[i] = factories[i](d->editor, d->stack);
        d->stack->addWidget(d->pages[i]);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(d->stepLabel);
    layout->addWidget(d->titleLabel);
    layout->addWidget(d->hintLabel);
    layout->addWidget(d->stack, 1);
    layout->addWidget(d->messageLabel);

    // Something other than the wizard changed the chart (SetAttribute, a
    // loaded file): show it. The pages raise no events while refreshing.
    connect(&model, &ChartModel::customizingChanged, this, [this] { d->refreshPages(); });
    connect(&model, &ChartModel::dataChanged, this, [this] { d->refreshPages(); });

    setLanguage(language());
    d->refreshPages();
}

WizardPanel::~WizardPanel()
{
    // The pages first: closing an open cell editor commits through the editor in d.
    delete d->stack;
}

void WizardPanel::reset()
{
    d->step = 0;
    d->editor.clearMessage();
    d->stack->setCurrentIndex(0);
    d->refreshPages();
    d->showHeader();
}

int WizardPanel::goToStep(int step)
{
    const int previous = std::exchange(d->step, std::clamp(step, 1, stepCount));
    d->stack->setCurrentIndex(d->step);
    // A refusal speaks of the step it was made on; leaving the step (which also
    // ends an edit still open there) ends it.
    if (d->step != previous)
        d->editor.clearMessage();
    d->showHeader();
    return d->step;
}

int WizardPanel::currentStep() const
{
    return d->step;
}

bool WizardPanel::setLanguage(const QString& code)
{
    const std::optional<WizardLanguage> language = wizardLanguageFromCode(code);
    if (!language)
        return false;
    d->editor.setLanguage(*language);
    d->notStarted->setText(d->editor.text(WizardText::NotStarted));
    d->showMessage();
    for (WizardPage* page : d->pages)
        page->retranslate();
    d->showHeader();
    return true;
}

QString WizardPanel::language() const
{
    return wizardLanguageCode(d->editor.language());
}

} // namespace vizorb
