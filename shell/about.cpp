#include "about.h"

#include "main_window/program_icon.h"
#include "platform/codepage.h"
#include "platform/declared_functions.h"
#include "platform/file_search.h"
#include "platform/guard.h"
#include "platform/message_box.h"
#include "platform/program_starter.h"
#include "platform/registry.h"
#include "platform/runtime_error.h"
#include "platform/twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {
constexpr float kInnerWidth = 4770;
constexpr float kInnerHeight = 1560;
constexpr float kInnerLeft = 2340;
constexpr float kInnerTop = 1935;
// Icons are drawn at the system's standard icon size, which the icon box takes on.
constexpr int kIconPixels = 32;

const QString kSysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kSysInfoValue = QStringLiteral("PATH");
const QString kSysInfoLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kSysInfoLocationValue = QStringLiteral("MSINFO");
const QString kSysInfoFile = QStringLiteral("\\MSINFO32.EXE");
const QString kSysInfoUnavailable = QStringLiteral("System Information Is Unavailable At This Time");
constexpr std::int32_t kBufferSize = 1024;

QLabel* makeLabel(QWidget* parent, const char* name, const char* text, float left, float top, float width, float height)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    // Title, version and copyright come from outside this window: shown as they are.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setFocusPolicy(Qt::NoFocus);
    platform::Placement(label, left, top, width, height);
    return label;
}

void setTextColour(QLabel* label, QColor colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}
} // namespace

About::About(const Deliverable& deliverable, platform::Services& services)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      m_services(services)
{
    setObjectName(QStringLiteral("About"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About MyApp"));
    setWindowIcon(programIcon());
    setGeometry(platform::twipsToPixels(kInnerLeft), platform::twipsToPixels(kInnerTop),
                platform::twipsToPixels(kInnerWidth), platform::twipsToPixels(kInnerHeight));
    setFixedSize(size());

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    platform::Placement(cmdOK, 3360, 240, 1260, 345);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    platform::Placement(picIcon, 240, 240, deliverable.aboutIconTwips, deliverable.aboutIconTwips);
    // The box sizes itself to its picture.
    picIcon->setPixmap(programIcon().pixmap(kIconPixels, kIconPixels));
    picIcon->resize(kIconPixels, kIconPixels);

    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    platform::Placement(cmdSysInfo, 3360, 1080, 1245, 345);

    lblTitle = makeLabel(this, "lblTitle", "Application Title", 1080, 240, 2205, 360);
    setTextColour(lblTitle, Qt::black);
    lblVersion = makeLabel(this, "lblVersion", "Control Version", 1080, 720, 2205, 360);
    // Reaches below the inner area; its lowest part is cut off.
    lblCopyright = makeLabel(this, "lblCopyright", "App Copyright", 1080, 1200, 2085, 450);
    setTextColour(lblCopyright, Qt::black);

    QWidget::setTabOrder(cmdOK, cmdSysInfo);
    connect(cmdOK, &QPushButton::clicked, this, [this] { guarded([this] { cmdOK_Click(); }); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { guarded([this] { cmdSysInfo_Click(); }); });
}

About::~About() = default;

void About::guarded(const std::function<void()>& handler)
{
    platform::runGuarded(*m_services.messageBox, handler);
}

void About::showModeless()
{
    show();
    raise();
    activateWindow();
}

bool About::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        guarded([this] { Form_Activate(); });
    return QDialog::event(event);
}

void About::reject()
{
    // Esc is the cancel key of the OK button.
    guarded([this] { cmdOK_Click(); });
}

void About::closeEvent(QCloseEvent* event)
{
    // The close box unloads the window without a handler of its own; QDialog's
    // closeEvent would send it through reject(), that is cmdOK_Click.
    QWidget::closeEvent(event);
}

void About::Form_Activate()
{
    setWindowTitle(QStringLiteral("About ") + Title);
    lblVersion->setText(QStringLiteral("Control Version ") + Version);
    lblTitle->setText(Title);
    lblCopyright->setText(Copyright);
}

void About::cmdOK_Click()
{
    close();
}

void About::cmdSysInfo_Click()
{
    StartSysInfo();
}

void About::StartSysInfo()
{
    try {
        QString Path;
        const std::int32_t root = platform::reg::HKEY_LOCAL_MACHINE;
        // A path from the first value is started as read, without looking for the file.
        bool found = GetKeyValue(root, kSysInfoKey, kSysInfoValue, Path);
        if (!found && GetKeyValue(root, kSysInfoLocationKey, kSysInfoLocationValue, Path) &&
            !platform::findFirstFile(Path + kSysInfoFile).isEmpty()) {
            Path += kSysInfoFile;
            found = true;
        }
        if (found) {
            // Unquoted and unchanged; the task identifier is of no use here.
            m_services.programStarter->start(Path, platform::kNormalFocus);
            return;
        }
    } catch (const platform::RuntimeError&) {
    }
    m_services.messageBox->show(kSysInfoUnavailable);
}

bool About::GetKeyValue(const std::int32_t& KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal)
{
    namespace os = platform::os;
    const platform::OsFunctions& functions = *m_services.osFunctions;
    const QString advapi32 = QStringLiteral("advapi32");

    std::int32_t hKey = 0;
    const auto& RegOpenKeyExA = functions.bind<os::RegOpenKeyExA>(advapi32, QStringLiteral("RegOpenKeyExA"));
    // Read access only: the lookup must not need rights to change the key.
    std::int32_t status = RegOpenKeyExA(KeyRoot, platform::toDeclaredText(KeyName), 0, platform::reg::KEY_READ, hKey);
    auto closeKey = [&] { functions.bind<os::RegCloseKey>(advapi32, QStringLiteral("RegCloseKey"))(hKey); };
    if (status == 0) {
        const QString tmpVal(kBufferSize, QChar(u'\0'));
        QByteArray buffer = platform::toDeclaredText(tmpVal);
        std::int32_t KeyValSize = kBufferSize;
        std::int32_t KeyValType = 0;
        const auto& RegQueryValueExA =
            functions.bind<os::RegQueryValueExA>(advapi32, QStringLiteral("RegQueryValueExA"));
        status = RegQueryValueExA(hKey, platform::toDeclaredText(SubKeyRef), 0, KeyValType, buffer, KeyValSize);
        if (status == 0) {
            const QString data = platform::fromCodePage(buffer);
            if (KeyValSize <= 0 || KeyValSize > data.size()) {
                // No data leaves no last character to test. The key is closed before the error goes on.
                closeKey();
                platform::raise(platform::err::InvalidProcedureCall);
            }
            // A string stored with its NUL loses exactly that one character.
            const QString value =
                data.at(KeyValSize - 1) == QChar(u'\0') ? data.left(KeyValSize - 1) : data.left(KeyValSize);
            switch (KeyValType) {
            case platform::reg::REG_SZ:
                KeyVal = value;
                break;
            case platform::reg::REG_DWORD: {
                std::uint32_t number = 0;
                for (qsizetype i = std::min<qsizetype>(value.size(), 4) - 1; i >= 0; --i)
                    number = (number << 8) | (value.at(i).unicode() & 0xFF);
                KeyVal = QString::number(number);
                break;
            }
            default:
                break;
            }
            closeKey();
            return true;
        }
    }
    KeyVal = QString();
    closeKey();
    return false;
}
