#include "main_window/plotwright.h"
#include "shell/splash_screen.h"
#include "shell_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

class SplashScreenTestAccess {
public:
    static QLabel& LabelUser(SplashScreen& s) { return *s.LabelUser; }
    static QLabel& LabelTool(SplashScreen& s) { return *s.LabelTool; }
    static QLabel& LabelReleaseVersion(SplashScreen& s) { return *s.LabelReleaseVersion; }
};

namespace {

using Access = SplashScreenTestAccess;
using shelltest::ShellFixture;

QList<QWidget*> visibleWindows()
{
    QList<QWidget*> result;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            result.append(widget);
    }
    return result;
}

TEST(SplashScreen, PlacesItselfAtFortyFivePercentOfTheScreenUnclampedInHalfTwips)
{
    struct Case {
        QSizeF screen;
        float left;
        float top;
    };
    const Case cases[] = {
        {{19200, 15360}, 5842.5f, 4354.5f},  // 1280 x 1024 pixels
        {{12000, 9000}, 2242.5f, 1492.5f},   // 800 x 600
        {{15361, 15361}, 3923.0f, 4354.95f}, // one rounding to single, at the end
        {{6000, 5000}, -757.5f, -307.5f},    // smaller than the window: off the screen
    };
    for (const Case& c : cases) {
        ShellFixture f;
        f.screen = c.screen;
        QPointer<SplashScreen> splash = new SplashScreen(f.forms, f.services);
        splash->load();
        ASSERT_TRUE(splash);
        EXPECT_EQ(splash->Left(), c.left) << c.screen.width();
        EXPECT_EQ(splash->Top(), c.top) << c.screen.height();
        EXPECT_EQ(splash->pos(), QPoint(platform::twipsToPixels(c.left), platform::twipsToPixels(c.top)));
        EXPECT_EQ(splash->size(), QSize(501, 341));
        ShellFixture::processDeletes();
    }
}

TEST(SplashScreen, StartUpShowsTheUserThenLeavesTheMainWindowAlone)
{
    for (const auto& user : {std::optional<QByteArray>("ann"), std::optional<QByteArray>(),
                             std::optional<QByteArray>("<b>ann</b> &amp;")}) {
        ShellFixture f({}, user);
        QPointer<SplashScreen> splash = new SplashScreen(f.forms, f.services);
        EXPECT_EQ(Access::LabelUser(*splash).textFormat(), Qt::PlainText);
        QString nameWhenMainLoads;
        bool drawnWhenMainLoads = false;
        // The name is in place and the splash on screen before the main window starts loading.
        f.services.createChart = [&, create = f.services.createChart] {
            nameWhenMainLoads = Access::LabelUser(*splash).text();
            drawnWhenMainLoads = splash->isVisible() && splash->windowHandle()->isExposed();
            return create();
        };
        splash->load();
        EXPECT_EQ(nameWhenMainLoads, user ? QString::fromLatin1(*user) : QString());
        EXPECT_TRUE(drawnWhenMainLoads);
        ASSERT_TRUE(f.forms.plotwrightLoaded());
        ShellFixture::processDeletes();
        EXPECT_FALSE(splash);
        EXPECT_EQ(visibleWindows(), QList<QWidget*>{&f.forms.plotwright()});
        EXPECT_TRUE(f.messageBox.shown().empty());
    }
}

TEST(SplashScreen, AFailedMainWindowLoadStopsTheSequenceAndReachesTheCaller)
{
    ShellFixture f;
    f.chartFails = true;
    QPointer<SplashScreen> splash = new SplashScreen(f.forms, f.services);
    try {
        splash->load();
        ADD_FAILURE() << "no error";
    } catch (const platform::RuntimeError& error) {
        EXPECT_EQ(error.number(), platform::err::CantCreateObject);
    }
    ShellFixture::processDeletes();
    EXPECT_TRUE(splash); // not unloaded: the sequence stopped
    EXPECT_FALSE(f.forms.plotwrightLoaded());
    delete splash.data();
}

TEST(SplashScreen, OnlyKeysThatProduceACharacterCloseIt)
{
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool closes;
    };
    const Case cases[] = {
        {Qt::Key_A, Qt::NoModifier, true},      {Qt::Key_5, Qt::NoModifier, true},
        {Qt::Key_Space, Qt::NoModifier, true},  {Qt::Key_Return, Qt::NoModifier, true},
        {Qt::Key_Escape, Qt::NoModifier, true}, {Qt::Key_Backspace, Qt::NoModifier, true},
        {Qt::Key_Left, Qt::NoModifier, false},  {Qt::Key_Down, Qt::NoModifier, false},
        {Qt::Key_F1, Qt::NoModifier, false},    {Qt::Key_Shift, Qt::ShiftModifier, false},
    };
    for (const Case& c : cases) {
        ShellFixture f;
        QPointer<SplashScreen> splash = new SplashScreen(f.forms, f.services);
        splash->show();
        QTest::keyClick(splash.data(), c.key, c.modifiers);
        ShellFixture::processDeletes();
        EXPECT_EQ(splash.isNull(), c.closes) << QKeySequence(c.key).toString().toStdString();
        delete splash.data();
    }
}

TEST(SplashScreen, PictureLabelsAndFonts)
{
    ShellFixture f;
    SplashScreen splash(f.forms, f.services);
    // Arial, or a face with its metrics where it is missing.
    const QString family = QFontInfo(Access::LabelUser(splash).font()).family();
    EXPECT_TRUE(QStringList({"Arial", "Liberation Sans"}).contains(family)) << family.toStdString();
    EXPECT_TRUE(Access::LabelReleaseVersion(splash).isHidden());

    // The picture is drawn unscaled from the top-left; its last column shows the
    // window colour, and the tool's label covers its rectangle with white.
    const QImage shot = splash.grab().toImage();
    EXPECT_EQ(shot.size(), QSize(501, 341));
    EXPECT_EQ(shot.pixelColor(500, 100), splash.palette().color(QPalette::Base));
    EXPECT_NE(shot.pixelColor(499, 335), splash.palette().color(QPalette::Base));
    EXPECT_EQ(shot.pixelColor(Access::LabelTool(splash).geometry().bottomRight() - QPoint(1, 1)), QColor(Qt::white));
}

} // namespace
