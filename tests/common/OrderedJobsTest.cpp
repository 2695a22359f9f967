// Work shared out to threads and taken back in item order.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "common/Messages.h"
#include "common/OrderedJobs.h"

namespace kel {
namespace {

// Later items finish first, so that results arrive out of order.
std::function<int(int, int)> SlowFirst(int count, std::atomic<int>& started) {
    return [count, &started](int, int index) {
        ++started;
        std::this_thread::sleep_for(std::chrono::microseconds(50 * (count - index)));
        return index * index;
    };
}

TEST(OrderedJobs, ResultsAreTakenInItemOrderOnTheCallersThread) {
    for (int jobs : {1, 2, 7}) {
        std::atomic<int> started{0};
        std::vector<int> taken;
        const std::thread::id caller = std::this_thread::get_id();
        std::function<bool(int, int&)> take = [&](int index, int& result) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            EXPECT_EQ(result, index * index);
            taken.push_back(index);
            return true;
        };
        EXPECT_TRUE(RunInOrder<int>(40, jobs, SlowFirst(40, started), take));
        ASSERT_EQ(taken.size(), 40u) << jobs;
        for (int i = 0; i < 40; ++i) EXPECT_EQ(taken[static_cast<std::size_t>(i)], i);
    }
}

TEST(OrderedJobs, AStoppingTakeEndsTheRunAndLittleWorkRunsPastIt) {
    std::atomic<int> started{0};
    std::vector<int> taken;
    std::function<bool(int, int&)> take = [&](int index, int&) {
        taken.push_back(index);
        return index < 5;
    };
    EXPECT_FALSE(RunInOrder<int>(1000, 3, SlowFirst(1000, started), take));
    EXPECT_EQ(taken, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    // Work runs ahead of the takes only by a bounded number of items.
    EXPECT_LE(started.load(), 6 + 4 * 3);
}

TEST(OrderedJobs, AFailingItemFailsWhereItsResultWouldBeTaken) {
    for (int jobs : {1, 4}) {
        std::vector<int> taken;
        std::function<int(int, int)> work = [](int, int index) {
            if (index == 6) throw std::runtime_error("item 6");
            return index;
        };
        std::function<bool(int, int&)> take = [&](int index, int&) {
            taken.push_back(index);
            return true;
        };
        try {
            RunInOrder<int>(30, jobs, work, take);
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), "item 6");
        }
        EXPECT_EQ(taken.size(), 6u) << jobs;
    }
}

TEST(OrderedJobs, EachWorkerKeepsToItsOwnStateAndMessagesStayWithTheirThread) {
    std::vector<int> perWorker(3, 0);
    TRecordedMessages shownHere;
    TThreadMessageCapture capture(shownHere);
    std::function<std::vector<std::string>(int, int)> work = [&](int worker, int index) {
        ++perWorker[static_cast<std::size_t>(worker)];  // unsynchronised: one thread per worker
        TRecordedMessages own;
        TThreadMessageCapture inJob(own);
        ShowMessage("item " + std::to_string(index));
        std::vector<std::string> texts;
        for (const auto& m : own.Recorded()) texts.push_back(m.text);
        return texts;
    };
    std::function<bool(int, std::vector<std::string>&)> take = [](int index, std::vector<std::string>& texts) {
        EXPECT_EQ(texts, std::vector<std::string>{"item " + std::to_string(index)});
        return true;
    };
    RunInOrder<std::vector<std::string>>(50, 3, work, take);
    EXPECT_EQ(perWorker[0] + perWorker[1] + perWorker[2], 50);
    EXPECT_TRUE(shownHere.Recorded().empty()) << "a job's box reached the caller's thread";
    ShowMessage("mine");
    ASSERT_EQ(shownHere.Recorded().size(), 1u);
}

}  // namespace
}  // namespace kel
