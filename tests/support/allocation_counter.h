#pragma once
// Counts the heap allocations made by code of this executable: every malloc,
// calloc, realloc and operator new of the process passes through here, and one
// whose caller lies in this executable's image (our libraries are linked in
// statically, the OpenGL driver is not) counts while `counting` is set.
// Include it from exactly one source of a test executable. AddressSanitizer
// owns these entry points itself: under it nothing is defined, and
// VELKOR_TEST_UNDER_ASAN tells the tests to skip.
#include <atomic>
#include <cstdlib>
#include <new>

#include <dlfcn.h>

#if defined(__SANITIZE_ADDRESS__)
#define VELKOR_TEST_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELKOR_TEST_UNDER_ASAN 1
#endif
#endif
#ifndef VELKOR_TEST_UNDER_ASAN
#define VELKOR_TEST_UNDER_ASAN 0
#endif

extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* pointer, size_t size);
extern "C" void __libc_free(void* pointer);

namespace {

std::atomic<bool> counting{false};
std::atomic<int> allocations{0};

// The load address of this executable's image; call it once before counting.
void* own_image() {
  static void* const base = [] {
    Dl_info info{};
    dladdr(reinterpret_cast<void*>(&own_image), &info);
    return info.dli_fbase;
  }();
  return base;
}

// `caller` is the return address into the code that asked for memory.
[[maybe_unused]] void note_allocation(void* caller) {
  if (!counting.load(std::memory_order_relaxed)) return;
  Dl_info info{};
  if (dladdr(caller, &info) != 0 && info.dli_fbase == own_image()) allocations.fetch_add(1);
}

[[maybe_unused]] void* counted_new(size_t size, void* caller) {
  note_allocation(caller);
  void* p = __libc_malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace

#if !VELKOR_TEST_UNDER_ASAN
extern "C" void* malloc(size_t size) {
  note_allocation(__builtin_return_address(0));
  return __libc_malloc(size);
}
extern "C" void* calloc(size_t count, size_t size) {
  note_allocation(__builtin_return_address(0));
  return __libc_calloc(count, size);
}
extern "C" void* realloc(void* pointer, size_t size) {
  note_allocation(__builtin_return_address(0));
  return __libc_realloc(pointer, size);
}
extern "C" void free(void* pointer) {
  __libc_free(pointer);
}

void* operator new(size_t size) {
  return counted_new(size, __builtin_return_address(0));
}
void* operator new[](size_t size) {
  return counted_new(size, __builtin_return_address(0));
}
void operator delete(void* p) noexcept {
  __libc_free(p);
}
void operator delete[](void* p) noexcept {
  __libc_free(p);
}
void operator delete(void* p, size_t) noexcept {
  __libc_free(p);
}
void operator delete[](void* p, size_t) noexcept {
  __libc_free(p);
}
#endif  // !VELKOR_TEST_UNDER_ASAN
