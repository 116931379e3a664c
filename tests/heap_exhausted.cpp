// SPDX-FileCopyrightText: 2026 The capability_header authors
// SPDX-License-Identifier: MIT
//
// Preloaded into the real tool to stand in for an exhausted heap: every allocation fails.
#include <cerrno>
#include <cstdlib>

extern "C" {
void *malloc(std::size_t) noexcept {
    return errno = ENOMEM, nullptr;
}
void *calloc(std::size_t, std::size_t) noexcept {
    return errno = ENOMEM, nullptr;
}
void *realloc(void *, std::size_t) noexcept {
    return errno = ENOMEM, nullptr;
}
}
