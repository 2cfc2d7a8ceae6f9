// Critical sections: the one lock the script pools and the unit cache use. Real
// on every backend (the test fake does not replace it).
#pragma once

#include <atomic>
#include <thread>

namespace platform {

// Storage large enough for a CRITICAL_SECTION or a pthread mutex.
struct critical_section {
    alignas(8) unsigned char storage[64];
};

void initialize_critical_section(critical_section* section);
void delete_critical_section(critical_section* section);
void enter_critical_section(critical_section* section);
void leave_critical_section(critical_section* section);

// Holds a critical section for the lifetime of a scope.
class scoped_lock {
public:
    explicit scoped_lock(critical_section& section)
        : section_(section)
    {
        enter_critical_section(&section_);
    }
    ~scoped_lock() { leave_critical_section(&section_); }
    scoped_lock(const scoped_lock&) = delete;
    scoped_lock& operator=(const scoped_lock&) = delete;

private:
    critical_section& section_;
};

// A light lock for sections of a few instructions that never nest and never
// wait on anything else (the node pool): taking a free lock is one atomic
// exchange and leaving it a plain store, half the atomic work of a critical
// section. A waiter spins a while, then yields its time slice between tries.
// Not recursive. Constant-initialised, so it works from any static initialiser
// and after every static destructor without being created or deleted.
class spin_lock {
public:
    constexpr spin_lock() = default;
    spin_lock(const spin_lock&) = delete;
    spin_lock& operator=(const spin_lock&) = delete;

    void enter()
    {
        if (locked_.exchange(true, std::memory_order_acquire))
            wait_and_enter();
    }
    void leave() { locked_.store(false, std::memory_order_release); }

private:
    // Tries spent spinning before a waiter starts yielding: a few microseconds
    // of pause instructions, far longer than a running holder stays inside. A
    // holder still inside after that has probably been preempted, and yielding
    // lets it run.
    static constexpr int spin_limit = 200;

    static void relax()
    {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }

    void wait_and_enter()
    {
        for (int tries = 0;; ++tries) {
            if (!locked_.load(std::memory_order_relaxed) && !locked_.exchange(true, std::memory_order_acquire))
                return;
            if (tries < spin_limit)
                relax();
            else
                std::this_thread::yield();
        }
    }

    std::atomic<bool> locked_ { false };
};

// Holds a spin lock for the lifetime of a scope.
class spin_guard {
public:
    explicit spin_guard(spin_lock& lock)
        : lock_(lock)
    {
        lock.enter();
    }
    ~spin_guard() { lock_.leave(); }
    spin_guard(const spin_guard&) = delete;
    spin_guard& operator=(const spin_guard&) = delete;

private:
    spin_lock& lock_;
};

} // namespace platform
