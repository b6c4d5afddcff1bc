// The event log under a flood of events: a million ValueChanged events through
// the whole path (control site, guard, handler, line, list), with the list
// hidden and shown, and how quickly the window answers a click afterwards.
#include "main_window/chart_ids.h"
#include "main_window/event_list.h"
#include "main_window/plotwright.h"
#include "platform/message_box.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

using platform::Variant;

// A chart control that is only a window and a source of events.
class EventSource final : public platform::Control {
public:
    EventSource() : m_widget(std::make_unique<QWidget>()) {}
    Variant invoke(platform::DispId id, platform::InvokeKind, std::span<Variant>) override
    {
        return id == chart::GoToWizardStep ? Variant(std::int16_t(1)) : Variant();
    }
    QWidget* widget() override { return m_widget.get(); }
    void advise(platform::EventSink* sink) override { m_sink = sink; }
    platform::EventSink* sink() const { return m_sink; }

private:
    std::unique_ptr<QWidget> m_widget;
    platform::EventSink* m_sink = nullptr;
};

class CountingMessageBox final : public platform::MessageBoxService {
public:
    void show(const QString&) override { ++shown; }
    int shown = 0;
};

struct Window {
    Window()
    {
        services.messageBox = &messageBox;
        services.createChart = [this] {
            auto control = std::make_unique<EventSource>();
            source = control.get();
            return std::unique_ptr<platform::Control>(std::move(control));
        };
        window = std::make_unique<Plotwright>(kPlotwright700, services);
        window->load();
        list = window->findChild<EventList*>(QStringLiteral("ctrlEventList"));
    }

    // Finishes the wizard and shows the list, as ToggleEventList would.
    void showWithList()
    {
        window->findChild<QPushButton*>(QStringLiteral("cmdFinish"))->click();
        list->show();
        window->resize(window->size()); // lays the window out with the list
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
        QCoreApplication::processEvents();
    }

    void raiseValueChanged(int i)
    {
        Variant args[] = {Variant(QStringLiteral("Values")), Variant(std::int16_t(i % 7)),
                          Variant(std::int16_t(i % 1000)), Variant(std::int32_t(0)), Variant(1250.75 + i)};
        source->sink()->onEvent(chart::ValueChanged, args);
    }

    CountingMessageBox messageBox;
    platform::Services services;
    EventSource* source = nullptr;
    std::unique_ptr<Plotwright> window;
    EventList* list = nullptr;
};

double residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) : 0;
}

// Time until a click on the list has selected its line and the list has
// repainted: what a user waits for.
double clickMilliseconds(Window& w)
{
    QElapsedTimer timer;
    timer.start();
    const QModelIndex target = w.list->indexAt(QPoint(5, 5));
    QTest::mouseClick(w.list->viewport(), Qt::LeftButton, {}, w.list->visualRect(target).center());
    w.list->viewport()->repaint();
    QCoreApplication::processEvents();
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    if (w.list->listIndex() != target.row())
        return -1;
    return elapsed;
}

void appendMillion(benchmark::State& state, bool visible)
{
    constexpr int kEvents = 1'000'000;
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<Window>();
        if (visible)
            w->showWithList();
        const double before = residentBytes();
        state.ResumeTiming();

        QElapsedTimer phase;
        phase.start();
        for (int i = 0; i < kEvents; ++i)
            w->raiseValueChanged(i);
        const double appendMs = double(phase.nsecsElapsed()) / 1e6;
        QCoreApplication::processEvents(); // the view catches up once
        const double viewMs = double(phase.nsecsElapsed()) / 1e6 - appendMs;

        state.PauseTiming();
        if (w->messageBox.shown != 0 || w->list->listCount() != kEvents || w->list->listIndex() != kEvents - 1) {
            state.SkipWithError("lines missing or an error shown");
            break;
        }
        state.counters["events_per_s"] = benchmark::Counter(kEvents, benchmark::Counter::kIsRate);
        state.counters["append_ms"] = appendMs;
        state.counters["view_ms"] = viewMs;
        state.counters["rss_bytes_per_line"] = (residentBytes() - before) / kEvents;
        state.counters["store_bytes_per_line"] = double(w->list->bytesReserved()) / kEvents;
        if (!visible) {
            phase.restart();
            w->showWithList(); // the view meets a million lines at once
            state.counters["show_ms"] = double(phase.nsecsElapsed()) / 1e6;
        }
        state.counters["click_ms"] = clickMilliseconds(*w);
        w.reset();
        state.ResumeTiming();
    }
}

void BM_MillionValueChangedHidden(benchmark::State& state)
{
    appendMillion(state, false);
}
void BM_MillionValueChangedVisible(benchmark::State& state)
{
    appendMillion(state, true);
}

// Events arriving one per event-loop turn with the list on screen: the view
// inserts, selects and scrolls on every turn.
void BM_ValueChangedOnePerTurnVisible(benchmark::State& state)
{
    const int events = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<Window>();
        w->showWithList();
        state.ResumeTiming();
        for (int i = 0; i < events; ++i) {
            w->raiseValueChanged(i);
            QCoreApplication::processEvents();
        }
        state.PauseTiming();
        state.counters["events_per_s"] = benchmark::Counter(events, benchmark::Counter::kIsRate);
        w.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_MillionValueChangedHidden)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MillionValueChangedVisible)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ValueChangedOnePerTurnVisible)->Arg(20'000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
