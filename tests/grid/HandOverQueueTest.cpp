#include "grid/HandOverQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using wl::HandOverQueue;
using namespace std::chrono_literals;

TEST(HandOverQueueTest, EveryItemArrivesInOrderAndFinishEndsAfterTheLast)
{
    HandOverQueue<int> queue(3);
    std::thread producer([&] {
        for (int i = 0; i < 10000; ++i)
            ASSERT_TRUE(queue.put(int(i)));
        queue.finish();
    });
    std::vector<int> taken;
    while (std::optional<int> item = queue.take())
        taken.push_back(*item);
    producer.join();
    ASSERT_EQ(taken.size(), 10000u);
    for (int i = 0; i < 10000; ++i)
        ASSERT_EQ(taken[size_t(i)], i);
    EXPECT_FALSE(queue.take()); // stays ended
}

TEST(HandOverQueueTest, AFullQueueHoldsTheProducerUntilAnItemIsTaken)
{
    HandOverQueue<int> queue(2);
    ASSERT_TRUE(queue.put(1));
    ASSERT_TRUE(queue.put(2));
    std::atomic<bool> putThird = false;
    std::thread producer([&] {
        EXPECT_TRUE(queue.put(3));
        putThird = true;
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(putThird);
    EXPECT_EQ(queue.take(), 1);
    producer.join();
    EXPECT_TRUE(putThird);
    EXPECT_EQ(queue.take(), 2);
    EXPECT_EQ(queue.take(), 3);
}

// A consumer that gives up must free a producer waiting on a full queue, and a producer that
// gives up must free a consumer waiting on an empty one; otherwise a cancelled job never ends.
TEST(HandOverQueueTest, StopWakesAWaitingProducerAndAWaitingConsumer)
{
    HandOverQueue<int> full(1);
    ASSERT_TRUE(full.put(1));
    std::thread producer([&] { EXPECT_FALSE(full.put(2)); });
    std::this_thread::sleep_for(20ms);
    full.stop();
    producer.join();
    EXPECT_FALSE(full.take()); // a stopped queue hands nothing more over

    HandOverQueue<int> empty(1);
    std::thread consumer([&] { EXPECT_FALSE(empty.take()); });
    std::this_thread::sleep_for(20ms);
    empty.stop();
    consumer.join();
    EXPECT_TRUE(empty.stopped());
}
