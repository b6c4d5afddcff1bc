#include "main_window/file_text.h"
#include "shell/startup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

TEST(Startup, AWriteBeyondTheFileSizeLimitFailsInsteadOfEndingTheProgram)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("saved.xml");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old content");
    old.close();

    struct sigaction before {};
    sigaction(SIGXFSZ, nullptr, &before);
    std::signal(SIGXFSZ, SIG_DFL);
    ignoreFileSizeSignal();
    // Were the signal not ignored, it would end this test program here.
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit unlimited = limit;
    limit.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool written = file_text::write(path, QString(100000, QLatin1Char('x')));
    setrlimit(RLIMIT_FSIZE, &unlimited);
    sigaction(SIGXFSZ, &before, nullptr);

    EXPECT_FALSE(written);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old content");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"saved.xml"}));
}

} // namespace
