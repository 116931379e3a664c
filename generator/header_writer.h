// Writes the generated C header for a built name slot index.
#pragma once

#include <cstdio>

#include "slot_index.h"

// Writes the whole header to out and flushes it. Returns 0 when every byte reached the stream,
// otherwise the errno of the first write that failed; nothing more is written after that.
int write_header(std::FILE *out, const slot_index &index);
