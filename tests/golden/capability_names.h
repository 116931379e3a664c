/*
 * DO NOT EDIT: this file is generated automatically from
 *
 *     <uapi/linux/capability.h>
 */

#define __CAP_BITS       41
#define __CAP_NAME_SIZE  23

#ifdef ZUNDEK_PLEASE_INCLUDE_ARRAY
#define ZUNDEK_CAP_NAMES { \
      /* 0 */	"cap_chown", \
      /* 1 */	"cap_dac_override", \
      /* 2 */	"cap_dac_read_search", \
      /* 3 */	"cap_fowner", \
      /* 4 */	"cap_fsetid", \
      /* 5 */	"cap_kill", \
      /* 6 */	"cap_setgid", \
      /* 7 */	"cap_setuid", \
      /* 8 */	"cap_setpcap", \
      /* 9 */	"cap_linux_immutable", \
      /* 10 */	"cap_net_bind_service", \
      /* 11 */	"cap_net_broadcast", \
      /* 12 */	"cap_net_admin", \
      /* 13 */	"cap_net_raw", \
      /* 14 */	"cap_ipc_lock", \
      /* 15 */	"cap_ipc_owner", \
      /* 16 */	"cap_sys_module", \
      /* 17 */	"cap_sys_rawio", \
      /* 18 */	"cap_sys_chroot", \
      /* 19 */	"cap_sys_ptrace", \
      /* 20 */	"cap_sys_pacct", \
      /* 21 */	"cap_sys_admin", \
      /* 22 */	"cap_sys_boot", \
      /* 23 */	"cap_sys_nice", \
      /* 24 */	"cap_sys_resource", \
      /* 25 */	"cap_sys_time", \
      /* 26 */	"cap_sys_tty_config", \
      /* 27 */	"cap_mknod", \
      /* 28 */	"cap_lease", \
      /* 29 */	"cap_audit_write", \
      /* 30 */	"cap_audit_control", \
      /* 31 */	"cap_setfcap", \
      /* 32 */	"cap_mac_override", \
      /* 33 */	"cap_mac_admin", \
      /* 34 */	"cap_syslog", \
      /* 35 */	"cap_wake_alarm", \
      /* 36 */	"cap_block_suspend", \
      /* 37 */	"cap_audit_read", \
      /* 38 */	"cap_perfmon", \
      /* 39 */	"cap_bpf", \
      /* 40 */	"cap_checkpoint_restore", \
  }
#endif /* ZUNDEK_PLEASE_INCLUDE_ARRAY */

/* END OF FILE */
