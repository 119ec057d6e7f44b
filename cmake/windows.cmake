# Windows build (mingw-w64): Config.exe with its resources, linked statically.
enable_language(RC)
# The .rc file is UTF-8 (#pragma code_page(65001)); anything else it reads is CP932.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 932")

# Texts cross into Windows as UTF-16 only: the W functions are the default ones.
function(config_win32_sources target)
  target_compile_definitions(${target} PRIVATE UNICODE _UNICODE NOMINMAX)
endfunction()

# A Windows executable or DLL: its sources as above, the runtime linked in, and
# no link time in the header, so that the same sources give the same file.
function(config_windows_binary target)
  config_win32_sources(${target})
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++
    -Wl,--no-insert-timestamp $<$<CONFIG:MinSizeRel,Release>:-s>)
endfunction()

# The Win32 files of each folder beside that folder's library, linked as its
# includes go. settings': the file layer and every code-page conversion,
# shared by Config.exe and kvset.exe.
function(config_win32_library name)
  cmake_parse_arguments(PARSE_ARGV 1 WIN32_LIBRARY "" "" "SOURCES;LIBRARIES")
  add_library(${name} STATIC ${WIN32_LIBRARY_SOURCES})
  target_link_libraries(${name} PUBLIC ${WIN32_LIBRARY_LIBRARIES})
  config_win32_sources(${name})
endfunction()
config_win32_library(cfg_settings_win32
  SOURCES settings/file_system_win32.cpp settings/text_codec_win32.cpp LIBRARIES cfg_settings)
config_win32_library(cfg_input_win32
  SOURCES input/input_devices_win32.cpp input/joystick_api_win32.cpp input/key_codes_win32.cpp
  LIBRARIES cfg_input dinput dxguid winmm)
config_win32_library(cfg_dialogs_win32
  SOURCES dialogs/button_assign_win32.cpp dialogs/dialog_text_win32.cpp dialogs/key_test_win32.cpp
  LIBRARIES cfg_dialogs cfg_settings_win32)

add_executable(Config WIN32
  app/devices_thread_win32.cpp app/main_dialog_win32.cpp app/save_failure_win32.cpp app/winmain_win32.cpp
  res/config.rc)
config_windows_binary(Config)
config_cp932_text(Config)
# Subsystem 6.1 (Windows 7): the 32-bit heap then ends the process on corruption.
target_link_options(Config PRIVATE -Wl,--subsystem,windows:6.1)
target_link_libraries(Config PRIVATE cfg_app cfg_dialogs_win32 cfg_input_win32 cfg_settings_win32)
# Size: every function and datum in a section of its own, so that the link
# drops the unused ones; and std::terminate straight to abort, as a GUI
# program has no stderr for libstdc++'s verbose handler and its 50 KB demangler.
foreach(target Config cfg_app cfg_dialogs cfg_dialogs_win32 cfg_settings cfg_settings_win32
    cfg_bindings cfg_input cfg_input_win32)
  target_compile_options(${target} PRIVATE -ffunction-sections -fdata-sections)
endforeach()
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(CONFIG_C_SYMBOL_PREFIX _)  # 32-bit C symbols carry an underscore
endif()
target_link_options(Config PRIVATE -Wl,--gc-sections
  "-Wl,--defsym,${CONFIG_C_SYMBOL_PREFIX}_ZN9__gnu_cxx27__verbose_terminate_handlerEv=${CONFIG_C_SYMBOL_PREFIX}abort")
# The icon is a resource file of its own; rebuild the resources when it changes.
set_property(SOURCE res/config.rc APPEND PROPERTY OBJECT_DEPENDS
  ${PROJECT_SOURCE_DIR}/res/app.ico ${PROJECT_SOURCE_DIR}/res/config.manifest
  ${PROJECT_SOURCE_DIR}/res/resource_ids.h)
add_subdirectory(tests/e2e)

# probe.exe, which reads and drives the dialogs from another process.
add_subdirectory(tools/probe)

# The kvset command-line tool (kvset.exe).
add_subdirectory(tools/kvset)

# Baseline.exe, for bench/measure.sh.
add_subdirectory(bench/baseline)
