// SPDX-FileCopyrightText: 2026 The capability_header authors
// SPDX-License-Identifier: MIT
//
// capability_header: prints a C header with the Linux capability names.
//
// A C library's build compiles this tool, runs it with no arguments and saves its standard output
// as a header. The header defines __CAP_BITS (the number of capability slots) and __CAP_NAME_SIZE
// (a buffer size for the longest name and its NUL), and, for a source that defines
// ZUNDEK_PLEASE_INCLUDE_ARRAY first, ZUNDEK_CAP_NAMES, an initializer for a name array indexed by
// capability number. Generating it from one table keeps the sizes and the array from drifting apart
// when the kernel adds a capability.
//
// Exit status 0 means the whole header was written; 1 means it was not, with the reason on
// standard error, so a build never keeps a truncated header.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cap_table.h"
#include "header_writer.h"
#include "slot_index.h"

int main(int, char **) {
    slot_index index{};
    const build_status status = build_slot_index(cap_table, &index);
    if (status != build_status::ok) {
        // Nothing is left to report to when standard error fails; the status says it all.
        (void)std::fputs(build_status_message(status), stderr);
        return EXIT_FAILURE;
    }
    const int error = write_header(stdout, index);
    release_slot_index(&index);
    if (error != 0) {
        (void)std::fprintf(stderr, "write error: %s\n", std::strerror(error));
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
