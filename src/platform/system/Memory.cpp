#include "platform/system/Memory.h"

#include <malloc.h>

namespace {

constexpr int kOwnPagesFrom = 2 * 1024 * 1024;
// The most glibc takes as a threshold on a 64-bit system.
constexpr int kHeapUpTo = 32 * 1024 * 1024;
bool tuned = false;
int reusing = 0;  // Begin... not yet ended

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
