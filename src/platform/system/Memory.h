#pragma once
// How the C library's allocator serves a program that holds documents of many
// megabytes.

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
