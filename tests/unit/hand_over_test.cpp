#include "capture/hand_over.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace rk {
namespace {

using namespace std::chrono_literals;

std::span<const std::uint8_t> bytesOf(const std::vector<std::uint8_t>& v) {
    return {v.data(), v.size()};
}

TEST(RowGate, RowsInPlaceAreGivenAtOnceAndNeverTakenBack) {
    RowGate gate;
    gate.release(32);
    EXPECT_TRUE(gate.waitFor(16));
    gate.release(8);  // an older count does not shrink what is there
    EXPECT_TRUE(gate.waitFor(32));
    gate.close();
    EXPECT_TRUE(gate.waitFor(32));
    EXPECT_FALSE(gate.waitFor(33));
}

TEST(RowGate, WaiterWakesWhenItsRowsArriveOrTheGateCloses) {
    RowGate gate;
    std::atomic<int> result{-1};
    std::thread waiter([&] { result = gate.waitFor(20) ? 1 : 0; });
    gate.release(10);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(result, -1) << "woke with too few rows";
    gate.release(20);
    waiter.join();
    EXPECT_EQ(result, 1);

    std::thread closed([&] { result = gate.waitFor(40) ? 1 : 0; });
    gate.close();
    closed.join();
    EXPECT_EQ(result, 0);
}

TEST(ChunkQueue, ChunksComeInOrderThenTheEnd) {
    ChunkQueue queue;
    const std::vector<std::uint8_t> a{1, 2, 3}, b{4};
    EXPECT_TRUE(queue.put(bytesOf(a)));
    EXPECT_TRUE(queue.put(bytesOf(b)));
    queue.finish(true);
    std::vector<std::uint8_t> chunk;
    ASSERT_EQ(queue.take(chunk), ChunkQueue::Take::Chunk);
    EXPECT_EQ(chunk, a);
    ASSERT_EQ(queue.take(chunk), ChunkQueue::Take::Chunk);
    EXPECT_EQ(chunk, b);
    EXPECT_EQ(queue.take(chunk), ChunkQueue::Take::End);
    EXPECT_EQ(queue.take(chunk), ChunkQueue::Take::End);
}

TEST(ChunkQueue, BrokenWholeIsBrokenWhateverCameBefore) {
    ChunkQueue queue;
    const std::vector<std::uint8_t> a{1, 2, 3};
    queue.put(bytesOf(a));
    queue.finish(false);
    std::vector<std::uint8_t> chunk;
    EXPECT_EQ(queue.take(chunk), ChunkQueue::Take::Broken);
}

TEST(ChunkQueue, MakerLearnsWhenTheTakerHasLeft) {
    ChunkQueue queue;
    const std::vector<std::uint8_t> a{1};
    EXPECT_TRUE(queue.put(bytesOf(a)));
    queue.leave();
    EXPECT_FALSE(queue.put(bytesOf(a)));
}

TEST(ChunkQueue, ChunkMemoryIsUsedAgainForTheNextWhole) {
    ChunkQueue queue;
    const std::vector<std::uint8_t> a(1000, 1), b(900, 2);
    queue.put(bytesOf(a));
    queue.finish(true);
    std::vector<std::uint8_t> chunk;
    ASSERT_EQ(queue.take(chunk), ChunkQueue::Take::Chunk);
    const std::uint8_t* memory = chunk.data();
    ASSERT_EQ(queue.take(chunk), ChunkQueue::Take::End);  // the chunk goes back
    EXPECT_TRUE(chunk.empty());

    queue.reset();
    queue.put(bytesOf(b));
    queue.finish(true);
    ASSERT_EQ(queue.take(chunk), ChunkQueue::Take::Chunk);
    EXPECT_EQ(chunk, b);
    EXPECT_EQ(chunk.data(), memory);
}

TEST(ChunkQueue, ResetStartsAFreshWhole) {
    ChunkQueue queue;
    const std::vector<std::uint8_t> a{1};
    queue.put(bytesOf(a));
    queue.leave();
    queue.finish(false);
    queue.reset();
    EXPECT_TRUE(queue.put(bytesOf(a)));
    queue.finish(true);
    std::vector<std::uint8_t> chunk;
    ASSERT_EQ(queue.take(chunk), ChunkQueue::Take::Chunk);
    EXPECT_EQ(chunk, a);
    EXPECT_EQ(queue.take(chunk), ChunkQueue::Take::End);
}

TEST(ChunkQueue, TakerWaitsForTheMaker) {
    ChunkQueue queue;
    std::vector<std::uint8_t> got;
    std::thread taker([&] {
        std::vector<std::uint8_t> chunk;
        while (queue.take(chunk) == ChunkQueue::Take::Chunk)
            got.insert(got.end(), chunk.begin(), chunk.end());
    });
    for (std::uint8_t i = 0; i < 50; ++i) {
        const std::vector<std::uint8_t> one{i};
        queue.put(bytesOf(one));
    }
    queue.finish(true);
    taker.join();
    ASSERT_EQ(got.size(), 50u);
    for (std::uint8_t i = 0; i < 50; ++i) EXPECT_EQ(got[i], i);
}

TEST(Worker, JobsRunOneAfterAnotherOnOneKeptThread) {
    Worker worker;
    std::thread::id first, second;
    std::atomic<bool> slowDone{false};
    ASSERT_TRUE(worker.start([&] {
        first = std::this_thread::get_id();
        std::this_thread::sleep_for(20ms);
        slowDone = true;
    }));
    // The next job waits for the one before it.
    ASSERT_TRUE(worker.start([&] {
        EXPECT_TRUE(slowDone);
        second = std::this_thread::get_id();
    }));
    worker.wait();
    EXPECT_EQ(first, second);
    EXPECT_NE(first, std::this_thread::get_id());
}

TEST(Worker, WaitReturnsOnlyOnceTheJobIsDone) {
    Worker worker;
    worker.wait();  // nothing started: nothing to wait for
    std::atomic<bool> done{false};
    ASSERT_TRUE(worker.start([&] {
        std::this_thread::sleep_for(20ms);
        done = true;
    }));
    worker.wait();
    EXPECT_TRUE(done);
}

}  // namespace
}  // namespace rk
