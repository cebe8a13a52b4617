#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <QByteArray>
#include <QImage>
#include <QString>

#include "output_folder.h"
#include "png_encoder.h"
#include "recording.h"

namespace lorvane {

// What the drawing thread hands over for one picture: everything needed to make its file,
// owned outright, as the surface goes on to draw the next picture meanwhile.
struct DrawnPicture {
    int number = 0;
    QString stem;
    // A picture to play at `scale` and write as a PNG with `text`, or a finished document.
    std::optional<Recording> recording;
    int scale = 1;
    PngText text;
    QByteArray document;
};

// Makes and writes the files of a batch on `jobs` threads while the pictures are still being
// drawn (one job: on the drawing thread, in turn), and gives them their names in picture order. A file gets its name,
// and is reported, only after every picture before it has; so whenever the batch stops, the files in the folder are
// exactly those reported so far.
class SavingPool {
public:
    // The bytes of a picture's file, or nothing when they cannot be made.
    using Encoder = std::function<std::optional<QByteArray>(const DrawnPicture& picture)>;
    // Reports a file in place; a problem stops the batch.
    using Reporter = std::function<std::optional<QString>(const QByteArray& path)>;

    SavingPool(int jobs, OutputFolder folder, QString extension, Encoder encoder, Reporter reporter);
    ~SavingPool();
    SavingPool(const SavingPool&) = delete;
    SavingPool& operator=(const SavingPool&) = delete;
    SavingPool(SavingPool&&) = delete;
    SavingPool& operator=(SavingPool&&) = delete;

    // Waits until at most `jobs` pictures are waiting or being saved (one more than the threads
    // can take, so that none waits for the drawing), then calls `take` and queues its picture.
    // Only the threads turn a picture into an image, so at most `jobs` images exist at once.
    // False once the batch has stopped.
    bool Submit(const std::function<DrawnPicture()>& take);
    // Waits for every file submitted, and gives the first problem.
    [[nodiscard]] std::optional<QString> Finish();
    // Stops the batch as soon as possible, leaving no file that has not been reported.
    // Callable from any thread.
    void Cancel();

private:
    // A file written in full under a hidden name, waiting for the files before it.
    struct Staged {
        QByteArray path;
        QString stem;
    };

    void Work();
    // Makes, stages and, when its turn has come, publishes one picture's file.
    void Save(DrawnPicture picture);
    void Fail(const QString& problem);
    // Names and reports the staged files whose turn has come.
    void PublishDue();
    void DiscardStaged();

    const std::size_t jobs_;
    const OutputFolder folder_;
    const QString extension_;
    const Encoder encoder_;
    const Reporter reporter_;

    std::mutex mutex_;
    std::condition_variable workWaiting_;
    std::condition_variable slotFree_;
    std::vector<DrawnPicture> queue_;
    std::size_t held_ = 0;
    std::map<int, Staged> staged_;
    int nextToPublish_ = 1;
    bool closed_ = false;
    bool stopped_ = false;
    std::optional<QString> problem_;
    std::vector<std::jthread> workers_;
};

}  // namespace lorvane
