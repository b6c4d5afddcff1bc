#include "vizorb/model/chart_model.h"
#include "vizorb/model/names.h"
#include "vizorb/wizard/wizard_page.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vizorb {

namespace {

struct CaptionField {
    QString path;
    WizardText label;
    QFormLayout* form = nullptr;
    QLabel* labelWidget = nullptr;
    QLineEdit* edit = nullptr;
};

struct AxisGroup {
    QString path;
    WizardText name;
    QGroupBox* box = nullptr;
};

class TitlesPage final : public WizardPage {
public:
    TitlesPage(WizardEditor& editor, QWidget* parent)
        : WizardPage(editor, WizardText::TitlesTitle, WizardText::TitlesHint, parent)
    {
        setObjectName(QStringLiteral("wizardStep3"));
        auto* content = new QWidget;
        auto* column = new QVBoxLayout(content);
        auto* chartForm = new QFormLayout;
        column->addLayout(chartForm);
        addField(chartForm, element::Title, WizardText::Title);
        addField(chartForm, element::Subtitle, WizardText::Subtitle);

        m_axes = {{element::CategoryAxis, WizardText::CategoryAxis},
                  {element::ValueAxis, WizardText::ValueAxis},
                  {element::CategoryAxisSec, WizardText::CategoryAxisSec},
                  {element::ValueAxisSec, WizardText::ValueAxisSec}};
        for (AxisGroup& axis : m_axes) {
            axis.box = new QGroupBox(content);
            axis.box->setObjectName(QStringLiteral("captions:") + axis.path);
            auto* form = new QFormLayout(axis.box);
            addField(form, axis.path + QLatin1String(".Title"), WizardText::AxisTitle);
            addField(form, axis.path + QLatin1String(".Unit"), WizardText::AxisUnit);
            column->addWidget(axis.box);
        }
        column->addStretch(1);

        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(createPageScroller(content, this));
    }

    void refresh() override
    {
        for (CaptionField& field : m_fields) {
            const bool offered = m_editor.offers(field.path, attribute::Caption);
            field.form->setRowVisible(field.edit, offered);
            // Leave a caption the user is typing alone; it is applied when they leave it.
            if (!(field.edit->hasFocus() && field.edit->isModified()))
                field.edit->setText(m_editor.value(field.path, attribute::Caption));
        }
        for (AxisGroup& axis : m_axes)
            axis.box->setVisible(m_editor.offers(axis.path + QLatin1String(".Title"), attribute::Caption) ||
                                 m_editor.offers(axis.path + QLatin1String(".Unit"), attribute::Caption));
    }

    void retranslate() override
    {
        for (CaptionField& field : m_fields)
            field.labelWidget->setText(m_editor.text(field.label));
        for (AxisGroup& axis : m_axes)
            axis.box->setTitle(m_editor.text(axis.name));
    }

private:
    void addField(QFormLayout* form, const QString& path, WizardText label)
    {
        CaptionField field{path, label, form, new QLabel, new QLineEdit};
        field.edit->setObjectName(QStringLiteral("caption:") + path);
        // A line edit holds 32,767 characters unless told: a longer caption would be cut when confirmed.
        field.edit->setMaxLength(int(schema::kMaxValueLength));
        field.labelWidget->setBuddy(field.edit);
        form->addRow(field.labelWidget, field.edit);
        QLineEdit* edit = field.edit;
        connect(edit, &QLineEdit::editingFinished, this, [this, edit, path] {
            // Leaving a field shown anew after a refusal is no input.
            if (!edit->isModified())
                return;
            edit->setModified(false);
            if (!m_editor.apply(path, attribute::Caption, edit->text()))
                refresh();
        });
        m_fields.append(field);
    }

    QList<CaptionField> m_fields;
    QList<AxisGroup> m_axes;
};

} // namespace

WizardPage* createTitlesPage(WizardEditor& editor, QWidget* parent)
{
    return new TitlesPage(editor, parent);
}

} // namespace vizorb
