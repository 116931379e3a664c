// SPDX-FileCopyrightText: 2026 The capability_header authors
// SPDX-License-Identifier: MIT
//
// The name slot index: the capability table turned into an array indexed by capability number,
// with the two sizes the header reports. The array grows to 2 * n + 1 slots whenever number n
// does not fit, so a table in ascending order reallocates only a handful of times.
//
// Defined inline here rather than in a .cpp of its own: every source file is one more compiler run
// in each clean build of the tool's users, and this code is small.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "cap_table.h"

struct slot_index {
    const char **slots;     // slot n names capability n, or is nullptr; owned, names are not
    std::int32_t capacity;  // slots allocated; every slot at or above bits is empty
    std::int32_t bits;      // one more than the largest number seen
    std::int32_t longest;   // length of the longest name seen, without its NUL
};

enum class build_status : std::uint8_t { ok, out_of_memory, number_out_of_range };

inline void release_slot_index(slot_index *index) {
    std::free(static_cast<void *>(index->slots));
    *index = slot_index{};
}

// Grows the array to hold slot n, with the new slots empty. The byte size is computed in
// int32_t, which cap_number_in_range(n) keeps from overflowing.
inline bool grow_slots_for(slot_index *index, std::int32_t n) {
    const std::int32_t capacity = (2 * n) + 1;
    const std::int32_t bytes = capacity * std::int32_t{sizeof *index->slots};
    void *grown = std::realloc(static_cast<void *>(index->slots), static_cast<std::size_t>(bytes));
    if (grown == nullptr)
        return false;
    index->slots = static_cast<const char **>(grown);
    for (std::int32_t i = index->capacity; i < capacity; ++i)
        index->slots[i] = nullptr;
    index->capacity = capacity;
    return true;
}

inline build_status add_cap_row(slot_index *index, const cap_row &row) {
    const std::int32_t n = row.number;
    if (!cap_number_in_range(n))
        return build_status::number_out_of_range;
    if (n >= index->capacity && !grow_slots_for(index, n))
        return build_status::out_of_memory;
    if (n >= index->bits)
        index->bits = n + 1;
    index->slots[n] = row.name;
    const std::size_t length = std::strlen(row.name);
    if (length > static_cast<std::size_t>(index->longest))
        index->longest = static_cast<std::int32_t>(length);
    return build_status::ok;
}

// Fills a zeroed index from rows up to their sentinel. On failure the index is released and
// zeroed again, so the caller has nothing to free.
inline build_status build_slot_index(const cap_row *rows, slot_index *index) {
    for (const cap_row *row = rows; row->name != nullptr; ++row) {
        const build_status status = add_cap_row(index, *row);
        if (status != build_status::ok) {
            release_slot_index(index);
            return status;
        }
    }
    return build_status::ok;
}

// The fixed message the tool prints for a failed build; none for ok.
inline const char *build_status_message(build_status status) {
    switch (status) {
    case build_status::ok: return nullptr;
    case build_status::out_of_memory: return "out of memory";
    case build_status::number_out_of_range: return "capability number out of range";
    }
    return "unknown build failure";
}
