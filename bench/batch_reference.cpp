// The yardstick of the batch goal: the least lorvane01-render's batch does, written plainly and
// left as it is. The drawing thread draws the sequence; JOBS threads each play a picture on their
// own player, encode it with the zlib reference encoder and write it with open, write and close.
// Usage: lorvane_batch_reference SEED PICTURES JOBS FOLDER
#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <QByteArray>
#include <QGuiApplication>

#include <fcntl.h>
#include <unistd.h>

#include "bench/png_zlib_reference.h"
#include "picture/picture_sequence.h"
#include "platform/fixed_clock.h"
#include "players/raster_player.h"

namespace {

constexpr int kArguments = 5;

struct Queue {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::pair<int, lorvane::RecordedPicture>> pictures;
    bool closed = false;
};

void Work(Queue& queue, const std::string& folder)
{
    lorvane::RasterPlayer player;
    for (;;) {
        std::unique_lock lock(queue.mutex);
        queue.changed.wait(lock, [&] { return queue.closed || !queue.pictures.empty(); });
        if (queue.pictures.empty()) {
            return;
        }
        auto [number, picture] = std::move(queue.pictures.front());
        queue.pictures.pop_front();
        lock.unlock();
        queue.changed.notify_all();
        const QByteArray bytes = lorvane::EncodePngZlibReference(player.Play(picture));
        const std::string path = folder + "/" + std::to_string(number) + ".png";
        const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);  // NOLINT
        if (file < 0 || write(file, bytes.constData(), static_cast<std::size_t>(bytes.size())) != bytes.size()) {
            std::perror(path.c_str());
        }
        close(file);
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != kArguments) {
        std::fprintf(stderr, "usage: lorvane_batch_reference SEED PICTURES JOBS FOLDER\n");
        return 2;
    }
    const float seed = std::stof(argv[1]);
    const int pictures = std::stoi(argv[2]);
    const auto jobs = static_cast<std::size_t>(std::max(std::stoi(argv[3]), 1));
    const std::string folder = argv[4];
    // Captions need fonts, not a display.
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    int noArguments = 1;
    const QGuiApplication app(noArguments, argv);

    lorvane::PictureSequence sequence(lorvane::FixedClock(2024, 3, 7, 9, 5, 2));
    sequence.Start(seed);
    Queue queue;
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < jobs; ++i) {
        workers.emplace_back([&] { Work(queue, folder); });
    }
    for (int number = 1; number <= pictures; ++number) {
        lorvane::RecordedPicture picture = sequence.DrawNext().recording;
        std::unique_lock lock(queue.mutex);
        // As the batch does: at most one picture more than the threads can take waits.
        queue.changed.wait(lock, [&] { return queue.pictures.size() <= jobs; });
        queue.pictures.emplace_back(number, std::move(picture));
        lock.unlock();
        queue.changed.notify_all();
    }
    {
        const std::lock_guard lock(queue.mutex);
        queue.closed = true;
    }
    queue.changed.notify_all();
    for (std::thread& worker : workers) {
        worker.join();
    }
    return 0;
}
