// The header text: the shipped table against the golden header, and small tables line by line.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "header_writer.h"

namespace {

std::string render(const cap_row *rows) {
    slot_index index{};
    EXPECT_EQ(build_slot_index(rows, &index), build_status::ok);
    char *text = nullptr;
    std::size_t size = 0;
    std::FILE *out = open_memstream(&text, &size);
    EXPECT_EQ(write_header(out, index), 0);
    std::fclose(out);
    std::string result(text, size);
    std::free(text);
    release_slot_index(&index);
    return result;
}

const std::string opening_without_sizes =
    "/*\n"
    " * DO NOT EDIT: this file is generated automatically from\n"
    " *\n"
    " *     <uapi/linux/capability.h>\n"
    " */\n"
    "\n";
const std::string array_start = "\n#ifdef ZUNDEK_PLEASE_INCLUDE_ARRAY\n#define ZUNDEK_CAP_NAMES { \\\n";
const std::string closing = "  }\n#endif /* ZUNDEK_PLEASE_INCLUDE_ARRAY */\n\n/* END OF FILE */\n";

std::string sizes(int bits, int name_size) {
    return "#define __CAP_BITS       " + std::to_string(bits) + "\n" +
           "#define __CAP_NAME_SIZE  " + std::to_string(name_size) + "\n";
}

TEST(Header, ShippedTableMatchesTheGoldenFile) {
    std::ifstream golden(GOLDEN_HEADER, std::ios::binary);
    ASSERT_TRUE(golden) << GOLDEN_HEADER;
    std::stringstream expected;
    expected << golden.rdbuf();
    ASSERT_EQ(expected.str().size(), 1682u);
    EXPECT_EQ(render(cap_table), expected.str());
}

TEST(Header, EmptyTableHasNoSlotLines) {
    const cap_row rows[] = {{nullptr, -1}};
    EXPECT_EQ(render(rows), opening_without_sizes + sizes(0, 1) + array_start + closing);
}

TEST(Header, GapsAreNullLinesInNumberOrder) {
    const cap_row rows[] = {{"cap_eleven", 11}, {"cap_nine", 9}, {nullptr, -1}};
    EXPECT_EQ(render(rows), opening_without_sizes + sizes(12, 11) + array_start +
        "      /* 0 */\tNULL,\t\t/* - presently unused */ \\\n"
        "      /* 1 */\tNULL,\t\t/* - presently unused */ \\\n"
        "      /* 2 */\tNULL,\t\t/* - presently unused */ \\\n"
        "      /* 3 */\tNULL,\t\t/* - presently unused */ \\\n"
        "      /* 4 */\tNULL,\t\t/* - presently unused */ \\\n"
        "      /* 5 */\tNULL,\t\t/* - presently unused */ \\\n"
        "      /* 6 */\tNULL,\t\t/* - presently unused */ \\\n"
        "      /* 7 */\tNULL,\t\t/* - presently unused */ \\\n"
        "      /* 8 */\tNULL,\t\t/* - presently unused */ \\\n"
        "      /* 9 */\t\"cap_nine\", \\\n"
        "      /* 10 */\tNULL,\t\t/* - presently unused */ \\\n"
        "      /* 11 */\t\"cap_eleven\", \\\n" + closing);
}

}  // namespace
