// Preloaded into the real tool to stand in for an exhausted heap: every allocation fails.
#include <cerrno>
#include <cstdlib>

namespace {
void *refuse() {
    errno = ENOMEM;
    return nullptr;
}
}  // namespace

extern "C" {
void *malloc(std::size_t) noexcept { return refuse(); }
void *calloc(std::size_t, std::size_t) noexcept { return refuse(); }
void *realloc(void *, std::size_t) noexcept { return refuse(); }
}
