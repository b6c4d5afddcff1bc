#pragma once

#include "platform/declared_functions.h"
#include "platform/registry.h"
#include "platform/runtime_error.h"
#include "platform/system_functions.h"
#include "shell/forms.h"
#include "tests/support/fake_program_starter.h"
#include "tests/support/fakes.h"

#include <QCoreApplication>
#include <QEvent>

#include <functional>
#include <optional>

namespace shelltest {

struct HelpCall {
    std::int32_t owner;
    QByteArray file;
    std::int32_t command;
    std::int32_t data;
    friend bool operator==(const HelpCall&, const HelpCall&) = default;
};

// The shell's world in a test: fake chart, message box and program starter,
// the declared functions over a test hive and a chosen logon user.
struct ShellFixture {
    explicit ShellFixture(const QByteArray& hive = {}, std::optional<QByteArray> user = QByteArray("tester"))
        : logonUser(std::move(user))
    {
        registry = std::make_shared<platform::Registry>(parseOrFail(hive));
        platform::defineRegistryFunctions(os, registry);
        // Every close is recorded, the one of handle 0 included.
        const auto close = os.bind<platform::os::RegCloseKey>("advapi32", "RegCloseKey");
        os.define("advapi32", "RegCloseKey", platform::os::RegCloseKey([this, close](std::int32_t key) {
                      closedKeys.push_back(key);
                      return close(key);
                  }));
        os.define("Mpr", "WNetGetUserA", platform::wnetGetUser([this] { return logonUser; }));
        os.define("kernel32", "lstrlenW", platform::os::lstrlenW(platform::stringLength16));
        os.define("hhctrl.ocx", "HtmlHelpA",
                  platform::os::HtmlHelpA(
                      [this](std::int32_t owner, const QByteArray& file, std::int32_t command, std::int32_t data) {
                          helpCalls.push_back({owner, file, command, data});
                          return 0;
                      }));
        services.messageBox = &messageBox;
        services.programStarter = &starter;
        services.osFunctions = &os;
        services.createChart = [this]() -> std::unique_ptr<platform::Control> {
            if (chartFails)
                platform::raise(platform::err::CantCreateObject);
            auto control = std::make_unique<fakes::FakeDispatch>();
            chart = control.get();
            return control;
        };
        services.screenSizeTwips = [this] { return screen; };
    }

    static platform::Hive parseOrFail(const QByteArray& text)
    {
        std::optional<platform::Hive> hive = platform::parseHive(text);
        if (!hive)
            throw std::runtime_error("bad test hive");
        return *hive;
    }

    static void processDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    std::optional<QByteArray> logonUser;
    std::shared_ptr<platform::Registry> registry;
    platform::OsFunctions os;
    std::vector<std::int32_t> closedKeys;
    std::vector<HelpCall> helpCalls;
    fakes::FakeMessageBox messageBox;
    fakes::FakeProgramStarter starter;
    fakes::FakeDispatch* chart = nullptr;
    bool chartFails = false;
    QSizeF screen{19200, 15360};
    platform::Services services;
    Forms forms{kPlotwright700, services};
};

} // namespace shelltest
