#include "plotwright.h"

#include "chart_ids.h"
#include "event_list.h"
#include "platform/guard.h"
#include "platform/message_box.h"
#include "platform/runtime_error.h"
#include "program_icon.h"

#include <QEvent>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>

using platform::Variant;

namespace {
// Design placement of the controls, in twips.
constexpr float kClientWidth = 12225;
constexpr float kClientHeight = 7890;

// What the window stored for the chart control at design time: a version,
// the control's design extent in 0.01 mm (12015 x 7095 twips), then a zero
// and two bytes of the control's own.
QByteArray chartDesignState()
{
    QByteArray state;
    for (quint32 value : {0x00010000u, 21193u, 12515u, 0u})
        for (int shift = 0; shift < 32; shift += 8)
            state.append(static_cast<char>((value >> shift) & 0xFF));
    state.append('\xFF').append('\x01');
    return state;
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setDefault(false);
    button->hide();
    return button;
}
} // namespace

Plotwright::Plotwright(const Deliverable& deliverable, platform::Services& services, QWidget* parent)
    : QMainWindow(parent), m_deliverable(deliverable), m_services(services)
{
    setObjectName(QStringLiteral("Plotwright"));
    setWindowTitle(QString::fromLatin1(m_deliverable.caption));
    setWindowIcon(programIcon());

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);
    createMenu();

    ctrlChart = std::make_unique<platform::ControlSite>(m_services.createChart(), m_client, *m_services.messageBox, 120,
                                                        120, 12015, 7095, chartDesignState());
    ctrlChart->control().widget()->setObjectName(QStringLiteral("ctrlChart"));
    ctrlChart->setEventHandler([this](int index, std::span<Variant> args) { onChartEvent(index, args); });

    ctrlEventList = new EventList(m_client);
    ctrlEventList->setObjectName(QStringLiteral("ctrlEventList"));
    ctrlEventList->hide();
    m_eventListPlacement.emplace(ctrlEventList, 120, 7320, 6855, 450);

    cmdBack = makeButton(m_client, "cmdBack", "< &Back");
    cmdNext = makeButton(m_client, "cmdNext", "&Next >");
    cmdFinish = makeButton(m_client, "cmdFinish", "&Finish");
    m_backPlacement.emplace(cmdBack, 7200, 7320, 1335, 375);
    m_nextPlacement.emplace(cmdNext, 8640, 7320, 1335, 375);
    m_finishPlacement.emplace(cmdFinish, 10080, 7320, 1335, 375);
    connect(cmdBack, &QPushButton::clicked, this, [this] { guarded([this] { cmdBack_Click(); }); });
    connect(cmdNext, &QPushButton::clicked, this, [this] { guarded([this] { cmdNext_Click(); }); });
    connect(cmdFinish, &QPushButton::clicked, this, [this] { guarded([this] { cmdFinish_Click(); }); });

    QWidget::setTabOrder(ctrlChart->control().widget(), ctrlEventList);
    QWidget::setTabOrder(ctrlEventList, cmdBack);
    QWidget::setTabOrder(cmdBack, cmdNext);
    QWidget::setTabOrder(cmdNext, cmdFinish);

    if (m_services.createCommonDialog)
        ctrlCommonDialog = m_services.createCommonDialog();

    // The client area is the design's 12225 x 7890 twips under the menu bar.
    resize(platform::twipsToPixels(kClientWidth),
           platform::twipsToPixels(kClientHeight) + menuBar()->sizeHint().height());
    // Lay the client area out now: the load routine's first layout pass runs
    // before the window is shown and needs the designed inner size.
    layout()->activate();
    m_client->installEventFilter(this);
}

Plotwright::~Plotwright()
{
    m_client->removeEventFilter(this);
}

void Plotwright::load()
{
    Form_Load();
}

void Plotwright::guarded(const std::function<void()>& handler)
{
    platform::runGuarded(*m_services.messageBox, handler);
}

bool Plotwright::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        guarded([this] { Form_Resize(); });
    return QMainWindow::eventFilter(watched, event);
}

