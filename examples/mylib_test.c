/* SPDX-FileCopyrightText: 2026 The capability_header authors
 * SPDX-License-Identifier: MIT */
/* Checks the mylib library from a program that links it: the first and the last capability
 * are named, and no number beyond them is. Prints "ok: N capabilities" and exits 0, or says what
 * is wrong and exits 1. */
#include <stdio.h>
#include <string.h>

#include "mylib.h"

int main(void)
{
    const unsigned bits = mylib_bits();
    const char *first = mylib_name(0);
    const char *last = bits > 0 ? mylib_name(bits - 1) : NULL;

    if (first == NULL || strcmp(first, "cap_chown") != 0 || last == NULL ||
        strncmp(last, "cap_", 4) != 0 || mylib_name(bits) != NULL) {
        printf("mylib: wrong names for 0, %u or %u\n", bits - 1, bits);
        return 1;
    }
    printf("ok: %u capabilities\n", bits);
    return 0;
}
