// The chart's drawing: the input up to its first NUL byte is chart data XML,
// the rest, if any, customizing XML. Whatever loads is drawn at a small size,
// so data that would hang the chart or exhaust memory becomes a finding under
// the time limit in vizorb_render.args. A short input is drawn as every chart
// type; a longer one, where the cost lies, as one type chosen by its bytes, so
// that each run stays short and the fuzzer tries many inputs.
#include "vizorb/chart/chart_view.h"
#include "vizorb/model/chart_model.h"
#include "vizorb/xml/customizing_xml.h"
#include "vizorb/xml/data_xml.h"
#include "vizorb/xml/xml_text.h"

#include <QApplication>

#include <cstdint>
#include <cstdlib>

constexpr std::size_t kDrawnAsEveryType = 2048;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_vizorb_render";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    Q_UNUSED(app);

    const QByteArray input(reinterpret_cast<const char*>(bytes), qsizetype(size));
    const qsizetype split = input.indexOf('\0');
    QString decoded, error;
    vizorb::ChartData data;
    if (!vizorb::decodeXmlText(QString::fromLatin1(split < 0 ? input : input.left(split)), &decoded, &error) ||
        !vizorb::readDataXml(decoded, &data, &error))
        return 0;
    vizorb::ChartModel model;
    if (split >= 0) {
        vizorb::Customizing customizing = model.customizing();
        if (vizorb::decodeXmlText(QString::fromLatin1(input.mid(split + 1)), &decoded, &error) &&
            vizorb::readCustomizingXml(decoded, &customizing, &error))
            model.setCustomizing(customizing);
    }
    model.setData(std::move(data));
    vizorb::ChartView view(model);
    // The display modes from the input's length, so every one is reached.
    view.setModes({size % 2 == 1, size % 4 >= 2, size % 8 >= 4});
    const QSize small(240, 160);
    view.resize(small);
    QStringList types = vizorb::schema::chartTypes();
    if (size > kDrawnAsEveryType)
        types = {types.at(qsizetype(qHash(input) % std::size_t(types.size())))};
    for (const QString& type : std::as_const(types)) {
        model.setAttribute(QStringLiteral("GlobalSettings"), QStringLiteral("ChartType"), type);
        if (view.renderImage(small).size() != small)
            std::abort();
        view.hitTest(QPointF(small.width() / 2.0, small.height() / 2.0));
    }
    return 0;
}
