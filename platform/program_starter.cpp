#include "program_starter.h"

#include "file_search.h"
#include "runtime_error.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace platform {

ProgramStarter::~ProgramStarter() = default;

namespace {
struct Word {
    QString text;
    qsizetype end; // position after the word in the command line
};

// Blank-separated words; double quotes group blanks and are dropped.
QList<Word> splitWords(const QString& commandLine)
{
    QList<Word> words;
    qsizetype i = 0;
    const qsizetype n = commandLine.size();
    while (i < n) {
        while (i < n && commandLine[i].isSpace())
            ++i;
        if (i >= n)
            break;
        QString word;
        bool quoted = false;
        while (i < n && (quoted || !commandLine[i].isSpace())) {
            if (commandLine[i] == QLatin1Char('"'))
                quoted = !quoted;
            else
                word += commandLine[i];
            ++i;
        }
        words.append({word, i});
    }
    return words;
}

std::optional<QString> executable(const QString& name)
{
    const QString path = fromBackslashes(name);
    if (path.isEmpty())
        return std::nullopt;
    if (!path.contains(QLatin1Char('/'))) {
        const QString found = QStandardPaths::findExecutable(path);
        return found.isEmpty() ? std::nullopt : std::optional<QString>(found);
    }
    const QFileInfo info(resolveNameCase(path));
    if (info.isFile() && info.isExecutable())
        return info.absoluteFilePath();
    return std::nullopt;
}

QStringList argumentsOf(const QList<Word>& words, qsizetype first)
{
    QStringList arguments;
    for (qsizetype i = first; i < words.size(); ++i)
        arguments.append(words[i].text);
    return arguments;
}
} // namespace

std::optional<ProgramInvocation> resolveCommandLine(const QString& commandLine)
{
    const QString line = commandLine.trimmed();
    const QList<Word> words = splitWords(line);
    if (words.isEmpty())
        return std::nullopt;
    if (line.startsWith(QLatin1Char('"'))) {
        if (auto program = executable(words.first().text))
            return ProgramInvocation{*program, argumentsOf(words, 1)};
        return std::nullopt;
    }
    // An unquoted path may hold blanks: try "a b c", "a b", "a", so that an
    // existing full path wins over a program planted at one of its prefixes.
    for (qsizetype last = words.size() - 1; last >= 0; --last) {
        if (auto program = executable(line.left(words[last].end)))
            return ProgramInvocation{*program, argumentsOf(words, last + 1)};
    }
    return std::nullopt;
}

std::int32_t ProcessStarter::start(const QString& commandLine, int)
{
    // X11 gives a newly mapped normal window the focus, which is what style 1 asks for.
    if (commandLine.trimmed().isEmpty())
        raise(err::InvalidProcedureCall);
    const std::optional<ProgramInvocation> invocation = resolveCommandLine(commandLine);
    if (!invocation)
        raise(err::FileNotFound);
    qint64 pid = 0;
    if (!QProcess::startDetached(invocation->program, invocation->arguments, QString(), &pid))
        raise(err::FileNotFound);
    return static_cast<std::int32_t>(pid);
}

} // namespace platform
