# TESSERINE_SANITIZE=ON builds every target of this project — the core library, the
# program, the tests, the benchmarks and the screenshot renderer — with AddressSanitizer
# and UndefinedBehaviorSanitizer. Undefined behaviour aborts instead of carrying on, so a
# report fails the test that caused it. scripts/sanitize configures such a build in
# build-asan and runs the whole test suite there.
option(TESSERINE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(TESSERINE_SANITIZE)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TESSERINE_SANITIZE needs GCC or clang, not ${CMAKE_CXX_COMPILER_ID}")
  endif()
  set(TESSERINE_SANITIZE_FLAGS
      -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${TESSERINE_SANITIZE_FLAGS})
  add_link_options(${TESSERINE_SANITIZE_FLAGS})
  # Lets the tests stretch their time limits (tests/support/TimeBudget.h).
  add_compile_definitions(TESSERINE_SANITIZED)
  message(STATUS "Tesserine: building with ${TESSERINE_SANITIZE_FLAGS}")
endif()
