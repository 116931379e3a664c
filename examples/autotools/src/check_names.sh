#!/bin/sh
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# make check: the program names the capabilities set in a mask.
expected='cap_net_admin          12
cap_net_raw            13'
test "$(./cap_mask_names 0000000000003000)" = "$expected"
