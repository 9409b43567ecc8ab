#pragma once
// How the C library's allocator serves a program that holds documents of many
// megabytes.
#include <functional>

// Blocks of 2 MiB and more (a big document's text, its paragraph tables) get pages of
// their own, so that growing one moves pages rather than copying megabytes, which
// would stall the window for tens of milliseconds while a big file loads. The heap
// keeps up to 64 MiB of freed small blocks rather than giving them back at once.
void TuneAllocatorForBigDocuments();

// Between the two (they nest), blocks of up to 32 MiB come from the heap instead of
// pages of their own: for a big copy made again and again, such as Qt's copy of a long
// paragraph's text after each edit of it. Pages of a block's own are given back when
// it is freed, and taking them anew costs more than the copy (85 ms against 1 ms for
// 20 MB on a virtual machine); the heap's are used again. Nothing changes unless
// TuneAllocatorForBigDocuments ran.
void BeginReusingPagesForBigBlocks();
void EndReusingPagesForBigBlocks();

// Runs job on a thread that does nothing else, one thread for each `heap` (0 to
// kOwnHeaps - 1), and waits for it. The C library gives each thread a heap of its own,
// so what the job allocates lies apart from everything else: a big block freed and
// made again there, a little bigger each time (Qt's copy of a long paragraph's text,
// freed by each edit of it and made again by the next caret move), finds its old pages
// free. In the shared heap, blocks taken meanwhile hem the freed one in, and a copy one
// character longer no longer fits it: it takes fresh pages. What the job allocates may
// be freed from any thread. Runs job on the calling thread when no thread can be
// started.
inline constexpr int kOwnHeaps = 2;
void RunOnOwnHeap(int heap, const std::function<void()>& job);
