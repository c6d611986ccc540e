// The ordered worker pool.
#include "similar/OrderedPool.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace darv::similar {
namespace {

// How far the workers may run ahead of take, per worker: bounds the results held in memory.
constexpr std::size_t kAheadPerWorker = 4;

class Pool
{
public:
    Pool(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& work)
        : m_ready(count, 0), m_work(work), m_ahead(kAheadPerWorker * threads)
    {
        for (unsigned t = 0; t < threads; ++t)
            m_threads.emplace_back([this] { workLoop(); });
    }
    ~Pool()
    {
        stop();
        for (std::thread& t : m_threads)
            t.join();
    }

    // Waits for item i; false when cancel came first.
    bool waitFor(std::size_t i, const std::atomic<bool>& cancel)
    {
        std::unique_lock lock(m_mutex);
        while (!m_ready[i]) {
            if (cancel.load())
                return false;
            m_changed.wait_for(lock, std::chrono::milliseconds(20));
        }
        return true;
    }
    void taken(std::size_t i)
    {
        {
            std::lock_guard lock(m_mutex);
            m_taken = i + 1;
        }
        m_changed.notify_all();
    }
    void stop()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopped = true;
        }
        m_changed.notify_all();
    }

private:
    void workLoop()
    {
        for (;;) {
            std::size_t i = 0;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock,
                               [this] { return m_stopped || m_next >= m_ready.size() || m_next < m_taken + m_ahead; });
                if (m_stopped || m_next >= m_ready.size())
                    return;
                i = m_next++;
            }
            m_work(i);
            {
                std::lock_guard lock(m_mutex);
                m_ready[i] = 1;
            }
            m_changed.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<char> m_ready;
    std::size_t m_next = 0;
    std::size_t m_taken = 0;
    bool m_stopped = false;
    const std::function<void(std::size_t)>& m_work;
    std::size_t m_ahead;
    std::vector<std::thread> m_threads;
};

} // namespace

unsigned defaultThreads()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : cores;
}

bool runOrdered(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& work,
                const std::function<bool(std::size_t)>& take, const std::atomic<bool>& cancel)
{
    if (threads <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            if (cancel.load())
                return false;
            work(i);
            if (!take(i))
                return false;
        }
        return true;
    }
    Pool pool(count, threads, work);
    for (std::size_t i = 0; i < count; ++i) {
        if (!pool.waitFor(i, cancel) || cancel.load() || !take(i))
            return false;
        pool.taken(i);
    }
    return true;
}

} // namespace darv::similar
