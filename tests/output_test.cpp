// SPDX-FileCopyrightText: 2026 The capability_header authors
// SPDX-License-Identifier: MIT
//
// The header text, from the writer on small tables and from the real binary, including its exits.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "header_writer.h"

namespace {

std::string read_file(const std::string &path) {
    std::string text;
    if (std::FILE *f = std::fopen(path.c_str(), "rb")) {
        for (int c; (c = std::fgetc(f)) != EOF;)
            text += static_cast<char>(c);
        std::fclose(f);
    }
    return text;
}

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

const std::string golden = read_file(GOLDEN_HEADER);
const std::string opening = golden.substr(0, golden.find("#define __CAP_BITS"));
const std::string closing = golden.substr(golden.find("  }\n"));

TEST(Header, ShippedTableMatchesTheGoldenFile) {
    ASSERT_FALSE(golden.empty()) << "cannot read " GOLDEN_HEADER;
    EXPECT_EQ(render(cap_table), golden);
}

TEST(Header, SmallTables) {
    const cap_row empty[] = {{nullptr, -1}};
    EXPECT_EQ(render(empty),
              opening +
                  "#define __CAP_BITS       0\n#define __CAP_NAME_SIZE  1\n\n"
                  "#ifdef ZUNDEK_PLEASE_INCLUDE_ARRAY\n#define ZUNDEK_CAP_NAMES { \\\n" +
                  closing);

    // Out of order with a gap: lines go by number, NULL in the gap, wider from 10 on.
    const cap_row gaps[] = {{"cap_eleven", 11}, {"cap_nine", 9}, {nullptr, -1}};
    const std::string text = render(gaps);
    EXPECT_NE(text.find("__CAP_BITS       12\n#define __CAP_NAME_SIZE  11\n"), std::string::npos);
    const std::string unused = "\tNULL,\t\t/* - presently unused */ \\\n";
    EXPECT_NE(text.find("{ \\\n      /* 0 */" + unused + "      /* 1 */" + unused),
              std::string::npos);
    EXPECT_NE(text.find(unused + "      /* 9 */\t\"cap_nine\", \\\n      /* 10 */" + unused +
                        "      /* 11 */\t\"cap_eleven\", \\\n" + closing),
              std::string::npos);
}

struct run_result {
    int status;
    std::string out, err;
};

// Runs the real tool through the shell; stdout goes to a file unless redirected elsewhere, and a
// library may be preloaded into it. The files are in a folder of this run's own, so parallel
// tests and other users never share them.
run_result run_tool(const std::string &args, const std::string &stdout_to = "",
                    const std::string &preload = "") {
    std::string dir = testing::TempDir() + "capability_header.XXXXXX";
    if (mkdtemp(&dir[0]) == nullptr)
        return {-1, "", "cannot create a folder in " + testing::TempDir()};
    const std::string out = dir + "/out", err = dir + "/err", link = dir + "/preload.so";
    std::string env;
    // LD_PRELOAD splits its paths at spaces, so the library is reached through a link in the
    // folder made above, whose path has none.
    if (!preload.empty() && symlink(preload.c_str(), link.c_str()) == 0)
        env = "LD_PRELOAD='" + link + "' ASAN_OPTIONS=verify_asan_link_order=0";
    const std::string command = env + " '" TOOL_PATH "' " + args + " </dev/null 2>'" + err + "' " +
                                (stdout_to.empty() ? ">'" + out + "'" : stdout_to);
    const int status = std::system(command.c_str());
    run_result result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(out), read_file(err)};
    for (const std::string &file : {out, err, link})
        std::remove(file.c_str());
    rmdir(dir.c_str());
    return result;
}

TEST(Tool, ArgumentsChangeNothing) {
    for (const char *args : {"", "--help", "- 'x y' '' -v"}) {
        const run_result r = run_tool(args);
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_EQ(r.out, golden) << args;
        EXPECT_EQ(r.err, "") << args;
    }
}

TEST(Tool, ExhaustedHeapIsOutOfMemoryWithNothingWritten) {
#ifdef TOOL_HAS_OWN_ALLOCATOR
    GTEST_SKIP() << "the sanitizer allocator linked into the tool cannot be replaced";
#endif
    const run_result r = run_tool("", "", HEAP_EXHAUSTED_PATH);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "out of memory");
}

TEST(Tool, FailedWritesAreReportedAsFailure) {
    const run_result full = run_tool("", ">/dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "write error: No space left on device\n");
    const run_result closed = run_tool("", ">&-");
    EXPECT_EQ(closed.status, 1);
    EXPECT_EQ(closed.err, "write error: Bad file descriptor\n");
}

}  // namespace
