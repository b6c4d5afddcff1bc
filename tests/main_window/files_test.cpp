#include "main_window/chart_ids.h"
#include "platform/picture.h"
#include "tests/support/plotwright_access.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

using Access = PlotwrightTestAccess;
using fakes::Call;
using platform::InvokeKind;
using platform::Variant;

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void putBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

void makeReadOnly(const QString& path) { QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup); }

// Files larger than `bytes` fail to grow with EFBIG, as on a full disk.
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

class FileText : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString read(const QString& p) { return Access::ReadFileText(*f.window, p); }
    bool write(const QString& p, const QString& text) { return Access::WriteFileText(*f.window, p, text); }

    QTemporaryDir dir;
    fakes::WindowFixture f;
};

TEST_F(FileText, EveryByteRoundTrips)
{
    QByteArray allBytes;
    for (int b = 0; b < 256; ++b)
        allBytes += char(b);
    const QByteArray cases[] = {
        {},
        QByteArray("A\0B", 3),
        QByteArray("\xEF\xBB\xBF<chart/>"),
        QByteArray("line\r\nline\r\n"),
        allBytes,
    };
    for (const QByteArray& bytes : cases) {
        putBytes(path("in"), bytes);
        const QString text = read(path("in"));
        EXPECT_EQ(text, QString::fromLatin1(bytes));
        EXPECT_EQ(text.size(), bytes.size());
        EXPECT_TRUE(write(path("out"), text));
        EXPECT_EQ(bytesOf(path("out")), bytes);
    }
}

TEST_F(FileText, ReadingWhatCannotBeOpened)
{
    // A missing name in an existing folder reads empty and is left behind, empty.
    EXPECT_EQ(read(path("new.xml")), QString());
    EXPECT_TRUE(QFile::exists(path("new.xml")));
    EXPECT_EQ(QFile(path("new.xml")).size(), 0);

    EXPECT_EQ(read(QString()), QString());
    EXPECT_EQ(read(path("missing/x.xml")), QString());
    EXPECT_FALSE(QDir(path("missing")).exists());
    EXPECT_EQ(read(dir.path()), QString());

    // The callers need the content of a file that allows reading only.
    putBytes(path("ro.xml"), "<data/>");
    makeReadOnly(path("ro.xml"));
    EXPECT_EQ(read(path("ro.xml")), "<data/>");
}

TEST_F(FileText, WriteReplacesExactly)
{
    putBytes(path("c.xml"), "a much longer old content");
    EXPECT_TRUE(write(path("c.xml"), "short"));
    EXPECT_EQ(bytesOf(path("c.xml")), "short");
    EXPECT_TRUE(write(path("c.xml"), QString()));
    EXPECT_EQ(bytesOf(path("c.xml")), QByteArray());
    EXPECT_TRUE(QFile::exists(path("c.xml")));
}

TEST_F(FileText, FailedWritesLeaveTheOldFile)
{
    putBytes(path("old.xml"), "old content");
    const QString beyondOneByte = QStringLiteral("euro \u20AC");

    EXPECT_FALSE(write(path("old.xml"), beyondOneByte));
    EXPECT_FALSE(write(path("fresh.xml"), beyondOneByte));
    EXPECT_FALSE(QFile::exists(path("fresh.xml")));
    EXPECT_FALSE(write(path("missing/x.xml"), "x"));
    EXPECT_FALSE(QDir(path("missing")).exists());
    EXPECT_FALSE(write(QString(), "x"));
    EXPECT_FALSE(write(dir.path(), "x"));

    putBytes(path("ro.xml"), "read-only content");
    makeReadOnly(path("ro.xml"));
    EXPECT_FALSE(write(path("ro.xml"), "new"));
    EXPECT_EQ(bytesOf(path("ro.xml")), "read-only content");

    {
        // The disk fills up part way through the new content.
        FileSizeLimit limit(4096);
        EXPECT_FALSE(write(path("old.xml"), QString(100000, QLatin1Char('x'))));
    }
    EXPECT_EQ(bytesOf(path("old.xml")), "old content");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"old.xml", "ro.xml"}));
}

