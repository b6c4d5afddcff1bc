#pragma once

#include "variant.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

namespace platform {

using DispId = std::int32_t;

enum class InvokeKind { Method, PropertyGet, PropertyPut };

// A component reached by dispatch identifier, as the program's hosted
// controls are. A member that is a method answers both Method and
// PropertyGet (a call whose result is wanted); a property answers
// PropertyGet and PropertyPut. An unknown identifier raises 438.
class Dispatch : public Object {
public:
    // `args` in their listed order; a by-reference argument is one the callee may write.
    virtual Variant invoke(DispId id, InvokeKind kind, std::span<Variant> args) = 0;

    // Conveniences over invoke(), all by value.
    Variant call(DispId id, std::vector<Variant> args = {});
    Variant get(DispId id, std::vector<Variant> args = {});
    void put(DispId id, Variant value);
};

// Receives a control's events by index, arguments in their listed order.
// Arguments passed by reference are ones the handler may write.
class EventSink {
public:
    virtual ~EventSink();
    virtual void onEvent(int index, std::span<Variant> args) = 0;
};

// A hosted control: a dispatch component with a window of its own.
class Control : public Dispatch {
public:
    // The control's window; the control owns it and deletes it with itself.
    // The host reparents it into its container.
    virtual QWidget* widget() = 0;
    // Where events go from now on; nullptr stops them.
    virtual void advise(EventSink* sink) = 0;
    // The state its host stored for it at design time, handed over once when
    // the host creates it. A control that keeps none ignores it.
    virtual void loadDesignState(const QByteArray& state) { Q_UNUSED(state); }
};

using ControlFactory = std::function<std::unique_ptr<Control>()>;
using DispatchFactory = std::function<std::unique_ptr<Dispatch>()>;

// The factory a control library exports under this name, with C linkage:
//   extern "C" platform::Control* plotwrightCreateControl();
// The caller owns the returned control.
inline constexpr const char* kControlFactorySymbol = "plotwrightCreateControl";
using ControlFactoryFunction = Control* (*)();

// Loads a control library from the program's own folder and returns its
// factory. A missing or broken file raises 429 with the reason.
ControlFactory loadControlLibrary(const QString& fileName);

// Checks a dispatch call's arguments the way the runtime does: a missing
// one raises 449, too many 450. (Converting each one raises 13 for the wrong kind.)
void requireArgs(std::span<Variant> args, std::size_t count);
void requireArgsBetween(std::span<Variant> args, std::size_t minimum, std::size_t maximum);

} // namespace platform
