#pragma once

#include "dispatch.h"
#include "twips.h"

#include <functional>
#include <memory>
#include <optional>

namespace platform {

class MessageBoxService;

// The container's extender properties of a hosted control, in twips as Singles.
namespace extender {
inline constexpr DispId Left = static_cast<DispId>(0x80010003u);
inline constexpr DispId Top = static_cast<DispId>(0x80010004u);
inline constexpr DispId Width = static_cast<DispId>(0x80010005u);
inline constexpr DispId Height = static_cast<DispId>(0x80010006u);
} // namespace extender

// Hosts a control in a container window: the control's own members pass
// through; the extender properties are the site's and place the control's
// window. Events the control raises reach the handler through the guard.
class ControlSite final : public Dispatch, private EventSink {
public:
    using EventHandler = std::function<void(int index, std::span<Variant> args)>;

    ControlSite(std::unique_ptr<Control> control, QWidget* container, MessageBoxService& messageBox, float left,
                float top, float width, float height, const QByteArray& designState = {});
    ~ControlSite() override;

    Variant invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;

    void setEventHandler(EventHandler handler) { m_handler = std::move(handler); }

    const Placement& placement() const { return m_placement; }
    Control& control() const { return *m_control; }

private:
    void onEvent(int index, std::span<Variant> args) override;

    std::unique_ptr<Control> m_control;
    MessageBoxService& m_messageBox;
    Placement m_placement;
    EventHandler m_handler;
};

} // namespace platform
