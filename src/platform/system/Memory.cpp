#include "platform/system/Memory.h"

#include <condition_variable>
#include <malloc.h>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

constexpr int kOwnPagesFrom = 2 * 1024 * 1024;
// The most glibc takes as a threshold on a 64-bit system.
constexpr int kHeapUpTo = 32 * 1024 * 1024;
bool tuned = false;
int reusing = 0;  // Begin... not yet ended

// A thread RunOnOwnHeap runs jobs on: started with its first job, ended with the
// program.
class OwnHeapThread {
public:
    ~OwnHeapThread()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }

    // False when the thread cannot be started.
    bool Run(const std::function<void()>& job)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (std::this_thread::get_id() == thread_.get_id())
            return false;  // a job of its own, which it cannot wait for
        if (!thread_.joinable()) {
            try {
                thread_ = std::thread([this]() { Serve(); });
            } catch (const std::system_error&) {
                return false;
            }
        }
        // Another thread's job goes first.
        changed_.wait(lock, [this]() { return job_ == nullptr; });
        job_ = &job;
        changed_.notify_all();
        changed_.wait(lock, [this]() { return job_ == nullptr; });
        return true;
    }

private:
    void Serve()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this]() { return stopping_ || job_ != nullptr; });
            if (stopping_)
                return;
            // The caller waits meanwhile, so what the job touches is not touched by it.
            (*job_)();
            job_ = nullptr;
            changed_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    const std::function<void()>* job_ = nullptr;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace

void TuneAllocatorForBigDocuments()
{
#ifdef M_MMAP_THRESHOLD
    // Fixed thresholds: glibc's own raise the mmap threshold to the largest block
    // freed, up to 32 MiB, after which a growing 20 MB buffer is copied on each growth.
    mallopt(M_MMAP_THRESHOLD, kOwnPagesFrom);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
    tuned = true;
#endif
}

void BeginReusingPagesForBigBlocks()
{
#ifdef M_MMAP_THRESHOLD
    if (tuned && reusing++ == 0)
        mallopt(M_MMAP_THRESHOLD, kHeapUpTo);
#endif
}

void EndReusingPagesForBigBlocks()
{
#ifdef M_MMAP_THRESHOLD
    if (tuned && reusing > 0 && --reusing == 0)
        mallopt(M_MMAP_THRESHOLD, kOwnPagesFrom);
#endif
}

void RunOnOwnHeap(int heap, const std::function<void()>& job)
{
    static OwnHeapThread threads[kOwnHeaps];
    if (heap < 0 || heap >= kOwnHeaps || !threads[heap].Run(job))
        job();
}
