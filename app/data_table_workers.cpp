#include "app/data_table_workers.h"

#include <system_error>

#include "platform/core/large_block.h"

CTableWorkers::CTableWorkers(unsigned threads)
    : m_nThreads(threads ? threads : afx::UsableProcessorCount()) {}

CTableWorkers::~CTableWorkers() {
    {
        // Tasks not yet taken are dropped (a set left without Finish): their data may be gone.
        std::unique_lock<std::mutex> lock(m_mutex);
        m_next = m_count;
        m_idle.wait(lock, [this] { return m_busy == 0; });
        m_stop = true;
    }
    m_wake.notify_all();
    for (std::thread& t : m_threads) t.join();
}

void CTableWorkers::Start(size_t count, Task task) {
    {
        // A worker still leaving the last set reads the task and count: wait until it has left.
        std::unique_lock<std::mutex> lock(m_mutex);
        m_idle.wait(lock, [this] { return m_busy == 0; });
        m_task = std::move(task);
        m_count = count;
        m_next = 0;
        m_finished = 0;
        m_error = nullptr;
        ++m_generation;
    }
    // The threads start with the first set that has work for more than one.
    if (count > 1 && m_threads.empty() && m_nThreads > 1) {
        try {
            for (unsigned i = 1; i < m_nThreads; ++i) m_threads.emplace_back(&CTableWorkers::WorkerLoop, this, i);
        } catch (const std::system_error&) {
            // Fewer threads (or only the caller) do the same work.
        }
    }
    if (count > 1) m_wake.notify_all();
}

void CTableWorkers::Finish() {
    RunTasks(0);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_finished == m_count && m_busy == 0; });
    m_task = nullptr;
    if (m_error) {
        std::exception_ptr error = m_error;
        m_error = nullptr;
        std::rethrow_exception(error);
    }
}

void CTableWorkers::Run(size_t count, Task task) {
    Start(count, std::move(task));
    Finish();
}

void CTableWorkers::RunTasks(unsigned thread) {
    for (;;) {
        size_t i;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_next >= m_count) return;
            i = m_next++;
        }
        std::exception_ptr error;
        try {
            m_task(i, thread);
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        if (error && !m_error) m_error = error;
        if (++m_finished == m_count) m_idle.notify_all();
    }
}

void CTableWorkers::WorkerLoop(unsigned thread) {
    unsigned long seen = 0;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_stop || m_generation != seen; });
        if (m_stop) return;
        seen = m_generation;
        ++m_busy;
        lock.unlock();
        RunTasks(thread);
        lock.lock();
        if (--m_busy == 0) m_idle.notify_all();
    }
}
