/* SPDX-FileCopyrightText: 2026 The capability_header authors
 * SPDX-License-Identifier: MIT */
/* Includes the generated header twice without opting into the array: the size macros are there,
 * ZUNDEK_CAP_NAMES is not. */
#include "capability_names.h"
#include "capability_names.h"

#ifdef ZUNDEK_CAP_NAMES
#error "ZUNDEK_CAP_NAMES is defined without ZUNDEK_PLEASE_INCLUDE_ARRAY"
#endif

int cap_bits_elsewhere(void);
int cap_name_size_elsewhere(void);

int cap_bits_elsewhere(void)
{
    return __CAP_BITS;
}

int cap_name_size_elsewhere(void)
{
    char name[__CAP_NAME_SIZE];
    return (int)sizeof name;
}
