#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

#include <QByteArray>
#include <QString>

#include "platform/problem.h"
#include "render/output_folder.h"

namespace lorvane {

// One file of a batch, owned outright: its place in the batch (from 1), the name it is to have,
// and how to make its bytes (nothing when they cannot be made).
struct SavingJob {
    int number = 0;
    QString stem;
    std::function<std::optional<QByteArray>()> bytes;
};

// Makes and writes the files of a batch on `jobs` threads while the pictures are still being
// drawn (one job: on the drawing thread, in turn), and gives them their names in order. A file
// gets its name, and is reported, only after every file before it has; so whenever the batch
// stops, the files in the folder are exactly those reported so far.
class SavingPool {
public:
    // Reports a file in place; a problem stops the batch.
    using Reporter = std::function<std::optional<Problem>(const QByteArray& path)>;

    // A stop requested through `stop` ends the batch as soon as possible, from any thread.
    SavingPool(int jobs, OutputFolder folder, QString extension, Reporter reporter, std::stop_token stop = {});
    ~SavingPool();
    SavingPool(const SavingPool&) = delete;
    SavingPool& operator=(const SavingPool&) = delete;
    SavingPool(SavingPool&&) = delete;
    SavingPool& operator=(SavingPool&&) = delete;

    // Waits until fewer than `jobs` + 1 files are queued, being made or waiting for their turn
    // (one more than the threads can take, so that none waits for the drawing), then queues the
    // job. Only the threads make the bytes, so at most `jobs` files are being made at once; and a
    // slow file holds the others back rather than letting them pile up unnamed, to be thrown away
    // together if the disk fills. False once the batch has stopped.
    bool Submit(SavingJob job);
    // Waits for every file submitted, and gives the first problem.
    [[nodiscard]] std::optional<Problem> Finish();

private:
    // A file written in full under a hidden name, waiting for the files before it.
    struct Staged {
        QByteArray path;
        QString stem;
    };

    // Stops the batch, leaving no file that has not been reported.
    void Cancel();
    void Work();
    // Makes, stages and, when its turn has come, publishes one file.
    void Save(SavingJob job);
    void Fail(const Problem& problem);
    // Names and reports the staged files whose turn has come.
    void PublishDue();
    void DiscardStaged();

    const std::size_t jobs_;
    const OutputFolder folder_;
    const QString extension_;
    const Reporter reporter_;

    std::mutex mutex_;
    std::condition_variable workWaiting_;
    std::condition_variable slotFree_;
    std::vector<SavingJob> queue_;
    std::size_t held_ = 0;
    std::map<int, Staged> staged_;
    int nextToPublish_ = 1;
    bool closed_ = false;
    bool stopped_ = false;
    std::optional<Problem> problem_;
    std::vector<std::jthread> workers_;
    // Last, so that it is registered once everything it touches exists, and gone first.
    std::stop_callback<std::function<void()>> onStop_;
};

}  // namespace lorvane
