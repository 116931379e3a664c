// SPDX-FileCopyrightText: 2026 The capability_header authors
// SPDX-License-Identifier: MIT
//
// Writes the generated C header for a built name slot index: the size macros, then
// ZUNDEK_CAP_NAMES with one initializer line per capability number, NULL where no capability has
// that number. Defined inline, like the index, to keep the tool at two compiler runs.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "slot_index.h"

// errno of a failed stdio call, or EIO when the C library did not set one.
inline int header_write_error() {
    return errno != 0 ? errno : EIO;
}

inline int write_slot_line(std::FILE *out, std::int32_t i, const char *name) {
    const int number = static_cast<int>(i);
    int written;
    if (name != nullptr)
        written = std::fprintf(out, "      /* %d */\t\"%s\", \\\n", number, name);
    else
        written = std::fprintf(out, "      /* %d */\tNULL,\t\t/* - presently unused */ \\\n",
                               number);
    return written < 0 ? header_write_error() : 0;
}

// Writes the whole header to out and flushes it. Returns 0 when every byte reached the stream,
// otherwise the errno of the first write that failed; nothing more is written after that.
inline int write_header(std::FILE *out, const slot_index &index) {
    errno = 0;
    const int opened = std::fprintf(out,
                                    "/*\n"
                                    " * DO NOT EDIT: this file is generated automatically from\n"
                                    " *\n"
                                    " *     <uapi/linux/capability.h>\n"
                                    " */\n"
                                    "\n"
                                    "#define __CAP_BITS       %d\n"
                                    "#define __CAP_NAME_SIZE  %d\n"
                                    "\n"
                                    "#ifdef ZUNDEK_PLEASE_INCLUDE_ARRAY\n"
                                    "#define ZUNDEK_CAP_NAMES { \\\n",
                                    static_cast<int>(index.bits),
                                    static_cast<int>(index.longest) + 1);
    if (opened < 0)
        return header_write_error();
    // A built index has capacity >= bits, so every slot read here exists. clang's analyzer (21)
    // reports a read past the slots: it takes capacity 2 * n + 1 and bits n + 1 of an unknown row
    // n as unrelated, and so finds capacity 1 with bits 2, which no row can give.
    for (std::int32_t i = 0; i < index.bits; ++i)
        // NOLINTNEXTLINE(clang-analyzer-security.ArrayBound): a false report, as said above
        if (const int error = write_slot_line(out, i, index.slots[i]))
            return error;
    const int closed = std::fputs("  }\n"
                                  "#endif /* ZUNDEK_PLEASE_INCLUDE_ARRAY */\n"
                                  "\n"
                                  "/* END OF FILE */\n",
                                  out);
    if (closed < 0 || std::fflush(out) != 0 || std::ferror(out) != 0)
        return header_write_error();
    return 0;
}
