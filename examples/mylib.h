/* SPDX-FileCopyrightText: 2026 The capability_header authors
 * SPDX-License-Identifier: MIT */
/* mylib: a small library that names the Linux capabilities, built the way a C library takes
 * capability_names.h: the header is used by the library's sources, not by its users. */
#ifndef CAP_NAMES_H
#define CAP_NAMES_H

/* The name of capability bit, such as "cap_chown" for 0, or a null pointer when it has none. */
const char *mylib_name(unsigned bit);

/* The number of capability bits the library knows, one more than the largest number. */
unsigned mylib_bits(void);

#endif
