// Builds the name slot index. The array grows to 2 * n + 1 slots whenever number n does not fit,
// so a table in ascending order reallocates only a handful of times.
#include "slot_index.h"

#include <cstdlib>
#include <cstring>

namespace {

// Grows the array to hold slot n, with the new slots empty. The byte size is computed in
// int32_t, which cap_number_in_range(n) keeps from overflowing.
bool grow_for(slot_index *index, std::int32_t n) {
    const std::int32_t capacity = 2 * n + 1;
    const std::int32_t bytes = capacity * std::int32_t{sizeof *index->slots};
    void *grown = std::realloc(index->slots, static_cast<std::size_t>(bytes));
    if (grown == nullptr)
        return false;
    index->slots = static_cast<const char **>(grown);
    for (std::int32_t i = index->capacity; i < capacity; ++i)
        index->slots[i] = nullptr;
    index->capacity = capacity;
    return true;
}

build_status add_row(slot_index *index, const cap_row &row) {
    const std::int32_t n = row.number;
    if (!cap_number_in_range(n))
        return build_status::number_out_of_range;
    if (n >= index->capacity && !grow_for(index, n))
        return build_status::out_of_memory;
    if (n >= index->bits)
        index->bits = n + 1;
    index->slots[n] = row.name;
    const std::size_t length = std::strlen(row.name);
    if (length > static_cast<std::size_t>(index->longest))
        index->longest = static_cast<std::int32_t>(length);
    return build_status::ok;
}

}  // namespace

build_status build_slot_index(const cap_row *rows, slot_index *index) {
    for (const cap_row *row = rows; row->name != nullptr; ++row) {
        const build_status status = add_row(index, *row);
        if (status != build_status::ok) {
            release_slot_index(index);
            return status;
        }
    }
    return build_status::ok;
}

const char *build_status_message(build_status status) {
    switch (status) {
    case build_status::ok:                  return nullptr;
    case build_status::out_of_memory:       return "out of memory";
    case build_status::number_out_of_range: return "capability number out of range";
    }
    return "unknown build failure";
}

void release_slot_index(slot_index *index) {
    std::free(index->slots);
    *index = slot_index{};
}
