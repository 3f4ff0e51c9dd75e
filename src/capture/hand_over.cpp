#include "capture/hand_over.h"

#include <system_error>

namespace rk {

void RowGate::release(std::int32_t rows) {
    {
        std::lock_guard lock(mutex_);
        if (rows > rows_)
            rows_ = rows;
    }
    changed_.notify_all();
}

void RowGate::close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

bool RowGate::waitFor(std::int32_t rows) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return rows_ >= rows || closed_; });
    return rows_ >= rows;
}

void ChunkQueue::keep(std::vector<std::uint8_t>&& chunk) {
    if (chunk.capacity() > 0) {
        chunk.clear();
        spare_.push_back(std::move(chunk));
    }
}

void ChunkQueue::reset() {
    std::lock_guard lock(mutex_);
    for (auto& chunk : chunks_) keep(std::move(chunk));
    chunks_.clear();
    finished_ = complete_ = left_ = false;
}

void ChunkQueue::release() {
    std::lock_guard lock(mutex_);
    spare_ = {};
}

bool ChunkQueue::put(std::span<const std::uint8_t> bytes) {
    {
        std::lock_guard lock(mutex_);
        if (left_)
            return false;
        std::vector<std::uint8_t> chunk;
        if (!spare_.empty()) {
            chunk = std::move(spare_.back());
            spare_.pop_back();
        }
        chunk.assign(bytes.begin(), bytes.end());
        chunks_.push_back(std::move(chunk));
    }
    changed_.notify_all();
    return true;
}

void ChunkQueue::finish(bool complete) {
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
        complete_ = complete;
    }
    changed_.notify_all();
}

ChunkQueue::Take ChunkQueue::take(std::vector<std::uint8_t>& chunk) {
    std::unique_lock lock(mutex_);
    keep(std::move(chunk));
    chunk = {};
    changed_.wait(lock, [&] { return !chunks_.empty() || finished_; });
    // A broken whole is broken however much of it came.
    if (finished_ && !complete_)
        return Take::Broken;
    if (chunks_.empty())
        return Take::End;
    chunk = std::move(chunks_.front());
    chunks_.pop_front();
    return Take::Chunk;
}

void ChunkQueue::leave() {
    std::lock_guard lock(mutex_);
    left_ = true;
    for (auto& chunk : chunks_) keep(std::move(chunk));
    chunks_.clear();
}

Worker::~Worker() {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

bool Worker::ready() {
    if (thread_.joinable())
        return true;
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

bool Worker::start(std::function<void()> job) {
    if (!ready())
        return false;
    wait();
    {
        std::lock_guard lock(mutex_);
        job_ = std::move(job);
        busy_ = true;
    }
    changed_.notify_all();
    return true;
}

void Worker::wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !busy_; });
}

void Worker::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return busy_ || ending_; });
        if (!busy_)
            return;
        std::function<void()> job = std::move(job_);
        lock.unlock();
        job();
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

}  // namespace rk
