#include "platform/codepage.h"
#include "platform/control_site.h"
#include "platform/guard.h"
#include "platform/runtime_error.h"
#include "platform/twips.h"
#include "tests/support/fakes.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(RuntimeErrors, NumbersCarryTheRuntimeTexts)
{
    const std::pair<int, const char*> rows[] = {
        {5, "Invalid procedure call or argument"},
        {6, "Overflow"},
        {13, "Type mismatch"},
        {48, "Error in loading DLL"},
        {53, "File not found"},
        {75, "Path/File access error"},
        {429, "ActiveX component can't create object"},
        {438, "Object doesn't support this property or method"},
        {449, "Argument not optional"},
        {453, "Can't find DLL entry point"},
        {32755, "Cancel was selected."},
    };
    for (auto [number, text] : rows) {
        platform::RuntimeError error(number);
        EXPECT_EQ(error.number(), number);
        EXPECT_EQ(error.description(), text);
    }
    EXPECT_EQ(platform::RuntimeError(429, "no control").description(), "no control");
}

TEST(HandlerGuard, ShowsOneMessageAndTheProgramGoesOn)
{
    fakes::FakeMessageBox box;
    int after = 0;
    EXPECT_FALSE(platform::runGuarded(box, [&] {
        platform::raise(platform::err::TypeMismatch);
        ++after;
    }));
    EXPECT_EQ(after, 0);
    ASSERT_EQ(box.shown().size(), 1u);
    EXPECT_EQ(box.shown()[0], "Run-time error '13':\n\nType mismatch");

    EXPECT_TRUE(platform::runGuarded(box, [&] { ++after; }));
    EXPECT_EQ(after, 1);
    EXPECT_EQ(box.shown().size(), 1u);

    EXPECT_FALSE(platform::runGuarded(box, [] { throw std::bad_alloc(); }));
    EXPECT_EQ(box.shown().back(), "Run-time error '7':\n\nOut of memory");
}

TEST(CodePage, EveryByteRoundTripsAndWideCharactersFail)
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(static_cast<char>(i));
    const QString text = platform::fromCodePage(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(platform::toCodePage(text), all);
    EXPECT_EQ(platform::toCodePage(QString::fromUtf8("\xC3\xA4\xE2\x82\xAC")), std::nullopt); // ä€
    EXPECT_EQ(platform::toCodePage(QString()), QByteArray());
}

TEST(Placement, KeepsSingleTwipsAndRefusesNegativeSizes)
{
    QWidget parent;
    QWidget child(&parent);
    platform::Placement placement(&child, 0, 0, 100, 100);
    placement.setTop(7890 * 0.9);
    EXPECT_EQ(placement.top(), static_cast<float>(7890 * 0.9));
    placement.setLeft(-15);
    EXPECT_EQ(child.geometry().left(), -1);
    placement.setWidth(12225);
    EXPECT_EQ(child.geometry().width(), 815);
    try {
        placement.setHeight(-425);
        FAIL() << "a negative height was taken";
    } catch (const platform::RuntimeError& error) {
        EXPECT_EQ(error.number(), platform::err::InvalidPropertyValue);
    }
    EXPECT_EQ(placement.height(), 100);
}

TEST(ControlSite, ExtenderPropertiesAreTheSitesAndEventsAreGuarded)
{
    QWidget container;
    fakes::FakeMessageBox box;
    auto owned = std::make_unique<fakes::FakeDispatch>();
    fakes::FakeDispatch* fake = owned.get();
    platform::ControlSite site(std::move(owned), &container, box, 120, 120, 12015, 7095);
    EXPECT_EQ(fake->widget()->parentWidget(), &container);
    EXPECT_TRUE(fake->advised());

    site.put(platform::extender::Height, 7465.0f);
    EXPECT_EQ(site.get(platform::extender::Height).toSingle(), 7465.0f);
    EXPECT_TRUE(fake->calls().empty());

    site.call(22, {platform::Variant("<data/>")});
    ASSERT_EQ(fake->calls().size(), 1u);
    EXPECT_EQ(fake->calls()[0].id, 22);

    int seen = -1;
    site.setEventHandler([&](int index, std::span<platform::Variant>) {
        seen = index;
        platform::raise(platform::err::Overflow);
    });
    fake->raiseEvent(12, {platform::Variant("Legend")});
    EXPECT_EQ(seen, 12);
    ASSERT_EQ(box.shown().size(), 1u);
    EXPECT_EQ(box.shown()[0], "Run-time error '6':\n\nOverflow");
}

TEST(ControlLibrary, AMissingFileIsError429)
{
    try {
        platform::loadControlLibrary("no-such-control.so");
        FAIL();
    } catch (const platform::RuntimeError& error) {
        EXPECT_EQ(error.number(), platform::err::CantCreateObject);
        EXPECT_TRUE(error.description().contains("no-such-control.so"));
    }
}

} // namespace
