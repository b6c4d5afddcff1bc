#pragma once

#include "platform/dispatch.h"
#include "platform/message_box.h"
#include "platform/runtime_error.h"

#include <QWidget>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

namespace fakes {

using platform::DispId;
using platform::InvokeKind;
using platform::Variant;

struct Call {
    DispId id;
    InvokeKind kind;
    std::vector<Variant> args;
    friend bool operator==(const Call&, const Call&) = default;
};

void PrintTo(const Call& call, std::ostream* os);

// A dispatch component that records every call and answers from a script.
// Unscripted calls answer Empty. Knows every identifier unless told which
// ones it knows (then the others raise 438, as a real component would).
class FakeDispatch : public platform::Control {
public:
    FakeDispatch();
    ~FakeDispatch() override;

    Variant invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;
    QWidget* widget() override { return m_widget.get(); }
    void advise(platform::EventSink* sink) override { m_sink = sink; }
    void loadDesignState(const QByteArray& state) override { m_designState = state; }
    const QByteArray& designState() const { return m_designState; }

    // The next call of `id` (any kind) answers `value`; queued answers are used in order.
    FakeDispatch& answer(DispId id, Variant value);
    // The next call of `id` raises this error.
    FakeDispatch& fail(DispId id, int number, const QString& description = {});
    // Every call of `id` without a queued answer answers `value`.
    FakeDispatch& answerAlways(DispId id, Variant value);
    // Only these identifiers are known; the others raise 438.
    void knowOnly(std::vector<DispId> ids) { m_known = std::move(ids); }

    // Raises an event; by-reference arguments come back as the handler left them.
    std::vector<Variant> raiseEvent(int index, std::vector<Variant> args);
    bool advised() const { return m_sink != nullptr; }

    const std::vector<Call>& calls() const { return m_calls; }
    std::vector<Call> callsOf(DispId id) const;
    void clearCalls() { m_calls.clear(); }

private:
    using Response = std::variant<Variant, platform::RuntimeError>;
    std::vector<Call> m_calls;
    std::map<DispId, std::deque<Response>> m_script;
    std::map<DispId, Variant> m_always;
    std::optional<std::vector<DispId>> m_known;
    platform::EventSink* m_sink = nullptr;
    QByteArray m_designState;
    std::unique_ptr<QWidget> m_widget;
};

// Message boxes that record their text instead of showing.
class FakeMessageBox final : public platform::MessageBoxService {
public:
    void show(const QString& text) override { m_shown.push_back(text); }
    const std::vector<QString>& shown() const { return m_shown; }
    void clear() { m_shown.clear(); }

private:
    std::vector<QString> m_shown;
};

} // namespace fakes
