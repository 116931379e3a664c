// SPDX-FileCopyrightText: 2026 The capability_header authors
// SPDX-License-Identifier: MIT
//
// The Linux capabilities by number, named as the kernel's CAP_* constants in lower case
// (uapi/linux/capability.h). A new kernel capability is one more row above the sentinel.
#include "cap_table.h"

// The rows are aligned by hand, a name and a number each.
// clang-format off
constexpr cap_row cap_table[] = {
    {"cap_chown",               0},
    {"cap_dac_override",        1},
    {"cap_dac_read_search",     2},
    {"cap_fowner",              3},
    {"cap_fsetid",              4},
    {"cap_kill",                5},
    {"cap_setgid",              6},
    {"cap_setuid",              7},
    {"cap_setpcap",             8},
    {"cap_linux_immutable",     9},
    {"cap_net_bind_service",   10},
    {"cap_net_broadcast",      11},
    {"cap_net_admin",          12},
    {"cap_net_raw",            13},
    {"cap_ipc_lock",           14},
    {"cap_ipc_owner",          15},
    {"cap_sys_module",         16},
    {"cap_sys_rawio",          17},
    {"cap_sys_chroot",         18},
    {"cap_sys_ptrace",         19},
    {"cap_sys_pacct",          20},
    {"cap_sys_admin",          21},
    {"cap_sys_boot",           22},
    {"cap_sys_nice",           23},
    {"cap_sys_resource",       24},
    {"cap_sys_time",           25},
    {"cap_sys_tty_config",     26},
    {"cap_mknod",              27},
    {"cap_lease",              28},
    {"cap_audit_write",        29},
    {"cap_audit_control",      30},
    {"cap_setfcap",            31},
    {"cap_mac_override",       32},
    {"cap_mac_admin",          33},
    {"cap_syslog",             34},
    {"cap_wake_alarm",         35},
    {"cap_block_suspend",      36},
    {"cap_audit_read",         37},
    {"cap_perfmon",            38},
    {"cap_bpf",                39},
    {"cap_checkpoint_restore", 40},
    {nullptr,                  -1},
};
// clang-format on

static_assert(cap_table_ends_with_sentinel(cap_table), "the table must end with {nullptr, -1}");
static_assert(cap_table_rows_are_valid(cap_table),
              "every capability row needs a \"cap_\" name of [a-z0-9_] and a number from 0 to 63");
static_assert(cap_table_has_no_repeats(cap_table), "two capability rows share a number or a name");
