/* SPDX-FileCopyrightText: 2026 The capability_header authors
 * SPDX-License-Identifier: MIT */
/* The library's one source: the name array comes from capability_names.h. */
#include <stddef.h>

#define ZUNDEK_PLEASE_INCLUDE_ARRAY
#include "capability_names.h"

#include "mylib.h"

static const char *const names[__CAP_BITS] = ZUNDEK_CAP_NAMES;

const char *mylib_name(unsigned bit)
{
    return bit < __CAP_BITS ? names[bit] : NULL;
}

unsigned mylib_bits(void)
{
    return __CAP_BITS;
}
