#include "fakes.h"

#include <algorithm>
#include <ostream>

namespace fakes {

void PrintTo(const Call& call, std::ostream* os)
{
    static const char* kinds[] = {"Method", "PropertyGet", "PropertyPut"};
    *os << "{" << call.id << ", " << kinds[static_cast<int>(call.kind)] << ", (";
    for (std::size_t i = 0; i < call.args.size(); ++i) {
        if (i)
            *os << ", ";
        platform::PrintTo(call.args[i], os);
    }
    *os << ")}";
}

FakeDispatch::FakeDispatch() : m_widget(std::make_unique<QWidget>())
{
    m_widget->setObjectName("fakeControl");
}

FakeDispatch::~FakeDispatch() = default;

Variant FakeDispatch::invoke(DispId id, InvokeKind kind, std::span<Variant> args)
{
    if (m_known && std::find(m_known->begin(), m_known->end(), id) == m_known->end())
        platform::raise(platform::err::ObjectDoesntSupport);
    m_calls.push_back({id, kind, std::vector<Variant>(args.begin(), args.end())});
    auto queued = m_script.find(id);
    if (queued != m_script.end() && !queued->second.empty()) {
        Response response = std::move(queued->second.front());
        queued->second.pop_front();
        if (auto* error = std::get_if<platform::RuntimeError>(&response))
            throw *error;
        return std::get<Variant>(response);
    }
    auto always = m_always.find(id);
    return always != m_always.end() ? always->second : Variant();
}

FakeDispatch& FakeDispatch::answer(DispId id, Variant value)
{
    m_script[id].emplace_back(std::move(value));
    return *this;
}

FakeDispatch& FakeDispatch::fail(DispId id, int number, const QString& description)
{
    m_script[id].emplace_back(description.isEmpty() ? platform::RuntimeError(number)
                                                    : platform::RuntimeError(number, description));
    return *this;
}

FakeDispatch& FakeDispatch::answerAlways(DispId id, Variant value)
{
    m_always[id] = std::move(value);
    return *this;
}

std::vector<Variant> FakeDispatch::raiseEvent(int index, std::vector<Variant> args)
{
    if (m_sink)
        m_sink->onEvent(index, args);
    return args;
}

std::vector<Call> FakeDispatch::callsOf(DispId id) const
{
    std::vector<Call> result;
    std::copy_if(m_calls.begin(), m_calls.end(), std::back_inserter(result),
                 [id](const Call& c) { return c.id == id; });
    return result;
}

} // namespace fakes
