#pragma once
// Counts the heap allocations made by code of this executable: every malloc,
// calloc, realloc and operator new of the process passes through the
// definitions below, and one whose caller lies in this executable's image
// (our libraries are linked in statically) counts while `counting` is set.
// The OpenGL driver's own bookkeeping lies in shared libraries and does not
// count. Include it from exactly one source of a test executable: it defines
// the process's allocator entry points. Under AddressSanitizer, which owns
// them itself, nothing is defined and the tests skip.
#include <atomic>
#include <cstdlib>
#include <new>

#include <dlfcn.h>

#include "tests/support/sanitizers.h"

extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* pointer, size_t size);
extern "C" void __libc_free(void* pointer);

namespace {

std::atomic<bool> counting{false};
std::atomic<int> allocations{0};

// The load address of this executable's image.
void* own_image() {
  static void* base = [] {
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

}  // namespace

// Every allocation of the process passes through these while the test runs,
// the drawing library's and OpenGL's included.
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
  note_allocation(__builtin_return_address(0));
  void* p = __libc_malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void* operator new[](size_t size) {
  note_allocation(__builtin_return_address(0));
  void* p = __libc_malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
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
