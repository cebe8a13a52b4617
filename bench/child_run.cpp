#include "bench/child_run.h"

#include <chrono>
#include <vector>

#include <QByteArray>
#include <QFile>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lorvane {

namespace {

constexpr double kKilobytesPerMegabyte = 1024.0;
constexpr double kMicrosecondsPerSecond = 1e6;

}  // namespace

ChildRun RunChild(const QString& program, const QStringList& arguments, const QString& folder)
{
    std::vector<QByteArray> words = {QFile::encodeName(program)};
    for (const QString& argument : arguments) {
        words.push_back(argument.toLocal8Bit());
    }
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (QByteArray& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const QByteArray directory = QFile::encodeName(folder);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int nothing = open("/dev/null", O_WRONLY);
        dup2(nothing, STDOUT_FILENO);
        if (chdir(directory.constData()) == 0) {
            execv(argv[0], argv.data());
        }
        _exit(127);
    }
    ChildRun run;
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) {
        return run;
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakMegabytes = static_cast<double>(usage.ru_maxrss) / kKilobytesPerMegabyte;
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / kMicrosecondsPerSecond;
    };
    run.userSeconds = seconds(usage.ru_utime);
    run.systemSeconds = seconds(usage.ru_stime);
    return run;
}

}  // namespace lorvane
