/* SPDX-FileCopyrightText: 2026 The capability_header authors
 * SPDX-License-Identifier: MIT */
/* cap_mask_names: prints the Linux capabilities set in a hexadecimal mask, in the form that
 * /proc/PID/status shows (the CapEff: line, for example 000001ffffffffff). One line per set bit,
 * in ascending order: the name, padded to the longest name, and the bit number. A bit that the
 * header has no name for is shown as "unknown".
 *
 * It shows how a C program uses the generated capability_names.h: the name array from
 * ZUNDEK_CAP_NAMES, sized by __CAP_BITS, and __CAP_NAME_SIZE for the width of the name column. */
#include <stddef.h>
#include <stdio.h>

#define ZUNDEK_PLEASE_INCLUDE_ARRAY
#include "capability_names.h"

static const char *const names[__CAP_BITS] = ZUNDEK_CAP_NAMES;

enum { mask_bits = 64 };

static int hex_digit_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

/* Reads text as hexadecimal digits, with an optional 0x in front and any number of leading
 * zeros, into *mask. Returns 0 on success, -1 when text is not hexadecimal, -2 when its value
 * does not fit in 64 bits. */
static int parse_mask(const char *text, unsigned long long *mask)
{
    unsigned long long value = 0;
    int significant = 0;
    const char *p = text;

    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X'))
        p += 2;
    if (*p == '\0')
        return -1;
    for (; *p != '\0'; ++p) {
        const int digit = hex_digit_value(*p);
        if (digit < 0)
            return -1;
        if (significant > 0 || digit > 0)
            ++significant;
        if (significant > mask_bits / 4)
            return -2;
        value = value << 4 | (unsigned long long)digit;
    }
    *mask = value;
    return 0;
}

static const char *cap_name(unsigned bit)
{
    if (bit < __CAP_BITS && names[bit] != NULL)
        return names[bit];
    return "unknown";
}

int main(int argc, char **argv)
{
    unsigned long long mask = 0;
    unsigned bit;
    int parsed;

    if (argc != 2) {
        fputs("usage: cap_mask_names HEXMASK\n"
              "prints the capabilities set in HEXMASK, a mask as in /proc/PID/status "
              "(CapEff: 000001ffffffffff)\n",
              stderr);
        return 2;
    }
    parsed = parse_mask(argv[1], &mask);
    if (parsed == -1) {
        fprintf(stderr, "cap_mask_names: not a hexadecimal capability mask: \"%s\"\n", argv[1]);
        return 1;
    }
    if (parsed == -2) {
        fprintf(stderr, "cap_mask_names: capability mask wider than %d bits: \"%s\"\n", mask_bits,
                argv[1]);
        return 1;
    }
    for (bit = 0; bit < mask_bits; ++bit)
        if (mask >> bit & 1)
            printf("%-*s %u\n", __CAP_NAME_SIZE - 1, cap_name(bit), bit);
    return ferror(stdout) || fflush(stdout) != 0 ? 1 : 0;
}
