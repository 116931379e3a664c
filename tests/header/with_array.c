/* SPDX-FileCopyrightText: 2026 The capability_header authors
 * SPDX-License-Identifier: MIT */
/* Includes the generated header twice with the array opted into, in C (C89 on) or C++ (C++98
 * on), and prints the array one "number name" line per slot, so a script can compare it with
 * the expected names. Linked with without_array.c, which includes the header without opting in. */
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#define ZUNDEK_PLEASE_INCLUDE_ARRAY
#include "capability_names.h"
#include "capability_names.h"

int cap_bits_elsewhere(void);
int cap_name_size_elsewhere(void);

static const char *const names[] = ZUNDEK_CAP_NAMES;

/* Compiles only when the initializer has exactly __CAP_BITS entries. */
typedef char names_has_cap_bits_entries[sizeof names / sizeof names[0] == __CAP_BITS ? 1 : -1];

int main(void)
{
    size_t longest = 0;
    int i;

    for (i = 0; i < __CAP_BITS; ++i) {
        if (names[i] != NULL && strlen(names[i]) > longest)
            longest = strlen(names[i]);
        printf("%d %s\n", i, names[i] != NULL ? names[i] : "NULL");
    }
    if (longest + 1 != __CAP_NAME_SIZE) {
        fprintf(stderr, "__CAP_NAME_SIZE is %d, the longest name needs %d\n", __CAP_NAME_SIZE,
                (int)longest + 1);
        return 1;
    }
    if (cap_bits_elsewhere() != __CAP_BITS || cap_name_size_elsewhere() != __CAP_NAME_SIZE) {
        fputs("the two translation units disagree on the sizes\n", stderr);
        return 1;
    }
    return 0;
}
