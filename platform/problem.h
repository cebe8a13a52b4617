#pragma once

#include <string>

namespace lorvane {

// Why something asked for cannot be done: one line for the person who asked, without the
// program's name, and the exit status a program ends with when it stops there.
struct Problem {
    enum Status : int {
        // The system refused (a file that cannot be read, made or written, a full disk).
        kFailed = 1,
        // What was given is wrong: an argument, or a file that holds no sound recipe.
        kRefused = 2,
    };

    std::string message;
    int status = kRefused;

    [[nodiscard]] bool operator==(const Problem&) const = default;
};

}  // namespace lorvane
