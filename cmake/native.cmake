# The platform-free code built for Linux with AddressSanitizer and UndefinedBehaviorSanitizer,
# its GoogleTest suite, the fuzz targets (replaying their seed corpora) and the benchmarks.
set(KVX_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_compile_options(-g -Wall -Wextra ${KVX_SANITIZE})
add_link_options(${KVX_SANITIZE})

add_library(kvx_plain STATIC ${KVX_PLAIN_SOURCES})
target_include_directories(kvx_plain PUBLIC ${CMAKE_SOURCE_DIR}/src)

find_package(GTest REQUIRED)
find_package(ZLIB REQUIRED)
find_package(Threads REQUIRED)
file(GLOB_RECURSE KVX_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*_test.cpp)
add_executable(native_tests ${KVX_NATIVE_TESTS})
target_include_directories(native_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(native_tests PRIVATE kvx_plain GTest::gtest GTest::gtest_main ZLIB::ZLIB
                      Threads::Threads)
include(GoogleTest)
gtest_discover_tests(native_tests DISCOVERY_TIMEOUT 60)

# libFuzzer targets: tests/fuzz/NAME_fuzz.cpp with its seed corpus in tests/fuzz/corpus/NAME.
# The test run replays the corpus (deterministic); scripts/fuzz.sh runs them for longer.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  file(GLOB KVX_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
  foreach(src ${KVX_FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    string(REGEX REPLACE "_fuzz$" "" corpus ${name})
    # The plain sources are compiled into each target so that the fuzzer sees their coverage.
    add_executable(${name} ${src} ${KVX_PLAIN_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE kvx_plain)
    add_test(NAME fuzz_replay_${corpus}
             COMMAND ${name} -runs=0 ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${corpus})
  endforeach()
endif()

# Benchmarks print their figures; they are built here and run by scripts/bench.sh.
find_package(benchmark QUIET)
file(GLOB KVX_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/benchmarks/*_bench.cpp)
if(benchmark_FOUND)
  foreach(src ${KVX_BENCH_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE kvx_plain benchmark::benchmark Threads::Threads)
  endforeach()
endif()
