#pragma once

#include "platform/program_starter.h"
#include "platform/runtime_error.h"

#include <QStringList>

#include <optional>

namespace fakes {

// Records each command line instead of starting it; fails with `failWith` when set.
class FakeProgramStarter final : public platform::ProgramStarter {
public:
    std::int32_t start(const QString& commandLine, int windowStyle) override
    {
        started.append(commandLine);
        styles.append(windowStyle);
        if (failWith)
            platform::raise(*failWith);
        return 1234;
    }
    QStringList started;
    QList<int> styles;
    std::optional<int> failWith;
};

} // namespace fakes
