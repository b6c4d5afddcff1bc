#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace platform {

// Window styles a program can be started with.
inline constexpr int kNormalFocus = 1; // a normal window that takes the focus

// Runs a command line as the program's "start a program" service does:
// returns a task identifier at once without waiting for the program; raises
// File not found (53) when the program cannot be started, Invalid procedure
// call or argument (5) for an empty command line.
class ProgramStarter {
public:
    virtual ~ProgramStarter();
    virtual std::int32_t start(const QString& commandLine, int windowStyle) = 0;
};

struct ProgramInvocation {
    QString program; // an absolute path
    QStringList arguments;
};

// Splits a command line into the program and its arguments without any shell:
// no word is ever interpreted. "\" separates folders as "/" does. A quoted
// first word is the program; an unquoted line is tried word by word, the
// longest leading run of words that names an executable file winning, so a
// path with blanks needs no quotes. The remaining words are the arguments
// (double quotes group blanks). A program's file name matches without
// regard to case when no file has the exact name, as the file search does.
// A program without a folder is looked up on the search path. Nothing when no
// executable program is named.
std::optional<ProgramInvocation> resolveCommandLine(const QString& commandLine);

// The real one: a detached process, never through a shell.
class ProcessStarter final : public ProgramStarter {
public:
    std::int32_t start(const QString& commandLine, int windowStyle) override;
};

} // namespace platform