// ---- File menu --------------------------------------------------------------

class FileMenu : public ::testing::Test {
protected:
    FileMenu() { f.loadWindow(); }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void choose(const QString& p) { f.dialog->answer(common_dialog::FileName, p); }
    void run(void (*handler)(Plotwright&))
    {
        Access::guarded(*f.window, [&] { handler(*f.window); });
    }

    QTemporaryDir dir;
    fakes::WindowFixture f;
};

const QString kDataFilter = "Rendrix Data Files (*.xml)|*.xml|All Files(*.*)|*.*||";
const QString kCustomizingFilter = "Rendrix Customizing Files (*.xml)|*.xml|All Files(*.*)|*.*||";

TEST_F(FileMenu, OpenCommandsHandTheWholeFileToTheControl)
{
    struct Case {
        const char* name;
        void (*handler)(Plotwright&);
        QString filter;
        platform::DispId load;
        std::vector<Variant> extraArgs;
    };
    const Case cases[] = {
        {"Open Data", Access::mnuFileOpenData_Click, kDataFilter, chart::LoadDataXml, {}},
        {"Open Customizing", Access::mnuFileOpenCustomizing_Click, kCustomizingFilter, chart::LoadCustomizingXml, {}},
        {"Add Customizing", Access::mnuFileAddCustomizing_Click, kCustomizingFilter, chart::LoadCustomizingXml,
         {Variant(false)}},
    };
    const QByteArray content("\xEF\xBB\xBF<x>\0\xE9</x>\r\n", 15);
    putBytes(path("in.xml"), content);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.dialog->clearCalls();
        f.chart->clearCalls();
        choose(path("in.xml"));
        f.chart->answer(c.load, Variant(true));
        run(c.handler);

        EXPECT_EQ(f.dialog->calls(), (std::vector<Call>{{common_dialog::Filter, InvokeKind::PropertyPut, {c.filter}},
                                                        {common_dialog::ShowOpen, InvokeKind::Method, {}},
                                                        {common_dialog::FileName, InvokeKind::PropertyGet, {}}}));
        std::vector<Variant> args{Variant(QString::fromLatin1(content))};
        args.insert(args.end(), c.extraArgs.begin(), c.extraArgs.end());
        EXPECT_EQ(f.chart->calls(), (std::vector<Call>{{c.load, InvokeKind::PropertyGet, args}}));
        EXPECT_TRUE(f.messageBox.shown().empty());
    }
}

TEST_F(FileMenu, RejectedLoadShowsTheControlsErrorTextOnce)
{
    for (auto handler : {Access::mnuFileOpenData_Click, Access::mnuFileOpenCustomizing_Click,
                         Access::mnuFileAddCustomizing_Click}) {
        f.messageBox.clear();
        choose(path("absent.xml"));
        f.chart->answer(chart::LoadDataXml, Variant(false)).answer(chart::LoadCustomizingXml, Variant());
        f.chart->answer(chart::LastErrorText, Variant("Line 3: <chart> expected \u00E9"));
        run(handler);
        EXPECT_EQ(f.messageBox.shown(), std::vector<QString>{"Line 3: <chart> expected \u00E9"});
    }
    // The chosen name did not exist: the control was handed the empty text and the name is left, empty.
    EXPECT_EQ(f.chart->calls().front(), (Call{chart::LoadDataXml, InvokeKind::PropertyGet, {Variant(QString())}}));
    EXPECT_EQ(QFile(path("absent.xml")).size(), 0);
}

TEST_F(FileMenu, CancelledDialogEndsEveryCommandWithNothingDone)
{
    putBytes(path("keep.xml"), "keep");
    for (auto handler : {Access::mnuFileOpenData_Click, Access::mnuFileOpenCustomizing_Click,
                         Access::mnuFileAddCustomizing_Click, Access::mnuFileSaveCustomizing_Click,
                         Access::mnuFileSavePicture_Click, Access::OpenSample, Access::SaveSample}) {
        fakes::WindowFixture g;
        g.loadWindow();
        g.dialog->fail(common_dialog::ShowOpen, platform::err::CancelSelected)
            .fail(common_dialog::ShowSave, platform::err::CancelSelected)
            .answerAlways(common_dialog::FileName, path("keep.xml"));
        Access::guarded(*g.window, [&] { handler(*g.window); });
        EXPECT_TRUE(g.dialog->callsOf(common_dialog::FileName).empty());
        EXPECT_TRUE(g.chart->calls().empty());
        EXPECT_TRUE(g.messageBox.shown().empty());
    }
    EXPECT_EQ(bytesOf(path("keep.xml")), "keep");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"keep.xml"}));
}

