// How much one input frees, for choosing how long the sanitizer keeps freed blocks out of use (fuzz_support.cpp).
// Built into the targets only with PELLUCAR_FUZZ_FREE_METER, which renames each target's entry so that this one wraps
// it. Run a target with -close_fd_mask of 0 or 1 to read it.
#include <sanitizer/allocator_interface.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int pellucarMeteredInput(const uint8_t* data, size_t size);

namespace {

size_t g_freed = 0; // by the input running now
size_t g_most = 0;
size_t g_total = 0;
size_t g_inputs = 0;

void onMalloc(const volatile void*, size_t) {}

void onFree(const volatile void* p) {
    // A pointer the allocator does not own is the sanitizer's to report, not the meter's to measure.
    if (__sanitizer_get_ownership(const_cast<const void*>(p)))
        g_freed += __sanitizer_get_allocated_size(const_cast<const void*>(p));
}

void report() {
    std::fprintf(stderr, "free meter: %zu inputs, the most one freed %zu bytes, on average %zu\n", g_inputs, g_most,
                 g_inputs ? g_total / g_inputs : 0);
}

// Before main, so the meter sees every input; a meter that could not hook the allocator would report nothing freed.
[[maybe_unused]] const bool g_installed = [] {
    if (!__sanitizer_install_malloc_and_free_hooks(onMalloc, onFree)) {
        std::fprintf(stderr, "free meter: the allocator has no room for its hooks\n");
        std::abort();
    }
    return std::atexit(report) == 0;
}();

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    g_freed = 0;
    const int result = pellucarMeteredInput(data, size);
    if (g_freed > g_most) g_most = g_freed;
    g_total += g_freed;
    ++g_inputs;
    return result;
}
