// Large tables and buffers filled or read at random: in pages of 2 MiB, where
// the system gives them on request, filling them takes one fault per 2 MiB
// instead of one per 4 KiB, and a lookup seldom misses the address cache.
#pragma once

#include <cstddef>

namespace dz {

// Asks for huge pages for the whole 2 MiB pages inside [data, data + bytes),
// before they are first touched. Does nothing where the system has no such
// request (Windows) or refuses it.
//
// The request covers every 4 KiB page the bytes touch, not only the 2 MiB
// pages: a large block that the allocator mapped on its own then keeps one
// set of flags, and realloc can still move it by remapping its pages. A
// request for its inner 2 MiB pages alone splits the mapping in three, and
// the remap of a split mapping fails into a copy of every byte.
void adviseHugePages(const void* data, size_t bytes);

// Blocks whose every 2 MiB can be a huge page: the allocator's own blocks
// start a few bytes into a page, and a table of 5 MiB at such an address has
// only one or two whole 2 MiB pages inside it; the rest fills by 4 KiB
// faults and is read through as many address-cache entries. On Linux a
// block of 2 MiB or more is a mapping of its own that starts on a 2 MiB
// boundary; smaller blocks, and every block elsewhere, are the allocator's.
// A block is freed or grown with the size it was made with. All three throw
// std::bad_alloc when the memory cannot be had.

// `bytes` zero bytes (none when 0: null).
void* allocateZeroedBlock(size_t bytes);
void freeBlock(void* block, size_t bytes);
// The block grown from `bytes` to `grown` (not fewer) bytes, its bytes kept
// and the new ones undefined; it may move. A large block moves by remapping
// its pages.
void* growBlock(void* block, size_t bytes, size_t grown);

}  // namespace dz
