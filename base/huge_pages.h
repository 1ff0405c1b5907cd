// Large tables and buffers filled or read at random: in pages of 2 MiB, where
// the system gives them on request, filling them takes one fault per 2 MiB
// instead of one per 4 KiB, and a lookup seldom misses the address cache.
#pragma once

#include <cstddef>

namespace dz {

// Asks for huge pages for the whole 2 MiB pages inside [data, data + bytes),
// before they are first touched. Does nothing where the system has no such
// request (Windows) or refuses it.
void adviseHugePages(const void* data, size_t bytes);

// Zeroed memory for a large table read at random: `bytes` or more on a
// 2 MiB boundary, in huge pages from its first byte to its last where the
// system gives them, instead of the 4 KiB pages at both ends that a block
// of calloc's would have. Null when the memory cannot be had; `block` is
// what to free().
void* callocHuge(size_t bytes, void*& block);

}  // namespace dz
