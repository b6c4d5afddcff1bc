#include "guard.h"

#include "message_box.h"
#include "runtime_error.h"

#include <new>

namespace platform {

QString untrappedErrorText(const RuntimeError& error)
{
    return QStringLiteral("Run-time error '%1':\n\n%2").arg(error.number()).arg(error.description());
}

bool runGuarded(MessageBoxService& messageBox, const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const RuntimeError& error) {
        messageBox.show(untrappedErrorText(error));
    } catch (const std::bad_alloc&) {
        messageBox.show(untrappedErrorText(RuntimeError(err::OutOfMemory)));
    } catch (const std::exception& error) {
        messageBox.show(untrappedErrorText(RuntimeError(err::InternalError, QString::fromLocal8Bit(error.what()))));
    }
    return false;
}

} // namespace platform
