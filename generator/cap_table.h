// SPDX-FileCopyrightText: 2026 The capability_header authors
// SPDX-License-Identifier: MIT
//
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

// The largest number whose 2 * number + 1 slots still have a byte size that fits in int32_t: the
// index refuses larger ones, whatever table it is given.
constexpr std::int32_t cap_number_max = (INT32_MAX / std::int32_t{sizeof(const char *)} - 1) / 2;

constexpr bool cap_number_in_range(std::int32_t number) {
    return number >= 0 && number <= cap_number_max;
}

// Capabilities are bits of 64-bit sets, so a shipped row's number is 0 to 63.
constexpr std::int32_t cap_set_bits = 64;

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

constexpr bool cap_names_equal(const char *a, const char *b) {
    if (a == nullptr || b == nullptr)
        return a == b;
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// The checks on a table to be shipped; the index itself takes any table. rows[N - 1] must be the
// sentinel, and every row before it a capability:

template <std::size_t N>
constexpr bool cap_table_ends_with_sentinel(const cap_row (&rows)[N]) {
    return rows[N - 1].name == nullptr && rows[N - 1].number == -1;
}

// a name of "cap_" and [a-z0-9_], and a number of a 64-bit set;
template <std::size_t N>
constexpr bool cap_table_rows_are_valid(const cap_row (&rows)[N]) {
    for (std::size_t i = 0; i + 1 < N; ++i)
        if (!cap_name_is_valid(rows[i].name) || rows[i].number < 0 ||
            rows[i].number >= cap_set_bits)
            return false;
    return true;
}

// and no two rows with the same number (the later would hide the earlier) or the same name.
template <std::size_t N>
constexpr bool cap_table_has_no_repeats(const cap_row (&rows)[N]) {
    for (std::size_t i = 0; i + 1 < N; ++i)
        for (std::size_t j = i + 1; j + 1 < N; ++j)
            if (rows[i].number == rows[j].number || cap_names_equal(rows[i].name, rows[j].name))
                return false;
    return true;
}
