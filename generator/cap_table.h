// The capability table: one row per Linux capability, closed by a sentinel row, plus the
// compile-time checks that keep a malformed row from ever being shipped.
#pragma once

#include <cstddef>
#include <cstdint>

struct cap_row {
    const char *name;  // "cap_" and lower-case letters, digits, underscores; nullptr ends the table
    std::int32_t number;  // the kernel's capability number; -1 in the sentinel row
};

// The shipped table, in the kernel's order, ending with {nullptr, -1}.
extern const cap_row cap_table[];

// The largest number whose 2 * number + 1 slots still have a byte size that fits in int32_t.
constexpr std::int32_t cap_number_max = (INT32_MAX / std::int32_t{sizeof(const char *)} - 1) / 2;

constexpr bool cap_number_in_range(std::int32_t number) {
    return number >= 0 && number <= cap_number_max;
}

constexpr bool cap_name_is_valid(const char *name) {
    if (name == nullptr || name[0] != 'c' || name[1] != 'a' || name[2] != 'p' || name[3] != '_')
        return false;
    if (name[4] == '\0')
        return false;
    for (const char *p = name + 4; *p != '\0'; ++p) {
        const bool ok = (*p >= 'a' && *p <= 'z') || (*p >= '0' && *p <= '9') || *p == '_';
        if (!ok)
            return false;
    }
    return true;
}

// True when every row before the last is a valid capability and the last row is the sentinel.
template <std::size_t N>
constexpr bool cap_table_is_valid(const cap_row (&rows)[N]) {
    for (std::size_t i = 0; i + 1 < N; ++i)
        if (!cap_name_is_valid(rows[i].name) || !cap_number_in_range(rows[i].number))
            return false;
    return rows[N - 1].name == nullptr && rows[N - 1].number == -1;
}
