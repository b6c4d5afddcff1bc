#include "main_window/chart_ids.h"
#include "platform/picture.h"
#include "temp_files.h"
#include "tests/support/plotwright_access.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using Access = PlotwrightTestAccess;
using fakes::Call;
using platform::InvokeKind;
using platform::Variant;
using Handler = void (*)(Plotwright&);

// Files cannot grow beyond `bytes` while it lives (EFBIG, as on a full disk).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_oldHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int);
};

class Files : public ::testing::Test {
protected:
    Files() { f.loadWindow(); }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString read(const QString& p) { return Access::ReadFileText(*f.window, p); }
    bool write(const QString& p, const QString& text) { return Access::WriteFileText(*f.window, p, text); }
    void choose(const QString& p) { f.dialog->answer(common_dialog::FileName, p); }
    void run(Handler handler)
    {
        Access::guarded(*f.window, [&] { handler(*f.window); });
    }

    QTemporaryDir dir;
    fakes::WindowFixture f;
};

TEST_F(Files, EveryByteRoundTripsAndAWriteReplacesExactly)
{
    QByteArray allBytes;
    for (int b = 0; b < 256; ++b)
        allBytes += char(b);
    for (const QByteArray& bytes :
         {QByteArray(), QByteArray("A\0B", 3), QByteArray("\xEF\xBB\xBF<x/>\r\n"), allBytes}) {
        putBytes(path("in"), bytes);
        const QString text = read(path("in"));
        EXPECT_EQ(text, QString::fromLatin1(bytes));
        putBytes(path("out"), "a longer old content than any of the texts");
        EXPECT_TRUE(write(path("out"), text));
        EXPECT_EQ(bytesOf(path("out")), bytes);
    }
}

