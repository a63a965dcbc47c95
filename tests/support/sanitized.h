#pragma once
// ORVANE_TEST_SANITIZED is 1 in a build under AddressSanitizer or ThreadSanitizer (gcc says so by
// macros, clang by __has_feature), else 0: such a build is several times slower at every lock and wake-up.

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ORVANE_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ORVANE_TEST_SANITIZED 1
#endif
#endif
#ifndef ORVANE_TEST_SANITIZED
#define ORVANE_TEST_SANITIZED 0
#endif
