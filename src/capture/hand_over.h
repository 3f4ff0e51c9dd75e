// Handing a picture from the thread that reads it to the thread that encodes it, and the
// encoded bytes on to the thread that writes them, so that the three overlap.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

namespace rk {

// How many rows of a picture, counted from the top, are in place.
class RowGate {
  public:
    // Rows [0, rows) are in place.
    void release(std::int32_t rows);
    // No more rows will come.
    void close();
    // Waits until the first rows are in place; false when the gate closed before they were.
    bool waitFor(std::int32_t rows);

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::int32_t rows_ = 0;
    bool closed_ = false;
};

// Bytes on their way from the one thread that makes them to the one that takes them. The
// chunks' memory is kept for the next whole: fresh memory costs more than the copying.
class ChunkQueue {
  public:
    enum class Take { Chunk, End, Broken };

    // Before a new whole: what is left of the last one is dropped.
    void reset();
    // Gives the kept memory back.
    void release();
    // Maker: false once the taker has left and no more bytes are wanted.
    bool put(std::span<const std::uint8_t> bytes);
    // Maker: no more bytes; complete says whether they make a whole.
    void finish(bool complete);
    // Taker: waits for the next chunk (Chunk), the end of a whole (End) or of a broken one.
    // The chunk it held before goes back to be used again.
    Take take(std::vector<std::uint8_t>& chunk);
    // Taker: wants no more bytes.
    void leave();

  private:
    void keep(std::vector<std::uint8_t>&& chunk);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<std::uint8_t>> chunks_;
    std::vector<std::vector<std::uint8_t>> spare_;
    bool finished_ = false;
    bool complete_ = false;
    bool left_ = false;
};

// One thread kept for jobs handed to it one at a time: making a thread takes milliseconds under
// Wine, more than the work it would save. While no job runs it waits and costs nothing.
class Worker {
  public:
    Worker() = default;
    ~Worker();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Makes the thread now, ahead of the first job. False when no thread can be had.
    bool ready();
    // Runs job on the worker's thread, after the one before it. False when no thread can be had.
    bool start(std::function<void()> job);
    // Waits until the job started last is done.
    void wait();

  private:
    void run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;
    bool busy_ = false;
    bool ending_ = false;
    std::thread thread_;
};

}  // namespace rk