TEST_F(FileMenu, SaveCustomizingWritesTheControlsText)
{
    choose(path("out.xml"));
    f.chart->answer(chart::GetCustomizingXml, Variant("<customizing a='\u00FF'/>"));
    run(Access::mnuFileSaveCustomizing_Click);
    EXPECT_EQ(f.dialog->calls().at(0), (Call{common_dialog::Filter, InvokeKind::PropertyPut, {kCustomizingFilter}}));
    EXPECT_EQ(f.dialog->calls().at(1), (Call{common_dialog::ShowSave, InvokeKind::Method, {}}));
    EXPECT_EQ(f.chart->calls(), (std::vector<Call>{{chart::GetCustomizingXml, InvokeKind::PropertyGet, {}}}));
    EXPECT_EQ(bytesOf(path("out.xml")), "<customizing a='\xFF'/>");
    EXPECT_TRUE(f.messageBox.shown().empty());
}

TEST_F(FileMenu, FailedSaveIsReportedAndLeavesTheFile)
{
    putBytes(path("ro.xml"), "old");
    makeReadOnly(path("ro.xml"));
    choose(path("ro.xml"));
    f.chart->answer(chart::GetCustomizingXml, Variant("<new/>"));
    run(Access::mnuFileSaveCustomizing_Click);
    EXPECT_EQ(bytesOf(path("ro.xml")), "old");
    ASSERT_EQ(f.messageBox.shown().size(), 1u);
    EXPECT_TRUE(f.messageBox.shown()[0].contains(path("ro.xml")));
}

TEST_F(FileMenu, TextOrPictureIsFetchedBeforeTheFileName)
{
    // A failing fetch is an untrapped error: had the name been read first, it would show here.
    using Handler = void (*)(Plotwright&);
    const std::pair<Handler, platform::DispId> cases[] = {{Access::mnuFileSaveCustomizing_Click, chart::GetCustomizingXml},
                                                          {Access::mnuFileSavePicture_Click, chart::ChartPicture}};
    for (auto [handler, fetch] : cases) {
        f.dialog->clearCalls();
        f.messageBox.clear();
        f.chart->fail(fetch, platform::err::InvalidProcedureCall);
        run(handler);
        EXPECT_TRUE(f.dialog->callsOf(common_dialog::FileName).empty());
        ASSERT_EQ(f.messageBox.shown().size(), 1u);
        EXPECT_TRUE(f.messageBox.shown()[0].startsWith("Run-time error '5':"));
    }
}

TEST_F(FileMenu, ExportPictureWritesA24BitBitmapOfTheChartsSize)
{
    QImage image(123, 45, QImage::Format_ARGB32);
    image.fill(Qt::darkCyan);
    choose(path("chart.bmp"));
    f.chart->answer(chart::ChartPicture, Variant(std::make_shared<platform::Picture>(image)));
    run(Access::mnuFileSavePicture_Click);

    EXPECT_EQ(f.dialog->calls(), (std::vector<Call>{{common_dialog::DefaultExt, InvokeKind::PropertyPut, {Variant("bmp")}},
                                                    {common_dialog::Filter, InvokeKind::PropertyPut, {Variant("*.bmp")}},
                                                    {common_dialog::ShowSave, InvokeKind::Method, {}},
                                                    {common_dialog::FileName, InvokeKind::PropertyGet, {}}}));
    const QByteArray bmp = bytesOf(path("chart.bmp"));
    ASSERT_GE(bmp.size(), 54);
    EXPECT_EQ(bmp.left(2), "BM");
    EXPECT_EQ(qFromLittleEndian<qint32>(bmp.constData() + 18), 123);
    EXPECT_EQ(qFromLittleEndian<qint32>(bmp.constData() + 22), 45);
    EXPECT_EQ(qFromLittleEndian<quint16>(bmp.constData() + 28), 24);

    // A path that cannot be written is the platform's error 75, untrapped.
    choose(path("missing/chart.bmp"));
    f.chart->answer(chart::ChartPicture, Variant(std::make_shared<platform::Picture>(image)));
    run(Access::mnuFileSavePicture_Click);
    EXPECT_EQ(f.messageBox.shown().size(), 1u);
}

