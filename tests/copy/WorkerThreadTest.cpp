#include "copy/WorkerThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace rinvo;

TEST(WorkerThread, WaitReturnsOnlyAfterThePostedTaskRanOnTheHelper)
{
    WorkerThread worker;
    const auto caller = std::this_thread::get_id();
    int finished = 0;
    bool allOnHelper = true;
    for (int i = 0; i < 2000; ++i) {
        worker.post([&, i] {
            // Every tenth task outlasts the spin, so the sleeping path is taken too.
            if (i % 10 == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            allOnHelper = allOnHelper && std::this_thread::get_id() != caller;
            ++finished;
        });
        worker.wait();
        ASSERT_EQ(finished, i + 1);
    }
    EXPECT_TRUE(allOnHelper);
}

TEST(WorkerThread, StopsCleanlyWhileIdle)
{
    int ran = 0;
    {
        WorkerThread worker;
        worker.post([&] { ++ran; });
        worker.wait();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(ran, 1);
}
