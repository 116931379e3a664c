// Compiles only when the generated header agrees with the installed kernel headers: every name it
// writes is the kernel's constant for that number in lower case, and __CAP_BITS is
// CAP_LAST_CAP + 1. kernel_caps.inc, made by kernel_agreement.sh, holds one KERNEL_CAP(CAP_...)
// for each name the header writes.
#include <linux/capability.h>

#include <cstddef>

#define ZUNDEK_PLEASE_INCLUDE_ARRAY
#include "capability_names.h"

namespace {

constexpr const char *names[] = ZUNDEK_CAP_NAMES;
static_assert(sizeof names / sizeof names[0] == __CAP_BITS, "the array has __CAP_BITS entries");
static_assert(CAP_LAST_CAP + 1 == __CAP_BITS, "__CAP_BITS is not the kernel's CAP_LAST_CAP + 1");

// True when name is constant written in lower case: "cap_chown" for "CAP_CHOWN".
constexpr bool lower_case_of(const char *name, const char *constant)
{
    for (; *constant != '\0'; ++name, ++constant) {
        const char lower = *constant >= 'A' && *constant <= 'Z' ? *constant - 'A' + 'a' : *constant;
        if (*name != lower)
            return false;
    }
    return *name == '\0';
}

constexpr bool names_kernel_constant(long number, const char *constant)
{
    return number >= 0 && number < __CAP_BITS && names[number] != nullptr &&
           lower_case_of(names[number], constant);
}

#define KERNEL_CAP(constant)                                  \
    static_assert(names_kernel_constant(constant, #constant), \
                  "the header does not name " #constant " as the kernel numbers it");
#include "kernel_caps.inc"

}  // namespace
