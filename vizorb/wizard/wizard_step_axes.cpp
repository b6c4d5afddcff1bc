#include "vizorb/chart/value_scale.h"
#include "vizorb/model/chart_model.h"
#include "vizorb/model/names.h"
#include "vizorb/model/number_text.h"
#include "vizorb/wizard/wizard_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>

#include <cmath>
#include <limits>

namespace vizorb {

namespace {

struct AxisChoice {
    QLatin1StringView path;
    WizardText name;
};
constexpr AxisChoice axisChoices[] = {{element::CategoryAxis, WizardText::CategoryAxis},
                                      {element::ValueAxis, WizardText::ValueAxis},
                                      {element::CategoryAxisSec, WizardText::CategoryAxisSec},
                                      {element::ValueAxisSec, WizardText::ValueAxisSec}};

// A bound as the customizing stores it: 15 digits would round the largest
// double beyond itself and two close bounds onto one.
QString modelNumber(double value)
{
    return shortestNumber(value);
}

class AxesPage final : public WizardPage {
public:
    AxesPage(WizardEditor& editor, QWidget* parent)
        : WizardPage(editor, WizardText::AxesTitle, WizardText::AxesHint, parent), m_axis(new QComboBox),
          m_visible(new QCheckBox), m_automatic(new QCheckBox), m_minimum(new QLineEdit), m_maximum(new QLineEdit),
          m_gridLines(new QCheckBox), m_format(new QComboBox), m_axisLabel(new QLabel), m_minimumLabel(new QLabel),
          m_maximumLabel(new QLabel), m_formatLabel(new QLabel)
    {
        setObjectName(QStringLiteral("wizardStep4"));
        m_axis->setObjectName(QStringLiteral("axisChoice"));
        m_visible->setObjectName(QStringLiteral("axisVisible"));
        m_automatic->setObjectName(QStringLiteral("axisAutomatic"));
        m_minimum->setObjectName(QStringLiteral("axisMinimum"));
        m_maximum->setObjectName(QStringLiteral("axisMaximum"));
        m_gridLines->setObjectName(QStringLiteral("axisGridLines"));
        m_format->setObjectName(QStringLiteral("axisNumberFormat"));
        m_format->setEditable(true);
        // A line edit holds 32,767 characters unless told: a longer value would be cut when confirmed.
        m_format->lineEdit()->setMaxLength(int(schema::kMaxValueLength));
        m_format->setInsertPolicy(QComboBox::NoInsert);
        m_format->addItems(
            {QString(), QStringLiteral("%.0f"), QStringLiteral("%.1f"), QStringLiteral("%.2f"), QStringLiteral("%g")});
        m_axisLabel->setBuddy(m_axis);
        m_minimumLabel->setBuddy(m_minimum);
        m_maximumLabel->setBuddy(m_maximum);
        m_formatLabel->setBuddy(m_format);

        m_form = new QFormLayout(this);
        m_form->setContentsMargins(0, 0, 0, 0);
        m_form->addRow(m_axisLabel, m_axis);
        m_form->addRow(m_visible);
        m_form->addRow(m_automatic);
        m_form->addRow(m_minimumLabel, m_minimum);
        m_form->addRow(m_maximumLabel, m_maximum);
        m_form->addRow(m_gridLines);
        m_form->addRow(m_formatLabel, m_format);

        connect(m_axis, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
        connectCheck(m_visible, attribute::Visible);
        connectCheck(m_gridLines, attribute::GridLines);
        connect(m_automatic, &QCheckBox::toggled, this, [this](bool automatic) { setAutomatic(automatic); });
        connect(m_minimum, &QLineEdit::editingFinished, this, [this] { applyBound(m_minimum, attribute::Minimum); });
        connect(m_maximum, &QLineEdit::editingFinished, this, [this] { applyBound(m_maximum, attribute::Maximum); });
        // Leaving a field shown anew after a refusal is no input.
        connect(m_format->lineEdit(), &QLineEdit::editingFinished, this, [this] {
            if (m_format->lineEdit()->isModified())
                applyFormat();
        });
        connect(m_format, &QComboBox::activated, this, [this] { applyFormat(); });
    }

    void refresh() override
    {
        const QString kept = m_axis->currentData().toString();
        {
            const QSignalBlocker blocker(m_axis);
            m_axis->clear();
            for (const AxisChoice& choice : axisChoices) {
                const QString path = choice.path;
                if (m_editor.offersAny(path, {attribute::Visible, attribute::Minimum, attribute::Maximum,
                                              attribute::GridLines, attribute::NumberFormat}))
                    m_axis->addItem(m_editor.text(choice.name), path);
            }
            m_axis->setCurrentIndex(std::max(0, m_axis->findData(kept)));
        }
        const QString path = currentPath();
        const bool any = !path.isEmpty();
        m_form->setRowVisible(m_axis, any);

        setCheck(m_visible, path, attribute::Visible);
        setCheck(m_gridLines, path, attribute::GridLines);

        const bool scale =
            any && m_editor.offers(path, attribute::Minimum) && m_editor.offers(path, attribute::Maximum);
        const QString minimum = scale ? m_editor.value(path, attribute::Minimum) : QString();
        const QString maximum = scale ? m_editor.value(path, attribute::Maximum) : QString();
        const bool automatic = minimum.isEmpty() && maximum.isEmpty();
        {
            const QSignalBlocker blocker(m_automatic);
            m_automatic->setChecked(automatic);
        }
        m_form->setRowVisible(m_automatic, scale);
        m_form->setRowVisible(m_minimum, scale);
        m_form->setRowVisible(m_maximum, scale);
        m_minimum->setEnabled(!automatic);
        m_maximum->setEnabled(!automatic);
        showBound(m_minimum, minimum);
        showBound(m_maximum, maximum);

        const bool format = any && m_editor.offers(path, attribute::NumberFormat);
        m_form->setRowVisible(m_format, format);
        if (format && !(m_format->lineEdit()->hasFocus() && m_format->lineEdit()->isModified())) {
            const QSignalBlocker blocker(m_format);
            m_format->setEditText(m_editor.value(path, attribute::NumberFormat));
        }
    }

    void retranslate() override
    {
        m_axisLabel->setText(m_editor.text(WizardText::Axis));
        m_visible->setText(m_editor.text(WizardText::Visible));
        m_automatic->setText(m_editor.text(WizardText::AutomaticScale));
        m_minimumLabel->setText(m_editor.text(WizardText::Minimum));
        m_maximumLabel->setText(m_editor.text(WizardText::Maximum));
        m_gridLines->setText(m_editor.text(WizardText::GridLines));
        m_formatLabel->setText(m_editor.text(WizardText::NumberFormat));
        // An empty field means automatic: say so where the value would be.
        m_minimum->setPlaceholderText(m_editor.text(WizardText::AutomaticValue));
        m_maximum->setPlaceholderText(m_editor.text(WizardText::AutomaticValue));
        m_format->lineEdit()->setPlaceholderText(m_editor.text(WizardText::AutomaticValue));
        for (int i = 0; i < m_axis->count(); ++i)
            for (const AxisChoice& choice : axisChoices)
                if (m_axis->itemData(i).toString() == choice.path)
                    m_axis->setItemText(i, m_editor.text(choice.name));
        // Bounds are shown in the language's number form.
        refresh();
    }

private:
    QString currentPath() const { return m_axis->currentData().toString(); }

    void connectCheck(QCheckBox* box, const QString& attribute)
    {
        connect(box, &QCheckBox::toggled, this, [this, attribute](bool on) {
            if (!m_editor.apply(currentPath(), attribute, on ? QStringLiteral("true") : QStringLiteral("false")))
                refresh();
        });
    }

    void setCheck(QCheckBox* box, const QString& path, const QString& attribute)
    {
        const bool offered = !path.isEmpty() && m_editor.offers(path, attribute);
        m_form->setRowVisible(box, offered);
        const QSignalBlocker blocker(box);
        box->setChecked(offered && m_editor.value(path, attribute) == QLatin1String("true"));
    }

    void showBound(QLineEdit* edit, const QString& value)
    {
        if (edit->hasFocus() && edit->isModified())
            return;
        bool ok = false;
        const double number = value.toDouble(&ok);
        edit->setText(ok ? formatNumber(number, m_editor.language()) : QString());
    }

    // Leaving automatic scaling fixes the scale at the range the chart shows, so
    // nothing jumps or is cut and both bounds have a value to edit. Both bounds
    // apply or neither, and never as one value.
    void setAutomatic(bool automatic)
    {
        const QString path = currentPath();
        if (automatic) {
            if (!(m_editor.apply(path, attribute::Minimum, QString()) &&
                  m_editor.apply(path, attribute::Maximum, QString())))
                refresh();
            return;
        }
        std::optional<std::pair<double, double>> range = m_editor.shownRange(path);
        if (!range) {
            // No such axis drawn: the data's range from zero, as a value axis shows it.
            double low = 0, high = 0;
            for (const Series& series : m_editor.model().data().series)
                for (double v : series.values)
                    if (std::isfinite(v)) {
                        low = std::min(low, v);
                        high = std::max(high, v);
                    }
            const ValueScale scale = valueScale(low, high, 8, true);
            range = {scale.lo, scale.hi};
        }
        const QString minimum = modelNumber(range->first), maximum = modelNumber(range->second);
        QString storedMinimum, storedMaximum;
        if (!schema::normalizeValue(path, attribute::Minimum, minimum, &storedMinimum, nullptr) ||
            !schema::normalizeValue(path, attribute::Maximum, maximum, &storedMaximum, nullptr) ||
            !(storedMinimum.toDouble() < storedMaximum.toDouble())) {
            m_editor.refuse(WizardText::MinimumBelowMaximum);
            refresh();
            return;
        }
        const QString before = m_editor.value(path, attribute::Minimum);
        if (!m_editor.apply(path, attribute::Minimum, minimum)) {
            refresh();
        } else if (!m_editor.apply(path, attribute::Maximum, maximum)) {
            m_editor.apply(path, attribute::Minimum, before);
            refresh();
        }
    }

    // An empty bound scales that end automatically. A minimum at or above the
    // maximum would leave no scale to draw, so it is refused.
    void applyBound(QLineEdit* edit, const QString& attribute)
    {
        // Leaving a field shown anew after a refusal is no input.
        if (!edit->isModified())
            return;
        edit->setModified(false);
        const QString path = currentPath();
        QString value;
        if (!edit->text().trimmed().isEmpty()) {
            const std::optional<double> number = m_editor.readNumber(edit->text());
            if (!number) {
                refresh();
                return;
            }
            const QString other =
                m_editor.value(path, attribute == attribute::Minimum ? attribute::Maximum : attribute::Minimum);
            bool ok = false;
            const double otherNumber = other.toDouble(&ok);
            if (ok && (attribute == attribute::Minimum ? *number >= otherNumber : *number <= otherNumber)) {
                m_editor.refuse(WizardText::MinimumBelowMaximum);
                refresh();
                return;
            }
            value = modelNumber(*number);
        }
        if (!m_editor.apply(path, attribute, value))
            refresh();
    }

    void applyFormat()
    {
        m_format->lineEdit()->setModified(false);
        if (!m_editor.apply(currentPath(), attribute::NumberFormat, m_format->currentText()))
            refresh();
    }

    QComboBox* m_axis;
    QCheckBox* m_visible;
    QCheckBox* m_automatic;
    QLineEdit* m_minimum;
    QLineEdit* m_maximum;
    QCheckBox* m_gridLines;
    QComboBox* m_format;
    QLabel* m_axisLabel;
    QLabel* m_minimumLabel;
    QLabel* m_maximumLabel;
    QLabel* m_formatLabel;
    QFormLayout* m_form = nullptr;
};

} // namespace

WizardPage* createAxesPage(WizardEditor& editor, QWidget* parent)
{
    return new AxesPage(editor, parent);
}

} // namespace vizorb
