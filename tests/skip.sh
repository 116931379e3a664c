#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Stands in for a check whose tool is missing: says why it is skipped (fails under CI).
# Usage: skip.sh REASON
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
skip "$*"
