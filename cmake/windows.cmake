# Windows build (mingw-w64): Config.exe with its resources, linked statically.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 932")

file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS
  app/*_win32.cpp settings/*_win32.cpp input/*_win32.cpp bindings/*_win32.cpp dialogs/*_win32.cpp)
add_executable(Config WIN32 ${WIN32_SOURCES} res/config.rc)
target_link_libraries(Config PRIVATE cfg_app comctl32 dinput dxguid winmm)
target_link_options(Config PRIVATE -static -static-libgcc -static-libstdc++)
