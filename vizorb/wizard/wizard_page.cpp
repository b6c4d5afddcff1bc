#include "vizorb/wizard/wizard_page.h"

#include "vizorb/chart/chart_text.h"
#include "vizorb/model/chart_model.h"
#include "vizorb/model/number_text.h"

#include <QComboBox>
#include <QIcon>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

namespace vizorb {

WizardEditor::WizardEditor(ChartModel& model, PropertySink onProperty, ValueSink onValue, MessageSink onMessage)
    : m_model(model), m_onProperty(std::move(onProperty)), m_onValue(std::move(onValue)),
      m_onMessage(std::move(onMessage))
{
}

bool WizardEditor::offers(const QString& path, const QString& attribute) const
{
    if (!m_model.attributeNames(path).contains(attribute))
        return false;
    return !m_model.isPropertyHidden(attribute) && !m_model.isPropertyHidden(path) &&
           !m_model.isPropertyHidden(path + QLatin1Char('.') + attribute);
}

bool WizardEditor::offersAny(const QString& path, const QStringList& attributes) const
{
    return std::any_of(attributes.begin(), attributes.end(),
                       [&](const QString& attribute) { return offers(path, attribute); });
}

QString WizardEditor::value(const QString& path, const QString& attribute) const
{
    return m_model.attribute(path, attribute);
}

bool WizardEditor::apply(const QString& path, const QString& attribute, const QString& value)
{
    if (m_model.attribute(path, attribute) == value) {
        clearMessage();
        return true;
    }
    if (!m_model.setAttribute(path, attribute, value)) {
        refuse(WizardText::InvalidValue, value);
        return false;
    }
    clearMessage();
    // Report the value as the customizing now holds it, the form GetCustomizingXml writes.
    m_onProperty(path, attribute, m_model.attribute(path, attribute));
    return true;
}

bool WizardEditor::applyValue(int series, int point, double value)
{
    const ChartData& before = m_model.data();
    if (series >= 0 && series < before.series.size() && point >= 0 && point < before.series[series].values.size() &&
        before.series[series].values[point] == value) {
        clearMessage();
        return true;
    }
    if (!m_model.setValue(series, point, value)) {
        refuse(WizardText::InvalidValue, formatNumber(value, m_language));
        return false;
    }
    clearMessage();
    const ChartData& data = m_model.data();
    m_onValue(data.series.at(series).name, series + 1, point + 1, data.series.at(series).values.value(point, value));
    return true;
}

std::optional<double> WizardEditor::readNumber(const QString& text)
{
    const std::optional<double> number = parseNumber(text, m_language);
    if (number)
        return number;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        refuse(WizardText::NumberRequired);
    else if (std::isinf(QLocale::c().toDouble(trimmed)) ||
             std::isinf(QLocale(QLocale::German, QLocale::Germany).toDouble(trimmed)))
        refuse(WizardText::NumberTooLarge, trimmed);
    else
        refuse(WizardText::NotANumber, trimmed);
    return std::nullopt;
}

void WizardEditor::refuse(WizardText reason, const QString& input)
{
    // The reason is one line on the panel: a pasted page of text must not widen it.
    constexpr int shownInput = 40;
    m_reason = reason;
    m_refusedInput = cutText(input, shownInput).simplified();
    m_onMessage();
}

void WizardEditor::clearMessage()
{
    if (!m_reason)
        return;
    m_reason.reset();
    m_refusedInput.clear();
    m_onMessage();
}

QString WizardEditor::message() const
{
    if (!m_reason)
        return {};
    const QString text = wizardText(*m_reason, m_language);
    return text.contains(QLatin1String("%1")) ? text.arg(m_refusedInput) : text;
}

int selectByData(QComboBox* combo, const QString& value)
{
    const QSignalBlocker blocker(combo);
    const int index = combo->findData(value);
    combo->setCurrentIndex(index);
    return index;
}

QIcon colorSwatch(const QColor& color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::darkGray);
    painter.setBrush(color);
    painter.drawRect(QRect(1, 1, 13, 13));
    return QIcon(pixmap);
}

namespace {
QLocale numberLocale(WizardLanguage language)
{
    QLocale locale = language == WizardLanguage::German ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}
} // namespace

QString formatNumber(double value, WizardLanguage language)
{
    QString text = shortestNumber(value);
    if (language == WizardLanguage::German)
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

std::optional<double> parseNumber(const QString& text, WizardLanguage language)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    double value = numberLocale(language).toDouble(trimmed, &ok);
    if (!ok)
        value = numberLocale(WizardLanguage::English).toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

namespace {
class PageScroller final : public QScrollArea {
public:
    using QScrollArea::QScrollArea;

    QSize minimumSizeHint() const override
    {
        const QSize base = QScrollArea::minimumSizeHint();
        if (!widget())
            return base;
        return {widget()->minimumSizeHint().width() + verticalScrollBar()->sizeHint().width(), base.height()};
    }
    QSize sizeHint() const override
    {
        const QSize base = QScrollArea::sizeHint();
        return {std::max(base.width(), minimumSizeHint().width()), base.height()};
    }
};
} // namespace

QWidget* createPageScroller(QWidget* content, QWidget* parent)
{
    auto* scroller = new PageScroller(parent);
    scroller->setFocusPolicy(Qt::NoFocus);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setWidgetResizable(true);
    scroller->setWidget(content);
    return scroller;
}

WizardPage::WizardPage(WizardEditor& editor, WizardText title, WizardText hint, QWidget* parent)
    : QWidget(parent), m_editor(editor), m_title(title), m_hint(hint)
{
}

} // namespace vizorb
