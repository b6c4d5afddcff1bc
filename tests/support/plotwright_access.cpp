#include "plotwright_access.h"

#include "main_window/chart_ids.h"

namespace fakes {

WindowFixture::WindowFixture(const Deliverable& deliverable)
{
    services.messageBox = &messageBox;
    services.createChart = [this] {
        auto control = std::make_unique<FakeDispatch>();
        chart = control.get();
        return std::unique_ptr<platform::Control>(std::move(control));
    };
    services.createCommonDialog = [this] {
        auto control = std::make_unique<FakeDispatch>();
        dialog = control.get();
        return std::unique_ptr<platform::Dispatch>(std::move(control));
    };
    window = std::make_unique<Plotwright>(deliverable, services);
}

WindowFixture::~WindowFixture() = default;

void WindowFixture::loadWindow()
{
    chart->answer(chart::GoToWizardStep, Variant(std::int16_t(1)));
    window->load();
    chart->clearCalls();
}

} // namespace fakes
