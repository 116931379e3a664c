// The name slot index: the capability table turned into an array indexed by capability number,
// with the two sizes the header reports.
#pragma once

#include <cstdint>

#include "cap_table.h"

struct slot_index {
    const char  **slots;     // slot n names capability n, or is nullptr; owned, names are not
    std::int32_t  capacity;  // slots allocated; every slot at or above bits is empty
    std::int32_t  bits;      // one more than the largest number seen
    std::int32_t  longest;   // length of the longest name seen, without its NUL
};

enum class build_status { ok, out_of_memory, number_out_of_range };

// Fills a zeroed index from rows up to their sentinel. On failure the index is released and
// zeroed again, so the caller has nothing to free.
build_status build_slot_index(const cap_row *rows, slot_index *index);

// The fixed message the tool prints for a failed build; none for ok.
const char *build_status_message(build_status status);

void release_slot_index(slot_index *index);
