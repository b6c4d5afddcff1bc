#include "control_site.h"

#include "guard.h"
#include "runtime_error.h"

namespace platform {

ControlSite::ControlSite(std::unique_ptr<Control> control, QWidget* container, MessageBoxService& messageBox,
                         float left, float top, float width, float height, const QByteArray& designState)
    : m_control(std::move(control)), m_messageBox(messageBox),
      m_placement((m_control->widget()->setParent(container), m_control->widget()), left, top, width, height)
{
    m_control->loadDesignState(designState);
    m_control->widget()->show();
    m_control->advise(this);
}

ControlSite::~ControlSite()
{
    m_control->advise(nullptr);
}

Variant ControlSite::invoke(DispId id, InvokeKind kind, std::span<Variant> args)
{
    using Setter = void (Placement::*)(float);
    using Getter = float (Placement::*)() const;
    Setter setter = nullptr;
    Getter getter = nullptr;
    switch (id) {
    case extender::Left:
        setter = &Placement::setLeft;
        getter = &Placement::left;
        break;
    case extender::Top:
        setter = &Placement::setTop;
        getter = &Placement::top;
        break;
    case extender::Width:
        setter = &Placement::setWidth;
        getter = &Placement::width;
        break;
    case extender::Height:
        setter = &Placement::setHeight;
        getter = &Placement::height;
        break;
    default:
        return m_control->invoke(id, kind, args);
    }
    if (kind == InvokeKind::PropertyPut) {
        requireArgs(args, 1);
        (m_placement.*setter)(args[0].toSingle());
        return {};
    }
    requireArgs(args, 0);
    return (m_placement.*getter)();
}

void ControlSite::onEvent(int index, std::span<Variant> args)
{
    if (m_handler)
        runGuarded(m_messageBox, [&] { m_handler(index, args); });
}

} // namespace platform
