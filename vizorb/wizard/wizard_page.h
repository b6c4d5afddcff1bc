#pragma once

#include "vizorb/wizard/wizard_texts.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QIcon;

namespace vizorb {

class ChartModel;

// What the wizard's pages share: the model, the language, and the one way a
// user's change reaches the model and is reported.
class WizardEditor final {
    Q_DISABLE_COPY_MOVE(WizardEditor)

public:
    using PropertySink = std::function<void(const QString& path, const QString& attribute, const QString& value)>;
    using ValueSink = std::function<void(const QString& name, int series, int point, double value)>;
    using MessageSink = std::function<void()>;

    WizardEditor(ChartModel& model, PropertySink onProperty, ValueSink onValue, MessageSink onMessage);

    ChartModel& model() const { return m_model; }
    WizardLanguage language() const { return m_language; }
    void setLanguage(WizardLanguage language) { m_language = language; }
    QString text(WizardText id) const { return wizardText(id, m_language); }

    // The element knows the attribute and "HideProperties" names neither the
    // attribute, the element's path nor "path.attribute".
    bool offers(const QString& path, const QString& attribute) const;
    bool offersAny(const QString& path, const QStringList& attributes) const;
    QString value(const QString& path, const QString& attribute) const;

    // A user's change: set as SetAttribute would and reported once it took.
    // Setting the value already in force reports nothing. False when refused.
    bool apply(const QString& path, const QString& attribute, const QString& value);
    // A data-table edit; series and point 0-based. False when refused.
    bool applyValue(int series, int point, double value);

    // A typed number, or nothing with the reason shown.
    std::optional<double> readNumber(const QString& text);
    // Says why an input was refused; the reason stays until an input is
    // accepted or the step changes.
    void refuse(WizardText reason, const QString& input = {});
    void clearMessage();
    // The reason for the last refusal, in the current language; empty when none.
    QString message() const;

private:
    ChartModel& m_model;
    PropertySink m_onProperty;
    ValueSink m_onValue;
    MessageSink m_onMessage;
    WizardLanguage m_language = WizardLanguage::English;
    std::optional<WizardText> m_reason;
    QString m_refusedInput;
};

// One step of the wizard.
class WizardPage : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WizardPage)

public:
    WizardPage(WizardEditor& editor, WizardText title, WizardText hint, QWidget* parent = nullptr);

    QString title() const { return m_editor.text(m_title); }
    QString hint() const { return m_editor.text(m_hint); }

    // Shows the model's state; raises no events.
    virtual void refresh() = 0;
    // Re-labels every text in the editor's language.
    virtual void retranslate() = 0;

protected:
    WizardEditor& m_editor;

private:
    WizardText m_title;
    WizardText m_hint;
};

// Selects the item whose data is value, raising no signal; -1 when none has it.
int selectByData(QComboBox* combo, const QString& value);
QIcon colorSwatch(const QColor& color);
// Numbers as the user reads and types them: the stored form's digits in the
// language's decimal sign, so that confirming a shown number keeps it exactly.
// Typing accepts the full stop in either language.
QString formatNumber(double value, WizardLanguage language);
std::optional<double> parseNumber(const QString& text, WizardLanguage language);

// A vertical scroller for a tall page whose width follows its content, so
// the panel never crops a control nor scrolls sideways.
QWidget* createPageScroller(QWidget* content, QWidget* parent);

// The six steps, in order.
WizardPage* createTypePage(WizardEditor& editor, QWidget* parent);
WizardPage* createDataPage(WizardEditor& editor, QWidget* parent);
WizardPage* createTitlesPage(WizardEditor& editor, QWidget* parent);
WizardPage* createAxesPage(WizardEditor& editor, QWidget* parent);
WizardPage* createLegendPage(WizardEditor& editor, QWidget* parent);
WizardPage* createStylePage(WizardEditor& editor, QWidget* parent);

} // namespace vizorb
