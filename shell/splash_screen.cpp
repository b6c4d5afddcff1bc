#include "splash_screen.h"

#include "forms.h"
#include "main_window/plotwright.h"
#include "platform/guard.h"
#include "platform/twips.h"
#include "winapi.h"

#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QWindow>

namespace {
constexpr float kWidth = 7515;
constexpr float kHeight = 5115;
constexpr int kExposeWaitMs = 1000;

// Ends an event loop once a window is exposed.
class ExposeWatch final : public QObject {
public:
    ExposeWatch(QWindow* window, QEventLoop* loop) : m_window(window), m_loop(loop)
    {
        window->installEventFilter(this);
    }
    ~ExposeWatch() override { m_window->removeEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && m_window->isExposed())
            m_loop->quit();
        return false;
    }

private:
    QWindow* m_window;
    QEventLoop* m_loop;
};

QFont arial(double points, QFont::Weight weight)
{
    QFont font;
    // Liberation Sans has Arial's metrics, so the labels keep their layout where Arial is missing.
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, float left, float top, float width,
                  float height, const QFont& font, QColor colour)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    // The user name is the system's, not ours: shown as it is.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setFocusPolicy(Qt::NoFocus);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    platform::Placement(label, left, top, width, height);
    return label;
}
} // namespace

// Outside any namespace, as Q_INIT_RESOURCE declares the resource's initialiser.
static QPixmap splashPicture()
{
    // The library is static: its resources register only when asked to.
    Q_INIT_RESOURCE(shell);
    return QPixmap(QStringLiteral(":/shell/splash.png"));
}

SplashScreen::SplashScreen(Forms& forms, platform::Services& services)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), m_forms(forms), m_services(services),
      m_picture(splashPicture())
{
    setObjectName(QStringLiteral("SplashScreen"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(platform::twipsToPixels(kWidth), platform::twipsToPixels(kHeight));

    LabelTool = makeLabel(this, "LabelTool", QStringLiteral("Plotwright Lab"), 240, 3720, 4455, 495,
                          arial(18, QFont::Bold), QColor(255, 153, 0));
    LabelTool->setAutoFillBackground(true);
    QPalette toolPalette = LabelTool->palette();
    toolPalette.setColor(QPalette::Window, Qt::white);
    LabelTool->setPalette(toolPalette);

    // Replaced by the logon user's name before the window is first shown.
    LabelUser = makeLabel(this, "LabelUser", QStringLiteral("User"), 240, 240, 3615, 255, arial(8.25, QFont::Normal),
                          QColor(102, 102, 102));
    LabelReleaseVersion =
        makeLabel(this, "LabelReleaseVersion", QStringLiteral("Release 6.40 \u2022 Version 6400.0.0.1101"), 240, 4200,
                  3615, 255, arial(8.25, QFont::Normal), QColor(102, 102, 102));
    LabelReleaseVersion->hide();
}

SplashScreen::~SplashScreen() = default;

float SplashScreen::Width() const
{
    return kWidth;
}

float SplashScreen::Height() const
{
    return kHeight;
}

void SplashScreen::load()
{
    Form_Load();
}

void SplashScreen::setLeft(float value)
{
    m_left = value;
    move(platform::twipsToPixels(m_left), platform::twipsToPixels(m_top));
}

void SplashScreen::setTop(float value)
{
    m_top = value;
    move(platform::twipsToPixels(m_left), platform::twipsToPixels(m_top));
}

void SplashScreen::Form_Load()
{
    // Double products rounded once to single: the window's centre lies at 45 % of the screen height.
    const QSizeF screen = m_services.screenSizeTwips();
    const float screenHeight = static_cast<float>(screen.height());
    const float screenWidth = static_cast<float>(screen.width());
    setTop(static_cast<float>(static_cast<double>(screenHeight) * 0.9 / 2.0 - static_cast<double>(Height()) / 2.0));
    setLeft(static_cast<float>(static_cast<double>(screenWidth) / 2.0 - static_cast<double>(Width()) / 2.0));
    LabelUser->setText(WinAPI::GetLogonUserName(*m_services.osFunctions));
    show();
    paintNow();
    Plotwright& main = m_forms.plotwright();
    main.show();
    unload();
}

void SplashScreen::paintNow()
{
    // A window manager maps a new window a moment after show(): until then
    // there is nothing to paint on. Wait for that (briefly, without taking
    // user input) so the picture is on screen before the long main-window load.
    QWindow* window = windowHandle();
    if (window && !window->isExposed()) {
        QEventLoop loop;
        ExposeWatch watch(window, &loop);
        QTimer::singleShot(kExposeWaitMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    repaint();
}

void SplashScreen::Form_KeyPress(std::int16_t&)
{
    unload();
}

void SplashScreen::CloseSplash()
{
    unload();
}

void SplashScreen::unload()
{
    close();
}

void SplashScreen::keyPressEvent(QKeyEvent* event)
{
    // Only keys that produce a character reach Form_KeyPress; arrows, function keys and Shift do not.
    if (event->text().isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    std::int16_t KeyAscii = static_cast<std::int16_t>(event->text().at(0).unicode());
    platform::runGuarded(*m_services.messageBox, [&] { Form_KeyPress(KeyAscii); });
}

void SplashScreen::paintEvent(QPaintEvent*)
{
    // The picture is drawn unscaled; its missing right-hand column shows the window colour.
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.drawPixmap(0, 0, m_picture);
}
