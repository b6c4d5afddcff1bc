#include "vizorb/dispids.h"

#include "platform/dispatch.h"
#include "platform/runtime_error.h"

#include <gtest/gtest.h>

namespace {

using platform::Variant;

TEST(ControlLibraries, EachReleaseReportsItsOwnVersion)
{
    for (const auto& [file, version] : {std::pair{"vizorbd.so", "7.00"}, std::pair{"vizorb.so", "6.40"}}) {
        const platform::ControlFactory create = platform::loadControlLibrary(QLatin1String(file));
        std::unique_ptr<platform::Control> control = create();
        ASSERT_NE(control->widget(), nullptr);
        EXPECT_EQ(control->get(vizorb::dispid::GetAttribute, {Variant("Control"), Variant("Version")}),
                  Variant(version))
            << file;
    }
}

TEST(ControlLibraries, AMissingFileIsAClearErrorAtCreation)
{
    try {
        platform::loadControlLibrary(QStringLiteral("vizorb-missing.so"));
        FAIL() << "no error";
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.number(), platform::err::CantCreateObject);
        EXPECT_TRUE(e.description().contains(QLatin1String("vizorb-missing.so")));
    }
}

} // namespace
