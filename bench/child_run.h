#pragma once

#include <QString>
#include <QStringList>

namespace lorvane {

// A program run to its end, and what it took.
struct ChildRun {
    int status = -1;
    double seconds = 0.0;
    // Processor time in the program and in the kernel on its behalf, all threads.
    double userSeconds = 0.0;
    double systemSeconds = 0.0;
    // The most memory it held at once (its peak resident set).
    double peakMegabytes = 0.0;
};

// Runs `program` with `arguments` in `folder`, its output thrown away.
[[nodiscard]] ChildRun RunChild(const QString& program, const QStringList& arguments, const QString& folder);

}  // namespace lorvane
