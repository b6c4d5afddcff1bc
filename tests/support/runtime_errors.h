#pragma once

#include "platform/runtime_error.h"

#include <functional>

namespace fakes {

// The number of the run-time error the operation raised; 0 when it raised none.
inline int runtimeErrorOf(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const platform::RuntimeError& error) {
        return error.number();
    }
    return 0;
}

} // namespace fakes
