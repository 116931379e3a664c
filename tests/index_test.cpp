// SPDX-FileCopyrightText: 2026 The capability_header authors
// SPDX-License-Identifier: MIT
//
// The slot index on small tables of its own, and the checks that guard the shipped table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "slot_index.h"

namespace {

// An index built from the given rows and a sentinel, released when it goes out of scope.
struct built {
    slot_index index{};
    build_status status;
    explicit built(std::vector<cap_row> rows) {
        rows.push_back({nullptr, -1});
        status = build_slot_index(rows.data(), &index);
    }
    built(const built &) = delete;
    ~built() { release_slot_index(&index); }
};

TEST(TableChecks, RefuseBadNamesAndNumbers) {
    EXPECT_TRUE(cap_name_is_valid("cap_x9_"));
    for (const char *bad : {"cap_", "cap_Sys", "cap_net-raw", "cap sys", "Cap_chown", "chown", ""})
        EXPECT_FALSE(cap_name_is_valid(bad)) << '"' << bad << '"';
    EXPECT_FALSE(cap_name_is_valid(nullptr));
    // The largest accepted number is the last whose slot array still has an int32_t byte size.
    const auto bytes = [](int64_t n) { return (2 * n + 1) * int64_t{sizeof(const char *)}; };
    EXPECT_LE(bytes(cap_number_max), INT32_MAX);
    EXPECT_GT(bytes(cap_number_max + 1), INT32_MAX);
    EXPECT_TRUE(cap_number_in_range(0) && cap_number_in_range(cap_number_max));
    EXPECT_FALSE(cap_number_in_range(-1) || cap_number_in_range(cap_number_max + 1));
    constexpr cap_row unterminated[] = {{"cap_a", 0}, {"cap_b", 1}};
    constexpr cap_row wrong_sentinel[] = {{"cap_a", 0}, {nullptr, 0}};
    static_assert(!cap_table_ends_with_sentinel(unterminated) &&
                  !cap_table_ends_with_sentinel(wrong_sentinel));
    // A capability is a bit of a 64-bit set.
    constexpr cap_row last_bit[] = {{"cap_a", 0}, {"cap_b", 63}, {nullptr, -1}};
    constexpr cap_row beyond[] = {{"cap_a", 64}, {nullptr, -1}};
    constexpr cap_row negative[] = {{"cap_a", -1}, {nullptr, -1}};
    static_assert(cap_table_rows_are_valid(last_bit) && !cap_table_rows_are_valid(beyond) &&
                  !cap_table_rows_are_valid(negative));
    // A repeated number would hide a capability; a repeated name would name two.
    constexpr cap_row same_number[] = {{"cap_a", 40}, {"cap_b", 1}, {"cap_c", 40}, {nullptr, -1}};
    constexpr cap_row same_name[] = {{"cap_ab", 0}, {"cap_a", 1}, {"cap_ab", 2}, {nullptr, -1}};
    static_assert(cap_table_has_no_repeats(last_bit) && !cap_table_has_no_repeats(same_number) &&
                  !cap_table_has_no_repeats(same_name));
}

// Numbered 0, 1, 2, ... the array grows at 0, 1, 3, 7, 15, ...: each time to 2 * n + 1 slots.
TEST(SlotIndex, ShippedTableGrowsOnlyAtPowersOfTwoLessOne) {
    std::vector<cap_row> prefix;
    int32_t expected_capacity = 0;
    size_t longest = 0;
    for (const cap_row *row = cap_table; row->name != nullptr; ++row) {
        prefix.push_back(*row);
        const built b(prefix);
        if (row->number == expected_capacity)
            expected_capacity = 2 * row->number + 1;
        EXPECT_EQ(b.index.capacity, expected_capacity) << "after " << row->name;
        longest = std::max(longest, std::strlen(row->name));
    }
    const built all(prefix);
    EXPECT_EQ(all.index.bits, static_cast<int32_t>(prefix.size()));
    EXPECT_EQ(all.index.longest, static_cast<int32_t>(longest));
}

TEST(SlotIndex, EmptyGapsOrderAndRepeats) {
    const built empty({});
    EXPECT_TRUE(empty.status == build_status::ok && empty.index.slots == nullptr);
    EXPECT_EQ(empty.index.capacity + empty.index.bits + empty.index.longest, 0);

    const built gap({{"cap_a", 0}, {"cap_bb", 1}, {"cap_d", 3}});
    EXPECT_EQ(gap.index.bits, 4);
    EXPECT_EQ(gap.index.slots[2], nullptr);

    const built backwards({{"cap_five", 5}, {"cap_two", 2}});
    EXPECT_EQ(backwards.index.capacity, 11);
    EXPECT_STREQ(backwards.index.slots[2], "cap_two");

    const built repeat({{"cap_longer_first", 1}, {"cap_later", 1}});
    EXPECT_STREQ(repeat.index.slots[1], "cap_later");
    EXPECT_EQ(repeat.index.longest, 16);
}

TEST(SlotIndex, GrowsOnlyWhenTheNumberReachesCapacity) {
    EXPECT_EQ(built({{"cap_a", 3}, {"cap_b", 6}}).index.capacity, 7);
    const built grows({{"cap_a", 3}, {"cap_b", 7}});
    EXPECT_EQ(grows.index.capacity, 15);
    for (int32_t i = 0; i < grows.index.capacity; ++i)
        EXPECT_EQ(grows.index.slots[i] == nullptr, i != 3 && i != 7) << "slot " << i;
}

TEST(SlotIndex, RefusesNumbersItCannotHoldAndFreesWhatItBuilt) {
    for (int32_t bad : {-1, INT32_MIN, cap_number_max + 1, INT32_MAX}) {
        const built b({{"cap_ok", 2}, {"cap_bad", bad}});
        EXPECT_EQ(b.status, build_status::number_out_of_range) << bad;
        EXPECT_TRUE(b.index.slots == nullptr && b.index.bits == 0) << bad;
    }
    EXPECT_STREQ(build_status_message(build_status::number_out_of_range),
                 "capability number out of range");
}

}  // namespace
