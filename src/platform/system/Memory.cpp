#include "platform/system/Memory.h"

#include <malloc.h>

void TuneAllocatorForBigDocuments()
{
#ifdef M_MMAP_THRESHOLD
    // Fixed thresholds: glibc's own raise the mmap threshold to the largest block
    // freed, up to 32 MiB, after which a growing 20 MB buffer is copied on each growth.
    mallopt(M_MMAP_THRESHOLD, 2 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}