void Plotwright::createMenu()
{
    auto addItem = [this](QMenu* menu, const char* name, const char* caption, QKeySequence shortcut,
                          void (Plotwright::*handler)()) {
        QAction* action = menu->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
        return action;
    };
    auto addSeparator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    mnuFileNew = addItem(file, "mnuFileNew", "&New", QKeySequence(Qt::CTRL | Qt::Key_N), &Plotwright::mnuFileNew_Click);
    addSeparator(file, "mnuFileSep1");
    mnuFileOpenData = addItem(file, "mnuFileOpenData", "Open &Data...", {}, &Plotwright::mnuFileOpenData_Click);
    addSeparator(file, "mnuFileSep2");
    mnuFileOpenCustomizing = addItem(file, "mnuFileOpenCustomizing", "&Open Customizing...",
                                     QKeySequence(Qt::CTRL | Qt::Key_O), &Plotwright::mnuFileOpenCustomizing_Click);
    mnuFileAddCustomizing = addItem(file, "mnuFileAddCustomizing", "&Add Customizing...",
                                    QKeySequence(Qt::CTRL | Qt::Key_A), &Plotwright::mnuFileAddCustomizing_Click);
    mnuFileSaveCustomizing = addItem(file, "mnuFileSaveCustomizing", "&Save Customizing...",
                                     QKeySequence(Qt::CTRL | Qt::Key_S), &Plotwright::mnuFileSaveCustomizing_Click);
    addSeparator(file, "mnuFileSep3");
    mnuFileSavePicture =
        addItem(file, "mnuFileSavePicture", "&Export Picture...", {}, &Plotwright::mnuFileSavePicture_Click);
    mnuFilePrint =
        addItem(file, "mnuFilePrint", "&Print...", QKeySequence(Qt::CTRL | Qt::Key_P), &Plotwright::mnuFilePrint_Click);
    addSeparator(file, "mnuFileSep4");
    mnuFileExit = addItem(file, "mnuFileExit", "&Exit", {}, &Plotwright::mnuFileExit_Click);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEditCopyImage =
        addItem(edit, "mnuEditCopyImage", "Copy &Image to clipboard", {}, &Plotwright::mnuEditCopyImage_Click);
    mnuEditCopyCustomizing = addItem(edit, "mnuEditCopyCustomizing", "Copy &Customizing to clipboard", {},
                                     &Plotwright::mnuEditCopyCustomizing_Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpAbout = addItem(help, "mnuHelpAbout", "&About...", {}, &Plotwright::mnuHelpAbout_Click);
}

float Plotwright::ScaleWidth() const
{
    return platform::pixelsToTwips(m_client->width());
}

float Plotwright::ScaleHeight() const
{
    return platform::pixelsToTwips(m_client->height());
}

// ---- chart wizard --------------------------------------------------------

void Plotwright::Form_Load()
{
    WizardActive = false;
    WizardStep = 1;
    ctrlChart->put(chart::Language, QStringLiteral("EN"));
    if (m_deliverable.templateFile)
        ctrlChart->put(chart::TemplateFile, QString::fromLatin1(m_deliverable.templateFile));
    if (m_deliverable.chartTypes)
        ctrlChart->call(chart::SetChartTypes, {QString::fromLatin1(m_deliverable.chartTypes)});
    for (const AttributeSetting& setting : m_deliverable.loadSettings)
        ctrlChart->call(chart::SetAttribute, {QString::fromLatin1(setting.path), QString::fromLatin1(setting.attribute),
                                              QString::fromLatin1(setting.value)});
    StartWizard();
}

void Plotwright::StartWizard()
{
    ctrlChart->call(chart::ResetWizard);
    WizardStep = ctrlChart->get(chart::GoToWizardStep, {Variant(std::int16_t(1))}).toInteger();
    WizardActive = true;
    UpdateWizardButtons();
    Form_Resize();
}

void Plotwright::UpdateWizardButtons()
{
    cmdNext->setVisible(WizardActive);
    cmdBack->setVisible(WizardActive);
    cmdFinish->setVisible(WizardActive);
    if (WizardActive) {
        cmdNext->setEnabled(WizardStep < 6);
        cmdBack->setEnabled(WizardStep > 1);
    }
}

void Plotwright::cmdBack_Click()
{
    const std::int16_t wanted = platform::checkedSub16(WizardStep, 1);
    WizardStep = ctrlChart->get(chart::GoToWizardStep, {Variant(wanted)}).toInteger();
    UpdateWizardButtons();
}

void Plotwright::cmdNext_Click()
{
    const std::int16_t wanted = platform::checkedAdd16(WizardStep, 1);
    WizardStep = ctrlChart->get(chart::GoToWizardStep, {Variant(wanted)}).toInteger();
    UpdateWizardButtons();
}

void Plotwright::cmdFinish_Click()
{
    ctrlChart->call(chart::FinishWizard);
    WizardActive = false;
    UpdateWizardButtons();
    Form_Resize();
}

void Plotwright::mnuFileNew_Click()
{
    StartWizard();
}

// ---- events of the chart control ------------------------------------------

void Plotwright::onChartEvent(int index, std::span<Variant> args)
{
    switch (index) {
    case chart::MouseDown:
    case chart::MouseUp: {
        platform::requireArgs(args, 4);
        // Read once and never written back: the log leaves the control's values alone.
        std::int16_t button = args[0].toInteger();
        float x = args[2].toSingle();
        float y = args[3].toSingle();
        if (index == chart::MouseDown)
            ctrlChart_MouseDown(button, args[1], x, y);
        else
            ctrlChart_MouseUp(button, args[1], x, y);
        break;
    }
    case chart::ObjectClicked:
        platform::requireArgs(args, 3);
        ctrlChart_ObjectClicked(args[0].toString(), args[1].toInteger(), args[2].toInteger());
        break;
    case chart::ValueChanged:
        platform::requireArgs(args, 5);
        ctrlChart_ValueChanged(args[0].toString(), args[1].toInteger(), args[2].toInteger(), args[3],
                               args[4].toDouble());
        break;
    case chart::PropertyChanged:
        platform::requireArgs(args, 3);
        ctrlChart_PropertyChanged(args[0].toString(), args[1].toString(), args[2].toString());
        break;
    default:
        break; // the window handles no other event of the control
    }
}
