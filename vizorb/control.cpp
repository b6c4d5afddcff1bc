#include "vizorb/control.h"

#include "vizorb/chart/chart_view.h"
#include "vizorb/dispids.h"
#include "vizorb/model/chart_model.h"
#include "vizorb/model/names.h"
#include "vizorb/wizard/wizard_panel.h"
#include "vizorb/xml/customizing_xml.h"
#include "vizorb/xml/data_xml.h"
#include "vizorb/xml/xml_text.h"

#include "platform/picture.h"
#include "platform/runtime_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>

#include <limits>
#include <new>
#include <stdexcept>

namespace vizorb {

using platform::InvokeKind;
using platform::Variant;

namespace {

constexpr int kPropertyIsReadOnly = 383;

// Events carry series and point numbers as 16-bit Integers; a number beyond
// that range cannot be named, so it is reported as 0 rather than wrapped into
// a wrong (negative) one.
std::int16_t eventNumber(int number)
{
    return number >= 0 && number <= std::numeric_limits<std::int16_t>::max() ? std::int16_t(number) : 0;
}

// Texts beyond the size the readers take are refused before any copy is made.
bool fitsSize(const QString& text, const char* what, qsizetype limit, QString* error)
{
    if (text.size() <= limit)
        return true;
    *error = QStringLiteral("The %1 text has %2 characters; the control reads at most %3.")
                 .arg(QLatin1String(what))
                 .arg(text.size())
                 .arg(limit);
    return false;
}

bool defaultPrintDialog(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

struct VizorbControl::Private {
    QString version;
    std::unique_ptr<QWidget> container;
    ChartModel* model = nullptr;
    ChartView* view = nullptr;
    WizardPanel* wizard = nullptr;
    platform::EventSink* sink = nullptr;
    PrintDialogStep printDialog = defaultPrintDialog;
    QString lastError;
    QString language = QStringLiteral("EN");
    QString templateFile;
    Customizing base; // what a replacing load starts from: the template, or nothing
    bool mode9 = false, mode11 = false, mode12 = false;
    QList<Entry> entries;

    void raiseEvent(int index, std::vector<Variant> args)
    {
        if (sink)
            sink->onEvent(index, args);
    }

    ViewModes modes() const { return ViewModes{mode9, mode11, mode12}; }

    // The wizard is made when first needed: a control that only draws never pays for its pages.
    WizardPanel* panel()
    {
        if (wizard)
            return wizard;
        wizard = new WizardPanel(*model, container.get());
        wizard->setRangeSource([this](const QString& path) { return view->shownRange(path); });
        wizard->hide();
        container->layout()->addWidget(wizard);
        QObject::connect(wizard, &WizardPanel::propertyChanged, container.get(),
                         [this](const QString& path, const QString& attribute, const QString& value) {
                             raiseEvent(event::PropertyChanged, {Variant(path), Variant(attribute), Variant(value)});
                         });
        QObject::connect(wizard, &WizardPanel::valueChanged, container.get(),
                         [this](const QString& name, int series, int point, double value) {
                             raiseEvent(event::ValueChanged,
                                        {Variant(name), Variant(eventNumber(series)), Variant(eventNumber(point)),
                                         Variant(std::int32_t(0)), Variant(value)});
                         });
        return wizard;
    }

    // The control's own settings are no part of a chart's look: they outlive a replacement.
    Customizing withControlSettings(Customizing next) const
    {
        const auto control = model->customizing().values.constFind(element::Control);
        if (control != model->customizing().values.cend())
            next.values.insert(element::Control, *control);
        return next;
    }

    bool loadCustomizing(const QString& text, bool replace)
    {
        QString decoded, error;
        Customizing next = replace ? withControlSettings(base) : model->customizing();
        if (!fitsSize(text, "customizing", kMaxMarkupText, &error) || !decodeXmlText(text, &decoded, &error) ||
            !readCustomizingXml(decoded, &next, &error)) {
            lastError = error;
            return false;
        }
        model->setCustomizing(std::move(next));
        lastError.clear();
        return true;
    }

    bool loadData(const QString& text)
    {
        QString decoded, error;
        ChartData data;
        if (!fitsSize(text, "data", kMaxXmlText, &error) || !decodeXmlText(text, &decoded, &error) ||
            !readDataXml(decoded, &data, &error)) {
            lastError = error;
            return false;
        }
        decoded.clear();
        model->setData(std::move(data));
        lastError.clear();
        return true;
    }

    void setTemplateFile(const QString& name)
    {
        templateFile = name;
        Customizing fresh;
        const QFileInfo info(QDir::current().filePath(name));
        // A missing template leaves the built-in defaults as the base; so does
        // one that cannot be read, but that is worth a message. Only a regular
        // file is read: a pipe or device could block or never end.
        if (!name.isEmpty() && info.exists()) {
            QString decoded, error;
            QFile file(info.filePath());
            if (!info.isFile())
                error = QStringLiteral("not a regular file (a folder, pipe or device), so it is ignored.");
            else if (info.size() > kMaxMarkupText)
                error = QStringLiteral("the file has %1 bytes; the control reads at most %2.")
                            .arg(info.size())
                            .arg(kMaxMarkupText);
            else if (!file.open(QIODevice::ReadOnly))
                error = file.errorString();
            else if (decodeXmlText(QString::fromLatin1(file.read(info.size())), &decoded, &error) &&
                     readCustomizingXml(decoded, &fresh, &error))
                fresh.values.remove(element::Control);
            // With the control's own settings it must still be written within the reader's bound.
            if (error.isEmpty())
                fitsReader(withControlSettings(fresh), &error);
            if (!error.isEmpty()) {
                lastError = QStringLiteral("Template %1: %2").arg(name, error);
                fresh = {};
            }
        }
        base = fresh;
        model->setCustomizing(withControlSettings(base));
    }

    void print()
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageOrientation(view->width() >= view->height() ? QPageLayout::Landscape : QPageLayout::Portrait);
        if (!printDialog(printer, container.get()))
            return;
        QPainter painter;
        if (!painter.begin(&printer))
            platform::raise(platform::err::PathFileAccessError,
                            QStringLiteral("The chart could not be printed: the printer did not start."));
        // The chart keeps its on-screen proportions, as large as the page allows
        // (a hidden control lays its chart out first, as for its picture).
        container->layout()->activate();
        QSizeF size = view->size().isEmpty() ? QSizeF(815, 526) : QSizeF(view->size());
        const QRectF page = painter.viewport();
        const double scale = std::min(page.width() / size.width(), page.height() / size.height());
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        view->renderTo(&painter, QRectF(QPointF(0, 0), size));
        painter.end();
    }
};

VizorbControl::VizorbControl(const QString& version) : d(std::make_unique<Private>())
{
    d->version = version;
    d->container = std::make_unique<QWidget>();
    d->container->setObjectName(QStringLiteral("vizorbControl"));
    d->model = new ChartModel(d->container.get());
    d->model->setVersion(version);
    d->view = new ChartView(*d->model, d->container.get());
    auto* layout = new QHBoxLayout(d->container.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(d->view, 1);

    Private* p = d.get();
    auto mouseArgs = [](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position) {
        const std::int16_t code = button == Qt::LeftButton     ? 1
                                  : button == Qt::RightButton  ? 2
                                  : button == Qt::MiddleButton ? 4
                                                               : 0;
        const std::int32_t shift = (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
                                   (modifiers & Qt::AltModifier ? 4 : 0);
        // Twips, 15 a pixel, as the host measures everything on screen.
        return std::vector<Variant>{Variant(code), Variant(shift), Variant(float(position.x() * 15)),
                                    Variant(float(position.y() * 15))};
    };
    QObject::connect(d->view, &ChartView::mousePressed, d->container.get(),
                     [p, mouseArgs](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position) {
                         p->raiseEvent(event::MouseDown, mouseArgs(button, modifiers, position));
                     });
    QObject::connect(d->view, &ChartView::mouseReleased, d->container.get(),
                     [p, mouseArgs](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position) {
                         p->raiseEvent(event::MouseUp, mouseArgs(button, modifiers, position));
                         const ChartHit hit = p->view->hitTest(position);
                         p->raiseEvent(event::ObjectClicked, {Variant(hit.element), Variant(eventNumber(hit.series)),
                                                              Variant(eventNumber(hit.point))});
                     });
}

VizorbControl::~VizorbControl() = default;

QWidget* VizorbControl::widget()
{
    return d->container.get();
}

void VizorbControl::advise(platform::EventSink* sink)
{
    d->sink = sink;
}

void VizorbControl::setPrintDialogStep(PrintDialogStep step)
{
    d->printDialog = std::move(step);
}

ChartModel& VizorbControl::model()
{
    return *d->model;
}

ChartView& VizorbControl::view()
{
    return *d->view;
}

WizardPanel& VizorbControl::wizard()
{
    return *d->panel();
}

const QList<Entry>& VizorbControl::entries() const
{
    return d->entries;
}

Variant VizorbControl::invoke(platform::DispId id, InvokeKind kind, std::span<Variant> args)
{
    // The host traps only run-time errors: whatever else a member throws
    // (memory running out above all) is raised as one.
    try {
        return dispatch(id, kind, args);
    } catch (const platform::RuntimeError&) {
        throw;
    } catch (const std::bad_alloc&) {
        platform::raise(platform::err::OutOfMemory);
    } catch (const std::length_error&) {
        platform::raise(platform::err::OutOfMemory);
    } catch (const std::exception& error) {
        platform::raise(platform::err::OutOfMemory,
                        platform::standardErrorText(platform::err::OutOfMemory) +
                            QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(error.what())));
    }
}

Variant VizorbControl::dispatch(platform::DispId id, InvokeKind kind, std::span<Variant> args)
{
    using platform::requireArgs;
    using platform::requireArgsBetween;
    const bool put = kind == InvokeKind::PropertyPut;
    // A method answers Method and PropertyGet; a property PropertyGet and PropertyPut.
    auto method = [&] {
        if (put)
            platform::raise(platform::err::ObjectDoesntSupport);
    };
    auto property = [&](bool writable) {
        if (put && !writable)
            platform::raise(kPropertyIsReadOnly, QStringLiteral("Property is read-only"));
        if (kind == InvokeKind::Method)
            platform::raise(platform::err::ObjectDoesntSupport);
        requireArgs(args, put ? 1 : 0);
    };
    auto boolProperty = [&](bool& value) -> Variant {
        property(true);
        if (!put)
            return Variant(value);
        value = args[0].toBoolean();
        d->view->setModes(d->modes());
        return {};
    };

    switch (id) {
    case dispid::Language:
        property(true);
        if (!put)
            return Variant(d->language);
        {
            const QString code = args[0].toString().trimmed().toUpper();
            if (!d->panel()->setLanguage(code))
                platform::raise(platform::err::InvalidProcedureCall,
                                QStringLiteral("Language \"%1\" is not available (use EN or DE).").arg(quoted(code)));
            d->language = code;
        }
        return {};
    case dispid::Mode9:
        return boolProperty(d->mode9);
    case dispid::Mode11:
        return boolProperty(d->mode11);
    case dispid::Mode12:
        return boolProperty(d->mode12);
    case dispid::UpdateEnabled:
        property(true);
        if (!put)
            return Variant(!d->view->updatesHeld());
        d->view->setUpdatesHeld(!args[0].toBoolean());
        return {};
    case dispid::ChartPicture:
        property(false);
        // A hidden control has not laid out its chart yet.
        d->container->layout()->activate();
        return Variant(std::shared_ptr<platform::Object>(std::make_shared<platform::Picture>(d->view->renderImage())));
    case dispid::DataText:
        property(false);
        return Variant(dataText(d->model->data()));
    case dispid::SetAttribute: {
        method();
        requireArgs(args, 3);
        const QString path = args[0].toString(), attribute = args[1].toString(), value = args[2].toString();
        QString error;
        const bool done = d->model->setAttribute(path, attribute, value, &error);
        d->lastError = error;
        return Variant(done);
    }
    case dispid::GetAttribute: {
        method();
        requireArgs(args, 2);
        const QString path = args[0].toString(), attribute = args[1].toString();
        if (schema::canonicalAttribute(path, attribute).isEmpty()) {
            d->lastError = schema::canonicalPath(path).isEmpty()
                               ? QStringLiteral("Unknown element \"%1\".").arg(quoted(path))
                               : QStringLiteral("Unknown attribute \"%1\" of element \"%2\".")
                                     .arg(quoted(attribute), quoted(path));
            return Variant(QString());
        }
        return Variant(d->model->attribute(path, attribute));
    }
    case dispid::ResetWizard:
        method();
        requireArgs(args, 0);
        if (d->wizard) {
            d->wizard->reset();
            d->wizard->hide();
        }
        return {};
    case dispid::GoToWizardStep: {
        method();
        requireArgs(args, 1);
        const int step = d->panel()->goToStep(args[0].toInteger());
        d->wizard->show();
        return Variant(std::int16_t(step));
    }
    case dispid::FinishWizard:
        method();
        requireArgs(args, 0);
        if (d->wizard)
            d->wizard->hide();
        return {};
    case dispid::LoadDataXml:
        method();
        requireArgs(args, 1);
        return Variant(d->loadData(args[0].toString()));
    case dispid::GetDataXml:
        property(false);
        return Variant(writeDataXml(d->model->data()));
    case dispid::LoadCustomizingXml: {
        method();
        requireArgsBetween(args, 1, 2);
        const QString text = args[0].toString();
        const bool replace = args.size() < 2 || args[1].isEmpty() || args[1].toBoolean();
        return Variant(d->loadCustomizing(text, replace));
    }
    case dispid::GetCustomizingXml: {
        method();
        requireArgsBetween(args, 0, 1);
        CustomizingOutput output;
        output.complete = !args.empty() && !args[0].isEmpty() && args[0].toBoolean();
        output.nested = d->model->boolAttribute(element::Control, attribute::UseNewCustomizing);
        // Series elements beyond the last one the customizing can name would not read back.
        output.seriesElements = std::min(int(d->model->data().series.size()), schema::maxSeriesElements);
        return Variant(writeCustomizingXml(d->model->customizing(), output));
    }
    case dispid::LastErrorText:
        property(false);
        return Variant(d->lastError);
    case dispid::SetChartTypes:
        method();
        requireArgs(args, 1);
        d->model->restrictChartTypes(args[0].toString().split(QLatin1Char('|'), Qt::SkipEmptyParts));
        return {};
    case dispid::PrintChart:
        method();
        requireArgs(args, 0);
        d->print();
        return {};
    case dispid::TemplateFile:
        property(true);
        if (!put)
            return Variant(d->templateFile);
        d->setTemplateFile(args[0].toString());
        return {};
    case dispid::AddEntry: {
        method();
        requireArgs(args, 3);
        Entry entry{args[0].toString(), args[1].toString(), args[2].toString()};
        if (entry.name.isEmpty())
            platform::raise(platform::err::InvalidProcedureCall, QStringLiteral("An entry needs a name."));
        // One entry per folder and name: adding it again updates its tooltip.
        for (Entry& e : d->entries)
            if (e.folder == entry.folder && e.name == entry.name) {
                e.tooltip = entry.tooltip;
                return {};
            }
        d->entries << entry;
        return {};
    }
    default:
        platform::raise(platform::err::ObjectDoesntSupport);
    }
}

} // namespace vizorb