TEST_F(FileMenu, PrintAndExit)
{
    run(Access::mnuFilePrint_Click);
    EXPECT_EQ(f.chart->calls(), (std::vector<Call>{{chart::PrintChart, InvokeKind::Method, {}}}));
    EXPECT_TRUE(f.dialog->calls().empty());

    int ended = 0;
    f.services.endProgram = [&] { ++ended; };
    run(Access::mnuFileExit_Click);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(f.chart->calls().size(), 1u);
}

// ---- sample files through the dialog -----------------------------------------

const QString kSampleFilter = "Plotwright Samples (*.pws)|*.pws|All Files(*.*)|*.*||";

TEST_F(FileMenu, OpenSampleLoadsDataThenCustomizing)
{
    ASSERT_TRUE(f.window->SavePwSample(path("s.pws"), "<data/>", "<cu/>"));
    choose(path("s.pws"));
    f.chart->answer(chart::LoadDataXml, Variant(true)).answer(chart::LoadCustomizingXml, Variant(true));
    run(Access::OpenSample);
    EXPECT_EQ(f.dialog->calls().front(), (Call{common_dialog::Filter, InvokeKind::PropertyPut, {kSampleFilter}}));
    EXPECT_EQ(f.chart->calls(), (std::vector<Call>{{chart::LoadDataXml, InvokeKind::PropertyGet, {Variant("<data/>")}},
                                                   {chart::LoadCustomizingXml, InvokeKind::PropertyGet, {Variant("<cu/>")}}}));

    // Rejected data: one box, and the customizing is not handed over.
    f.chart->clearCalls();
    choose(path("s.pws"));
    f.chart->answer(chart::LoadDataXml, Variant(false)).answer(chart::LastErrorText, Variant("bad data"));
    run(Access::OpenSample);
    EXPECT_EQ(f.messageBox.shown(), std::vector<QString>{"bad data"});
    EXPECT_TRUE(f.chart->callsOf(chart::LoadCustomizingXml).empty());

    // An unreadable sample: nothing reaches the control, nothing is shown.
    f.chart->clearCalls();
    putBytes(path("bad.pws"), "short");
    choose(path("bad.pws"));
    run(Access::OpenSample);
    EXPECT_TRUE(f.chart->calls().empty());
    EXPECT_EQ(f.messageBox.shown().size(), 1u);
}

TEST_F(FileMenu, SaveSampleWritesTheControlsTexts)
{
    choose(path("s.pws"));
    f.chart->answer(chart::GetDataXml, Variant("<d/>")).answer(chart::GetCustomizingXml, Variant("<c/>"));
    run(Access::SaveSample);
    EXPECT_EQ(f.chart->calls(), (std::vector<Call>{{chart::GetDataXml, InvokeKind::PropertyGet, {}},
                                                   {chart::GetCustomizingXml, InvokeKind::PropertyGet, {}}}));
    QString data, customizing;
    ASSERT_TRUE(f.window->LoadPwSample(path("s.pws"), data, customizing));
    EXPECT_EQ(data, "<d/>");
    EXPECT_EQ(customizing, "<c/>");
    EXPECT_TRUE(f.messageBox.shown().empty());

    choose(path("missing/s.pws"));
    run(Access::SaveSample);
    ASSERT_EQ(f.messageBox.shown().size(), 1u);
    EXPECT_TRUE(f.messageBox.shown()[0].contains(path("missing/s.pws")));
}

}  // namespace
