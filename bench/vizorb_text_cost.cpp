// Drawing cost of names by their visible length: names of one letter and 995
// combining accents beside plain names of the same 996 characters.
//   pie_400       Pie, 400 categories (legend entries and slice labels)
//   lines_999     Lines, 999 series (legend names)
// Each time is LoadDataXml plus the first ChartPicture of 815 x 526, in process.
#include "vizorb/control.h"
#include "vizorb/dispids.h"

#include "platform/picture.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

using platform::Variant;
namespace id = vizorb::dispid;

constexpr int kMarks = 995;

// The i-th name: a letter and the accents, or as many plain letters.
QString name(int i, bool marks)
{
    const QChar base(u'A' + i % 26);
    return QString(base) + QString(kMarks, marks ? QChar(0x301) : QChar(u'x'));
}

QString pieData(bool marks)
{
    QString categories, values;
    for (int i = 0; i < 400; ++i) {
        categories += QStringLiteral("<Category>%1</Category>").arg(name(i, marks));
        values += QStringLiteral("%1;").arg(1 + i % 7);
    }
    values.chop(1);
    return QStringLiteral("<ChartData><Categories>%1</Categories><Series Name=\"S\">%2</Series></ChartData>")
        .arg(categories, values);
}

QString linesData(bool marks)
{
    QString series;
    for (int s = 0; s < 999; ++s)
        series += QStringLiteral("<Series Name=\"%1\">%2;%3</Series>").arg(name(s, marks)).arg(s % 5).arg(s % 3);
    return QStringLiteral("<ChartData>%1</ChartData>").arg(series);
}

void draw(benchmark::State& state, const char* type, const QString& data)
{
    for (auto _ : state) {
        vizorb::VizorbControl control(QStringLiteral("7.00"));
        control.widget()->resize(815, 526);
        control.call(id::SetAttribute, {Variant("GlobalSettings"), Variant("ChartType"), Variant(type)});
        const auto start = std::chrono::steady_clock::now();
        const bool loaded = control.get(id::LoadDataXml, {Variant(data)}).toBoolean();
        const QImage image = control.get(id::ChartPicture).toObjectOf<platform::Picture>()->image();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (!loaded || image.size() != QSize(815, 526))
            state.SkipWithError("no picture");
    }
}

void BM_Pie400(benchmark::State& state)
{
    const bool marks = state.range(0);
    state.SetLabel(marks ? "accents" : "plain");
    draw(state, "Pie", pieData(marks));
}

void BM_Lines999(benchmark::State& state)
{
    const bool marks = state.range(0);
    state.SetLabel(marks ? "accents" : "plain");
    draw(state, "Lines", linesData(marks));
}

} // namespace

BENCHMARK(BM_Pie400)->DenseRange(0, 1)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lines999)->DenseRange(0, 1)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
