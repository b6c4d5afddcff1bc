#include "dispatch.h"

#include "runtime_error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace platform {

EventSink::~EventSink() = default;

Variant Dispatch::call(DispId id, std::vector<Variant> args)
{
    return invoke(id, InvokeKind::Method, args);
}

Variant Dispatch::get(DispId id, std::vector<Variant> args)
{
    return invoke(id, InvokeKind::PropertyGet, args);
}

void Dispatch::put(DispId id, Variant value)
{
    Variant args[] = {std::move(value)};
    invoke(id, InvokeKind::PropertyPut, args);
}

ControlFactory loadControlLibrary(const QString& fileName)
{
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(fileName);
    if (!QFileInfo::exists(path))
        raise(err::CantCreateObject,
              QStringLiteral("ActiveX component can't create object: the chart control %1 is missing").arg(path));
    // Never unloaded: objects and code of the control live as long as the program.
    auto* library = new QLibrary(path);
    auto create = reinterpret_cast<ControlFactoryFunction>(library->resolve(kControlFactorySymbol));
    if (!create) {
        const QString reason = library->errorString();
        delete library;
        raise(err::CantCreateObject,
              QStringLiteral("ActiveX component can't create object: %1 (%2)").arg(path, reason));
    }
    return [create, path]() {
        std::unique_ptr<Control> control(create());
        if (!control)
            raise(err::CantCreateObject,
                  QStringLiteral("ActiveX component can't create object: %1 made no control").arg(path));
        return control;
    };
}

void requireArgsBetween(std::span<Variant> args, std::size_t minimum, std::size_t maximum)
{
    if (args.size() < minimum)
        raise(err::ArgumentNotOptional);
    if (args.size() > maximum)
        raise(err::WrongNumberOfArguments);
}

void requireArgs(std::span<Variant> args, std::size_t count)
{
    requireArgsBetween(args, count, count);
}

} // namespace platform
