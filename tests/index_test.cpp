// The slot index on small tables of its own, and the checks on the shipped table.
#include <gtest/gtest.h>

#include <vector>

#include "cap_table.h"
#include "slot_index.h"

namespace {

struct built {
    slot_index index{};
    build_status status;
    explicit built(const std::vector<cap_row> &rows) {
        std::vector<cap_row> table = rows;
        table.push_back({nullptr, -1});
        status = build_slot_index(table.data(), &index);
    }
    built(const built &) = delete;
    ~built() { release_slot_index(&index); }
};

TEST(ShippedTable, RunsFromChownToCheckpointRestore) {
    int rows = 0;
    while (cap_table[rows].name != nullptr)
        ++rows;
    ASSERT_EQ(rows, 41);
    EXPECT_STREQ(cap_table[0].name, "cap_chown");
    EXPECT_STREQ(cap_table[40].name, "cap_checkpoint_restore");
    EXPECT_EQ(cap_table[40].number, 40);
}

TEST(ShippedTable, GrowsOnlyAtOneThreeSevenFifteenThirtyOne) {
    std::vector<cap_row> prefix;
    int32_t capacity = 0;
    for (const cap_row *row = cap_table; row->name != nullptr; ++row) {
        prefix.push_back(*row);
        if (row->number >= capacity)
            capacity = 2 * row->number + 1;
        built b(prefix);
        ASSERT_EQ(b.index.capacity, capacity) << "after number " << row->number;
    }
    EXPECT_EQ(capacity, 63);
    built all(prefix);
    EXPECT_EQ(all.index.bits, 41);
    EXPECT_EQ(all.index.longest, 22);
    for (int32_t i = 0; i < all.index.bits; ++i)
        EXPECT_STREQ(all.index.slots[i], cap_table[i].name);
}

TEST(TableChecks, RefuseBadNamesAndNumbers) {
    EXPECT_TRUE(cap_name_is_valid("cap_sys_admin"));
    EXPECT_TRUE(cap_name_is_valid("cap_x9_"));
    for (const char *bad : {"cap_", "cap_Sys", "cap_net-raw", "cap sys", "Cap_chown", "chown", ""})
        EXPECT_FALSE(cap_name_is_valid(bad)) << '"' << bad << '"';
    EXPECT_FALSE(cap_name_is_valid(nullptr));
    // The largest accepted number is the last whose slot array still has an int32_t byte size.
    const auto bytes = [](int64_t n) { return (2 * n + 1) * int64_t{sizeof(const char *)}; };
    EXPECT_LE(bytes(cap_number_max), INT32_MAX);
    EXPECT_GT(bytes(cap_number_max + 1), INT32_MAX);
    EXPECT_TRUE(cap_number_in_range(0));
    EXPECT_TRUE(cap_number_in_range(cap_number_max));
    EXPECT_FALSE(cap_number_in_range(cap_number_max + 1));
    EXPECT_FALSE(cap_number_in_range(-1));
    EXPECT_FALSE(cap_number_in_range(INT32_MAX));
    constexpr cap_row unterminated[] = {{"cap_a", 0}, {"cap_b", 1}};
    constexpr cap_row wrong_sentinel[] = {{"cap_a", 0}, {nullptr, 0}};
    static_assert(!cap_table_is_valid(unterminated) && !cap_table_is_valid(wrong_sentinel));
}

TEST(SlotIndex, EmptyTableAllocatesNothing) {
    built b({});
    EXPECT_EQ(b.status, build_status::ok);
    EXPECT_EQ(b.index.slots, nullptr);
    EXPECT_EQ(b.index.capacity, 0);
    EXPECT_EQ(b.index.bits, 0);
    EXPECT_EQ(b.index.longest, 0);
}

TEST(SlotIndex, GapsOrderAndRepeats) {
    built gap({{"cap_a", 0}, {"cap_bb", 1}, {"cap_d", 3}});
    EXPECT_EQ(gap.index.bits, 4);
    EXPECT_EQ(gap.index.slots[2], nullptr);
    EXPECT_STREQ(gap.index.slots[3], "cap_d");

    built backwards({{"cap_five", 5}, {"cap_two", 2}});
    EXPECT_EQ(backwards.index.capacity, 11);
    EXPECT_EQ(backwards.index.bits, 6);
    EXPECT_STREQ(backwards.index.slots[2], "cap_two");

    built repeat({{"cap_longer_first", 1}, {"cap_later", 1}});
    EXPECT_STREQ(repeat.index.slots[1], "cap_later");
    EXPECT_EQ(repeat.index.longest, 16);
}

TEST(SlotIndex, GrowsOnlyWhenTheNumberReachesCapacity) {
    built fits({{"cap_a", 3}, {"cap_b", 6}});
    EXPECT_EQ(fits.index.capacity, 7);
    built grows({{"cap_a", 3}, {"cap_b", 7}});
    EXPECT_EQ(grows.index.capacity, 15);
    for (int32_t i = 0; i < grows.index.capacity; ++i)
        EXPECT_EQ(grows.index.slots[i] == nullptr, i != 3 && i != 7) << "slot " << i;
}

TEST(SlotIndex, RefusesNumbersItCannotHoldAndFreesWhatItBuilt) {
    for (int32_t bad : {-1, INT32_MIN, cap_number_max + 1, INT32_MAX}) {
        built b({{"cap_ok", 2}, {"cap_bad", bad}});
        EXPECT_EQ(b.status, build_status::number_out_of_range) << bad;
        EXPECT_EQ(b.index.slots, nullptr);
        EXPECT_EQ(b.index.bits, 0);
    }
    EXPECT_STREQ(build_status_message(build_status::number_out_of_range),
                 "capability number out of range");
    EXPECT_STREQ(build_status_message(build_status::out_of_memory), "out of memory");
}

}  // namespace
