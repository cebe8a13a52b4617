#include "render/saving_pool.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include <QFile>
#include <QTemporaryDir>

namespace lorvane {
namespace {

using namespace std::chrono_literals;

// Files made while the first is slow wait unnamed for it; were they not held back, a disk that
// fills would take every one of them and leave nothing listed.
TEST(SavingPool, ASlowFileHoldsTheOthersBackToOneMoreThanTheThreads)
{
    constexpr int kJobs = 2;
    constexpr int kFiles = 12;
    const QTemporaryDir dir;
    std::mutex mutex;
    std::condition_variable madeOne;
    int made = 0;
    int madeWhileTheFirstWaited = 0;
    int listed = 0;
    SavingPool pool(kJobs, OutputFolder(QFile::encodeName(dir.path())), QStringLiteral(".png"),
                    [&listed](const QByteArray&) -> std::optional<Problem> {
                        ++listed;
                        return std::nullopt;
                    });
    for (int number = 1; number <= kFiles; ++number) {
        const auto bytes = [&, number]() -> std::optional<QByteArray> {
            std::unique_lock lock(mutex);
            if (number == 1) {
                // Long enough for all the others to be made, if nothing holds them back.
                madeOne.wait_for(lock, 300ms, [&] { return made == kFiles - 1; });
                madeWhileTheFirstWaited = made;
            } else {
                ++made;
                madeOne.notify_all();
            }
            return QByteArray::number(number);
        };
        ASSERT_TRUE(pool.Submit({number, QString::number(number), bytes}));
    }
    EXPECT_EQ(pool.Finish(), std::nullopt);
    EXPECT_LE(madeWhileTheFirstWaited, kJobs);
    EXPECT_EQ(listed, kFiles);
}

}  // namespace
}  // namespace lorvane
