#pragma once
// Work on many items at once, taken in their own order: the items are
// computed on a pool of threads, while one caller sees every result in item
// order, on its own thread, as if they had been computed one by one.
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace kel {

// The number of threads a run uses when none is asked for: the machine's
// cores, at least 1.
int DefaultJobCount();

// Computes work(worker, index) for index 0..count-1 on `jobs` threads
// (worker 0..jobs-1 tells which thread, for state a thread keeps to itself)
// and hands each result to take(index, result) on the calling thread, in
// index order. A take that answers false ends the run: no work starts after
// it and the results computed ahead are dropped. With jobs <= 1 everything
// runs on the calling thread. An exception from work reaches the caller when
// its result would have been taken; one from take ends the run likewise.
// Returns false when a take ended the run.
template <class R>
bool RunInOrder(int count, int jobs, const std::function<R(int worker, int index)>& work,
                const std::function<bool(int index, R& result)>& take) {
    if (jobs > count) jobs = count;
    if (jobs <= 1) {
        for (int index = 0; index < count; ++index) {
            R result = work(0, index);
            if (!take(index, result)) return false;
        }
        return true;
    }
    struct Slot {
        std::optional<R> result;
        std::exception_ptr failure;
    };
    std::vector<Slot> slots(static_cast<std::size_t>(count));
    std::mutex mutex;
    std::condition_variable ready, room;
    int next = 0;      // the next index a worker starts
    int taken = 0;     // results handed to take so far
    bool stop = false;
    // Results wait for their turn; a bound keeps a slow take from holding
    // the whole run's results at once.
    const int ahead = 4 * jobs;
    auto worker = [&](int id) {
        for (;;) {
            int index;
            {
                std::unique_lock lock(mutex);
                room.wait(lock, [&] { return stop || next >= count || next - taken < ahead; });
                if (stop || next >= count) return;
                index = next++;
            }
            Slot slot;
            try {
                slot.result.emplace(work(id, index));
            } catch (...) {
                slot.failure = std::current_exception();
            }
            std::lock_guard lock(mutex);
            slots[static_cast<std::size_t>(index)] = std::move(slot);
            ready.notify_all();
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(static_cast<std::size_t>(jobs));
    auto finish = [&] {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        room.notify_all();
        for (std::thread& thread : threads) thread.join();
        threads.clear();
    };
    bool ranThrough = true;
    try {
        for (int id = 0; id < jobs; ++id) threads.emplace_back(worker, id);
        for (int index = 0; index < count; ++index) {
            Slot slot;
            {
                std::unique_lock lock(mutex);
                Slot& waiting = slots[static_cast<std::size_t>(index)];
                ready.wait(lock, [&] { return waiting.result.has_value() || waiting.failure; });
                slot = std::move(waiting);
                waiting = Slot{};
            }
            if (slot.failure) std::rethrow_exception(slot.failure);
            bool more = take(index, *slot.result);
            {
                std::lock_guard lock(mutex);
                taken = index + 1;
            }
            room.notify_all();
            if (!more) {
                ranThrough = false;
                break;
            }
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    return ranThrough;
}

}  // namespace kel
