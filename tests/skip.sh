#!/usr/bin/env bash
# Stands in for a check whose tool is missing: says why it is skipped (fails under CI).
# Usage: skip.sh REASON
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
skip "$*"
