// Worker threads for work over the rows of large tables (reading a file, sums over every
// row). The calling thread takes part in the work and is the only one that touches the
// windows; the workers only run the tasks they are given, and have ended when the object
// is destroyed.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class CTableWorkers {
public:
    // threads: how many threads run the tasks, the caller included; 0 for one per
    // processor that the process may use.
    explicit CTableWorkers(unsigned threads = 0);
    ~CTableWorkers();
    CTableWorkers(const CTableWorkers&) = delete;
    CTableWorkers& operator=(const CTableWorkers&) = delete;

    unsigned GetThreadCount() const { return m_nThreads; }

    // A task gets its number and the number of the thread that runs it, from 0 (the
    // caller) to GetThreadCount() - 1, so that it can use that thread's own buffers.
    using Task = std::function<void(size_t task, unsigned thread)>;

    // Hands task(0) ... task(count - 1) to the workers and returns at once, so that the
    // caller can do other work meanwhile; Finish must follow before the next Start.
    void Start(size_t count, Task task);
    // The caller runs the tasks that no worker has taken yet, then waits for the others.
    // An exception thrown by a task is thrown again here (the first one, once all ended).
    void Finish();
    // Start, then Finish.
    void Run(size_t count, Task task);

private:
    void WorkerLoop(unsigned thread);
    // Takes tasks until none is left.
    void RunTasks(unsigned thread);

    unsigned m_nThreads;
    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_wake;   // a new set of tasks, or the end
    std::condition_variable m_idle;   // a task ended, or a worker left the set
    Task m_task;
    size_t m_count = 0;
    size_t m_next = 0;       // the next task to hand out
    size_t m_finished = 0;   // tasks ended
    unsigned m_busy = 0;     // workers inside the current set
    unsigned long m_generation = 0;
    bool m_stop = false;
    std::exception_ptr m_error;
};
