# Native (Linux) build: the POSIX file layer, the unit tests and the tools.
file(GLOB POSIX_SOURCES CONFIGURE_DEPENDS settings/*_posix.cpp)
add_library(cfg_posix STATIC ${POSIX_SOURCES})
target_include_directories(cfg_posix PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(cfg_posix PUBLIC cfg_settings)

option(CONFIG_BUILD_TESTS "Build the unit tests" ON)
if(CONFIG_BUILD_TESTS)
  enable_testing()
  add_subdirectory(tests)
endif()
