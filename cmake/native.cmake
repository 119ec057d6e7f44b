# Native (Linux) build: the POSIX file layer, the unit tests and the tools.
add_library(cfg_posix STATIC settings/file_system_posix.cpp settings/text_codec_posix.cpp)
target_include_directories(cfg_posix PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(cfg_posix PUBLIC cfg_settings)

add_subdirectory(tools/kvset)

option(CONFIG_BUILD_TESTS "Build the unit tests" ON)
if(CONFIG_BUILD_TESTS)
  enable_testing()
  add_subdirectory(tests)
endif()

# libFuzzer targets; the "fuzz" preset turns them on with clang's sanitizers.
option(CONFIG_BUILD_FUZZERS "Build the libFuzzer targets (clang only)" OFF)
if(CONFIG_BUILD_FUZZERS)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    add_subdirectory(fuzz)
  else()
    message(WARNING "CONFIG_BUILD_FUZZERS needs clang; no fuzz targets are built")
  endif()
endif()

# Google Benchmark timings of the hot paths, where the library is installed.
find_package(benchmark QUIET)
option(CONFIG_BUILD_BENCHMARKS "Build the benchmarks (needs Google Benchmark)" ${benchmark_FOUND})
if(CONFIG_BUILD_BENCHMARKS)
  add_subdirectory(bench)
endif()
