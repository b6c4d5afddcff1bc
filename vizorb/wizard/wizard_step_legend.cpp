#include "vizorb/model/chart_model.h"
#include "vizorb/model/names.h"
#include "vizorb/wizard/wizard_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace vizorb {

namespace {

struct PositionChoice {
    const char* value;
    WizardText name;
};
constexpr PositionChoice positions[] = {{"Top", WizardText::PositionTop},
                                        {"Bottom", WizardText::PositionBottom},
                                        {"Left", WizardText::PositionLeft},
                                        {"Right", WizardText::PositionRight}};

class LegendPage final : public WizardPage {
public:
    LegendPage(WizardEditor& editor, QWidget* parent)
        : WizardPage(editor, WizardText::LegendTitle, WizardText::LegendHint, parent), m_visible(new QCheckBox),
          m_position(new QComboBox), m_positionLabel(new QLabel)
    {
        setObjectName(QStringLiteral("wizardStep5"));
        m_visible->setObjectName(QStringLiteral("legendVisible"));
        m_position->setObjectName(QStringLiteral("legendPosition"));
        for (const PositionChoice& choice : positions)
            m_position->addItem(QString(), QLatin1String(choice.value));
        m_positionLabel->setBuddy(m_position);
        m_form = new QFormLayout(this);
        m_form->setContentsMargins(0, 0, 0, 0);
        m_form->addRow(m_visible);
        m_form->addRow(m_positionLabel, m_position);

        connect(m_visible, &QCheckBox::toggled, this, [this](bool on) {
            if (!m_editor.apply(element::Legend, attribute::Visible,
                                on ? QStringLiteral("true") : QStringLiteral("false")))
                refresh();
        });
        connect(m_position, &QComboBox::currentIndexChanged, this, [this] {
            if (!m_editor.apply(element::Legend, attribute::Position, m_position->currentData().toString()))
                refresh();
        });
    }

    void refresh() override
    {
        const bool visibleOffered = m_editor.offers(element::Legend, attribute::Visible);
        const bool shown = m_editor.value(element::Legend, attribute::Visible) == QLatin1String("true");
        m_form->setRowVisible(m_visible, visibleOffered);
        {
            const QSignalBlocker blocker(m_visible);
            m_visible->setChecked(shown);
        }
        m_form->setRowVisible(m_position, m_editor.offers(element::Legend, attribute::Position));
        m_position->setEnabled(shown);
        selectByData(m_position, m_editor.value(element::Legend, attribute::Position));
    }

    void retranslate() override
    {
        m_visible->setText(m_editor.text(WizardText::ShowLegend));
        m_positionLabel->setText(m_editor.text(WizardText::Position));
        for (int i = 0; i < m_position->count(); ++i)
            m_position->setItemText(i, m_editor.text(positions[i].name));
    }

private:
    QCheckBox* m_visible;
    QComboBox* m_position;
    QLabel* m_positionLabel;
    QFormLayout* m_form = nullptr;
};

} // namespace

WizardPage* createLegendPage(WizardEditor& editor, QWidget* parent)
{
    return new LegendPage(editor, parent);
}

} // namespace vizorb