TEST_F(Files, ReadingWhatCannotBeOpened)
{
    // A missing name in an existing folder reads empty and is left behind, empty.
    EXPECT_EQ(read(path("new.xml")), QString());
    EXPECT_EQ(bytesOf(path("new.xml")), QByteArray());
    for (const QString& p : {QString(), path("missing/x.xml"), dir.path()})
        EXPECT_EQ(read(p), QString());
    EXPECT_FALSE(QDir(path("missing")).exists());

    putBytes(path("ro.xml"), "<data/>");
    QFile::setPermissions(path("ro.xml"), QFile::ReadOwner);
    EXPECT_EQ(read(path("ro.xml")), "<data/>");

    // What is not a regular file is not read: a pipe without a writer would
    // block for ever, a device may never end.
    ASSERT_EQ(mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    for (const QString& p : {path("pipe"), QString("/dev/zero")}) {
        EXPECT_EQ(read(p), QString()) << p.toStdString();
        QString data = "kept";
        QString customizing = "kept";
        EXPECT_FALSE(f.window->LoadPwSample(p, data, customizing)) << p.toStdString();
    }
}

TEST_F(Files, FailedWritesLeaveTheOldFile)
{
    putBytes(path("old.xml"), "old content");
    putBytes(path("ro.xml"), "read-only content");
    QFile::setPermissions(path("ro.xml"), QFile::ReadOwner);

    EXPECT_FALSE(write(path("old.xml"), QStringLiteral("euro \u20AC")));
    EXPECT_FALSE(write(path("fresh.xml"), QStringLiteral("euro \u20AC")));
    EXPECT_FALSE(write(path("missing/x.xml"), "x"));
    EXPECT_FALSE(write(path("ro.xml"), "new"));
    {
        FileSizeLimit fullDisk(4096);
        EXPECT_FALSE(write(path("old.xml"), QString(100000, QLatin1Char('x'))));
    }
    EXPECT_EQ(bytesOf(path("old.xml")), "old content");
    EXPECT_EQ(bytesOf(path("ro.xml")), "read-only content");
    // Nothing new is left behind, no temporary file either.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"old.xml", "ro.xml"}));
}

TEST_F(Files, OpenCommandsHandTheWholeFileToTheControl)
{
    const QString data = "Rendrix Data Files (*.xml)|*.xml|All Files(*.*)|*.*||";
    const QString customizing = "Rendrix Customizing Files (*.xml)|*.xml|All Files(*.*)|*.*||";
    const QByteArray content("\xEF\xBB\xBF<x>\0\xE9</x>", 10);
    const Variant text(QString::fromLatin1(content));
    const struct {
        Handler handler;
        QString filter;
        Call load;
    } cases[] = {
        {Access::mnuFileOpenData_Click, data, {chart::LoadDataXml, InvokeKind::PropertyGet, {text}}},
        {Access::mnuFileOpenCustomizing_Click,
         customizing,
         {chart::LoadCustomizingXml, InvokeKind::PropertyGet, {text}}},
        {Access::mnuFileAddCustomizing_Click,
         customizing,
         {chart::LoadCustomizingXml, InvokeKind::PropertyGet, {text, Variant(false)}}},
    };
    putBytes(path("in.xml"), content);
    for (const auto& c : cases) {
        f.dialog->clearCalls();
        f.chart->clearCalls();
        choose(path("in.xml"));
        f.chart->answer(c.load.id, Variant(true));
        run(c.handler);
        EXPECT_EQ(f.dialog->calls(), (std::vector<Call>{{common_dialog::Filter, InvokeKind::PropertyPut, {c.filter}},
                                                        {common_dialog::ShowOpen, InvokeKind::Method, {}},
                                                        {common_dialog::FileName, InvokeKind::PropertyGet, {}}}));
        EXPECT_EQ(f.chart->calls(), std::vector<Call>{c.load});
    }
    EXPECT_TRUE(f.messageBox.shown().empty());
}

TEST_F(Files, RejectedLoadShowsTheControlsErrorTextUnchanged)
{
    for (Handler handler : {Access::mnuFileOpenData_Click, Access::mnuFileOpenCustomizing_Click,
                            Access::mnuFileAddCustomizing_Click, Access::OpenSample}) {
        f.messageBox.clear();
        choose(path("absent.xml"));
        f.chart->answer(chart::LastErrorText, Variant("Line 3: <chart> expected \u00E9"));
        run(handler);
        EXPECT_EQ(f.messageBox.shown(), std::vector<QString>{"Line 3: <chart> expected \u00E9"});
    }
    // The missing name was handed over as the empty text, and the sample's
    // customizing never followed its rejected data.
    EXPECT_EQ(f.chart->calls().front(), (Call{chart::LoadDataXml, InvokeKind::PropertyGet, {Variant(QString())}}));
    EXPECT_EQ(f.chart->calls().back().id, chart::LastErrorText);
    EXPECT_EQ(f.chart->callsOf(chart::LoadCustomizingXml).size(), 2u);
}

TEST_F(Files, CancelledDialogEndsEveryCommandWithNothingDone)
{
    for (Handler handler : {Access::mnuFileOpenData_Click, Access::mnuFileOpenCustomizing_Click,
                            Access::mnuFileAddCustomizing_Click, Access::mnuFileSaveCustomizing_Click,
                            Access::mnuFileSavePicture_Click, Access::OpenSample, Access::SaveSample}) {
        fakes::WindowFixture g;
        g.loadWindow();
        g.dialog->fail(common_dialog::ShowOpen, platform::err::CancelSelected)
            .fail(common_dialog::ShowSave, platform::err::CancelSelected)
            .answerAlways(common_dialog::FileName, path("chosen"));
        Access::guarded(*g.window, [&] { handler(*g.window); });
        EXPECT_TRUE(g.dialog->callsOf(common_dialog::FileName).empty());
        EXPECT_TRUE(g.chart->calls().empty());
        EXPECT_TRUE(g.messageBox.shown().empty());
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(Files, SaveCustomizingWritesTheTextOrSaysItCouldNot)
{
    choose(path("out.xml"));
    f.chart->answer(chart::GetCustomizingXml, Variant("<c a='\u00FF'/>"));
    run(Access::mnuFileSaveCustomizing_Click);
    EXPECT_EQ(f.dialog->calls().at(1), (Call{common_dialog::ShowSave, InvokeKind::Method, {}}));
    EXPECT_EQ(bytesOf(path("out.xml")), "<c a='\xFF'/>");
    EXPECT_TRUE(f.messageBox.shown().empty());

    QFile::setPermissions(path("out.xml"), QFile::ReadOwner);
    choose(path("out.xml"));
    run(Access::mnuFileSaveCustomizing_Click);
    EXPECT_EQ(bytesOf(path("out.xml")), "<c a='\xFF'/>");
    ASSERT_EQ(f.messageBox.shown().size(), 1u);
    EXPECT_TRUE(f.messageBox.shown()[0].contains(path("out.xml")));
}

TEST_F(Files, WhatEachSaveReadsBeforeTheFileName)
{
    // The first fetch fails untrapped: the file name was read before it exactly when the dialog shows it.
    const struct {
        Handler handler;
        platform::DispId fetch;
        bool nameFirst;
    } cases[] = {
        {Access::mnuFileSaveCustomizing_Click, chart::GetCustomizingXml, false},
        {Access::mnuFileSavePicture_Click, chart::ChartPicture, false},
        {Access::SaveSample, chart::GetDataXml, true},
    };
    for (const auto& c : cases) {
        f.dialog->clearCalls();
        f.chart->clearCalls();
        f.chart->fail(c.fetch, platform::err::InvalidProcedureCall);
        run(c.handler);
        EXPECT_EQ(f.dialog->callsOf(common_dialog::FileName).size(), c.nameFirst ? 1u : 0u) << c.fetch;
        EXPECT_EQ(f.chart->calls(), (std::vector<Call>{{c.fetch, InvokeKind::PropertyGet, {}}}));
    }
    EXPECT_EQ(f.messageBox.shown().size(), 3u);
}

TEST(FileCommands, FiltersAndTheCustomizingFetchInEachDeliverable)
{
    const Variant customizing("Rendrix Customizing Files (*.xml)|*.xml|All Files(*.*)|*.*||");
    const Variant samples("Plotwright Samples (*.pws)|*.pws|All Files(*.*)|*.*||");
    auto put = [](platform::DispId id, Variant value) { return Call{id, InvokeKind::PropertyPut, {std::move(value)}}; };
    const Call showSave{common_dialog::ShowSave, InvokeKind::Method, {}};
    const Call showOpen{common_dialog::ShowOpen, InvokeKind::Method, {}};
    const Call name{common_dialog::FileName, InvokeKind::PropertyGet, {}};
    // Unlike Copy Customizing, the saves fetch the customizing without an argument in both builds.
    const Call fetchCustomizing{chart::GetCustomizingXml, InvokeKind::PropertyGet, {}};
    const struct {
        const char* name;
        Handler handler;
        std::vector<Call> dialogCalls;
        std::vector<Call> chartCalls;
    } cases[] = {
        {"Save Customizing",
         Access::mnuFileSaveCustomizing_Click,
         {put(common_dialog::Filter, customizing), showSave, name},
         {fetchCustomizing}},
        {"Export Picture",
         Access::mnuFileSavePicture_Click,
         {put(common_dialog::DefaultExt, Variant("bmp")), put(common_dialog::Filter, Variant("*.bmp")), showSave, name},
         {{chart::ChartPicture, InvokeKind::PropertyGet, {}}}},
        {"OpenSample",
         Access::OpenSample,
         {put(common_dialog::Filter, samples), showOpen, name},
         {{chart::LoadDataXml, InvokeKind::PropertyGet, {Variant("")}},
          {chart::LoadCustomizingXml, InvokeKind::PropertyGet, {Variant("")}}}},
        {"SaveSample",
         Access::SaveSample,
         {put(common_dialog::Filter, samples), showSave, name},
         {{chart::GetDataXml, InvokeKind::PropertyGet, {}}, fetchCustomizing}},
    };
    for (const Deliverable* deliverable : {&kPlotwright700, &kPlotwright640}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(deliverable->caption) + ": " + c.name);
            QTemporaryDir dir;
            fakes::WindowFixture g(*deliverable);
            g.loadWindow();
            g.dialog->answerAlways(common_dialog::FileName, dir.filePath("chosen"));
            g.chart->answer(chart::ChartPicture,
                            Variant(std::make_shared<platform::Picture>(QImage(4, 4, QImage::Format_RGB32))));
            // The chosen name does not exist: the sample opened is an empty file, read as empty texts.
            g.chart->answer(chart::LoadDataXml, Variant(true)).answer(chart::LoadCustomizingXml, Variant(true));
            Access::guarded(*g.window, [&] { c.handler(*g.window); });
            EXPECT_EQ(g.dialog->calls(), c.dialogCalls);
            EXPECT_EQ(g.chart->calls(), c.chartCalls);
            EXPECT_TRUE(g.messageBox.shown().empty());
        }
    }
}

TEST_F(Files, ExportPictureWritesA24BitBitmapOfTheChartsSize)
{
    QImage image(123, 45, QImage::Format_ARGB32);
    image.fill(Qt::darkCyan);
    choose(path("chart.bmp"));
    f.chart->answer(chart::ChartPicture, Variant(std::make_shared<platform::Picture>(image)));
    run(Access::mnuFileSavePicture_Click);
    EXPECT_EQ(f.dialog->calls(),
              (std::vector<Call>{{common_dialog::DefaultExt, InvokeKind::PropertyPut, {Variant("bmp")}},
                                 {common_dialog::Filter, InvokeKind::PropertyPut, {Variant("*.bmp")}},
                                 {common_dialog::ShowSave, InvokeKind::Method, {}},
                                 {common_dialog::FileName, InvokeKind::PropertyGet, {}}}));
    const QByteArray bmp = bytesOf(path("chart.bmp"));
    ASSERT_GE(bmp.size(), 54);
    EXPECT_EQ(bmp.left(2), "BM");
    EXPECT_EQ(qFromLittleEndian<qint32>(bmp.constData() + 18), 123);
    EXPECT_EQ(qFromLittleEndian<qint32>(bmp.constData() + 22), 45);
    EXPECT_EQ(qFromLittleEndian<quint16>(bmp.constData() + 28), 24);
}

TEST_F(Files, PrintAndExit)
{
    int ended = 0;
    f.services.endProgram = [&] { ++ended; };
    run(Access::mnuFilePrint_Click);
    run(Access::mnuFileExit_Click);
    EXPECT_EQ(f.chart->calls(), (std::vector<Call>{{chart::PrintChart, InvokeKind::Method, {}}}));
    EXPECT_TRUE(f.dialog->calls().empty());
    EXPECT_EQ(ended, 1);
}

TEST_F(Files, SampleThroughTheDialogAndBack)
{
    choose(path("s.pws"));
    f.chart->answer(chart::GetDataXml, Variant("<d/>")).answer(chart::GetCustomizingXml, Variant("<c/>"));
    run(Access::SaveSample);
    choose(path("s.pws"));
    f.chart->answer(chart::LoadDataXml, Variant(true)).answer(chart::LoadCustomizingXml, Variant(true));
    run(Access::OpenSample);
    EXPECT_EQ(f.chart->calls(),
              (std::vector<Call>{{chart::GetDataXml, InvokeKind::PropertyGet, {}},
                                 {chart::GetCustomizingXml, InvokeKind::PropertyGet, {}},
                                 {chart::LoadDataXml, InvokeKind::PropertyGet, {Variant("<d/>")}},
                                 {chart::LoadCustomizingXml, InvokeKind::PropertyGet, {Variant("<c/>")}}}));
    EXPECT_TRUE(f.messageBox.shown().empty());

    // An unreadable sample reaches nothing; a failed save is said.
    putBytes(path("bad.pws"), "short");
    choose(path("bad.pws"));
    run(Access::OpenSample);
    choose(path("missing/s.pws"));
    run(Access::SaveSample);
    EXPECT_EQ(f.chart->calls().size(), 6u);
    ASSERT_EQ(f.messageBox.shown().size(), 1u);
    EXPECT_TRUE(f.messageBox.shown()[0].contains(path("missing/s.pws")));
}

} // namespace
