#pragma once
// Which sanitizer the test executable was built with. AddressSanitizer owns
// malloc and operator new itself, so a test that interposes them to count
// allocations cannot run under it; such a test is skipped there and proves
// its point in the ordinary builds.
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
