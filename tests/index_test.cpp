// The slot index on small tables of its own, and the checks that guard the shipped table.
#include <gtest/gtest.h>

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
    static_assert(!cap_table_is_valid(unterminated) && !cap_table_is_valid(wrong_sentinel));
}

TEST(SlotIndex, ShippedTableGrowsOnlyAtOneThreeSevenFifteenThirtyOne) {
    std::vector<cap_row> prefix;
    std::vector<int32_t> capacities;
    for (const cap_row *row = cap_table; row->name != nullptr; ++row) {
        prefix.push_back(*row);
        const built b(prefix);
        if (capacities.empty() || capacities.back() != b.index.capacity)
            capacities.push_back(b.index.capacity);
    }
    EXPECT_EQ(capacities, (std::vector<int32_t>{1, 3, 7, 15, 31, 63}));
    const built all(prefix);
    EXPECT_EQ(all.index.bits, 41);
    EXPECT_EQ(all.index.longest, 22);
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
