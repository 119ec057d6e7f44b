# Windows build (mingw-w64): Config.exe with its resources, linked statically.
enable_language(RC)
# The .rc file is UTF-8 (#pragma code_page(65001)); anything else it reads is CP932.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 932")

# The Windows files and the code-page conversions, shared by Config.exe and kvset.exe.
add_library(cfg_settings_win32 STATIC settings/file_system_win32.cpp settings/text_codec_win32.cpp)
target_link_libraries(cfg_settings_win32 PUBLIC cfg_settings)

add_executable(Config WIN32
  app/devices_thread_win32.cpp app/main_dialog_win32.cpp app/save_failure_win32.cpp app/winmain_win32.cpp
  dialogs/button_assign_win32.cpp dialogs/dialog_text_win32.cpp dialogs/key_test_win32.cpp
  input/input_devices_win32.cpp input/joystick_api_win32.cpp input/key_codes_win32.cpp
  res/config.rc)
# Texts cross into Windows as UTF-16 only: the W functions are the default ones.
foreach(target Config cfg_settings_win32)
  target_compile_definitions(${target} PRIVATE UNICODE _UNICODE NOMINMAX)
endforeach()
target_link_libraries(Config PRIVATE cfg_app cfg_settings_win32 dinput dxguid winmm)
# No link time in the header: the same sources give the same executable.
# Subsystem 6.1 (Windows 7): the 32-bit heap then ends the process on corruption.
target_link_options(Config PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--subsystem,windows:6.1
  -Wl,--no-insert-timestamp $<$<CONFIG:MinSizeRel,Release>:-s>)
# Size: every function and datum in a section of its own, so that the link
# drops the unused ones; and std::terminate straight to abort, as a GUI
# program has no stderr for libstdc++'s verbose handler and its 50 KB demangler.
foreach(target Config cfg_app cfg_dialogs cfg_settings cfg_settings_win32 cfg_bindings cfg_input)
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
