#pragma once
// How the C library's allocator serves a program that holds documents of many
// megabytes.

// Blocks of 2 MiB and more (a big document's text, its paragraph tables) get pages of
// their own, so that growing one moves pages rather than copying megabytes, which
// would stall the window for tens of milliseconds while a big file loads. The heap
// keeps up to 64 MiB of freed small blocks rather than giving them back at once.
void TuneAllocatorForBigDocuments();
