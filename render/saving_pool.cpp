#include "render/saving_pool.h"

#include <algorithm>
#include <string>
#include <utility>

namespace lorvane {

SavingPool::SavingPool(int jobs, OutputFolder folder, QString extension, Reporter reporter, std::stop_token stop)
    : jobs_(static_cast<std::size_t>(std::max(jobs, 1))),
      folder_(std::move(folder)),
      extension_(std::move(extension)),
      reporter_(std::move(reporter)),
      onStop_(std::move(stop), [this] { Cancel(); })
{
    // One job is the plain serial run: the drawing thread makes and writes each file itself.
    if (jobs_ > 1) {
        workers_.reserve(jobs_);
        for (std::size_t i = 0; i < jobs_; ++i) {
            workers_.emplace_back([this] { Work(); });
        }
    }
}

SavingPool::~SavingPool()
{
    Cancel();
    static_cast<void>(Finish());
}

bool SavingPool::Submit(SavingJob job)
{
    {
        std::unique_lock lock(mutex_);
        slotFree_.wait(lock,
                       [this] { return stopped_ || held_ + staged_.size() < jobs_ + (workers_.empty() ? 0 : 1); });
        if (stopped_) {
            return false;
        }
        ++held_;
    }
    if (workers_.empty()) {
        Save(std::move(job));
        return true;
    }
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(std::move(job));
    }
    workWaiting_.notify_one();
    return true;
}

std::optional<Problem> SavingPool::Finish()
{
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
    }
    workWaiting_.notify_all();
    for (std::jthread& worker : workers_) {
        if (worker.joinable()) {
            worker.join();
        }
    }
    const std::lock_guard lock(mutex_);
    DiscardStaged();
    return problem_;
}

void SavingPool::Cancel()
{
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
        DiscardStaged();
    }
    workWaiting_.notify_all();
    slotFree_.notify_all();
}

void SavingPool::Work()
{
    for (;;) {
        SavingJob job;
        {
            std::unique_lock lock(mutex_);
            workWaiting_.wait(lock, [this] { return stopped_ || closed_ || !queue_.empty(); });
            if (stopped_ || queue_.empty()) {
                return;
            }
            // Oldest first, so that files are ready about when their turn comes.
            job = std::move(queue_.front());
            queue_.erase(queue_.begin());
        }
        Save(std::move(job));
    }
}

void SavingPool::Save(SavingJob job)
{
    const std::optional<QByteArray> bytes = job.bytes();
    const int number = job.number;
    const QString stem = job.stem;
    job = {};
    OutputFolder::Saved saved;
    if (bytes) {
        saved = folder_.Stage(stem, extension_, *bytes);
    } else {
        saved.problem = Problem{"cannot encode picture " + std::to_string(number), Problem::kFailed};
    }
    {
        const std::lock_guard lock(mutex_);
        --held_;
        if (saved.problem) {
            Fail(*saved.problem);
        } else if (stopped_) {
            OutputFolder::Discard(saved.path);
        } else {
            staged_.emplace(number, Staged{saved.path, stem});
            PublishDue();
        }
    }
    slotFree_.notify_one();
}

void SavingPool::Fail(const Problem& problem)
{
    if (!problem_) {
        problem_ = problem;
    }
    stopped_ = true;
    DiscardStaged();
    workWaiting_.notify_all();
    slotFree_.notify_all();
}

void SavingPool::PublishDue()
{
    for (auto next = staged_.find(nextToPublish_); !stopped_ && next != staged_.end();
         next = staged_.find(nextToPublish_)) {
        const Staged file = std::move(next->second);
        staged_.erase(next);
        ++nextToPublish_;
        const OutputFolder::Saved saved = folder_.Publish(file.path, file.stem, extension_);
        if (saved.problem) {
            Fail(*saved.problem);
        } else if (const std::optional<Problem> problem = reporter_(saved.path)) {
            // A file whose line could not be written is not listed, so it must not stay.
            OutputFolder::Discard(saved.path);
            Fail(*problem);
        }
    }
}

void SavingPool::DiscardStaged()
{
    for (const auto& [number, file] : staged_) {
        OutputFolder::Discard(file.path);
    }
    staged_.clear();
}

}  // namespace lorvane
