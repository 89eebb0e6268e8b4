#pragma once
// While it lives, the process may take at most `headroom` bytes of address
// space beyond what it holds now, so that a reader that sizes an allocation by
// a huge file fails at once (std::bad_alloc) instead of swamping the machine.
// AddressSanitizer reserves terabytes of address space for itself: under it
// the ceiling is left off (the sanitizer build runs the same tests unguarded).

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

#if defined(__SANITIZE_ADDRESS__)
#define ZELVO_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZELVO_TEST_ASAN 1
#endif
#endif

class MemoryCeiling {
  public:
    explicit MemoryCeiling(rlim_t headroom)
    {
#ifndef ZELVO_TEST_ASAN
        getrlimit(RLIMIT_AS, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = AddressSpaceInUse() + headroom;
        if (saved_.rlim_max == RLIM_INFINITY || limit.rlim_cur < saved_.rlim_max)
            active_ = setrlimit(RLIMIT_AS, &limit) == 0;
#else
        (void)headroom;
#endif
    }
    ~MemoryCeiling()
    {
        if (active_)
            setrlimit(RLIMIT_AS, &saved_);
    }
    MemoryCeiling(const MemoryCeiling&) = delete;
    MemoryCeiling& operator=(const MemoryCeiling&) = delete;

    bool active() const { return active_; }

  private:
    // The process's virtual size: the first field of /proc/self/statm, in pages.
    static rlim_t AddressSpaceInUse()
    {
        unsigned long pages = 0;
        if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%lu", &pages) != 1)
                pages = 0;
            std::fclose(statm);
        }
        return rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE));
    }

    rlimit saved_{};
    bool active_ = false;
};
