# What the Windows cross build needs beyond the toolchain file: the programs and tests carry their C
# and C++ runtimes inside (nothing to copy beside them), run under Wine with a prefix of the build's
# own, and GoogleTest and the tests' HTTP server come from Debian's sources, built for Windows here.

# Windows 8 is the oldest system the programs are for; the HID, WinHTTP and CNG calls they use are there.
add_compile_definitions(_WIN32_WINNT=0x0602 WINVER=0x0602 UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
add_link_options(-static -static-libgcc -static-libstdc++)
# Programs and DLLs carry no symbol tables: Wine's debugger does not read them, and Setup and Bootwyn
# carry every program inside, so each would be carried at ten times its size.
add_link_options(-s)

# Every test and every program started by a test runs under Wine, in a prefix inside the build
# folder so that nothing of the user's own Wine is touched.
find_program(VYMERA_WINE64 wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(VYMERA_WINE64 wine64)
if(NOT VYMERA_WINE64)
  message(STATUS "wine64 not found: the Windows tests can be built but not run (scripts/setup windows installs it)")
endif()
set(VYMERA_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run)

# GoogleTest from the source Debian's googletest package ships.
if(VYMERA_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  foreach(lib gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${lib})
      add_library(GTest::${lib} ALIAS ${lib})
    endif()
  endforeach()
endif()

# cpp-httplib as its one header, for the tests' loopback servers (Debian's Linux package carries it
# split into a header and a shared library; scripts/setup windows fetches the source package).
set(VYMERA_HTTPLIB_SOURCE ${CMAKE_BINARY_DIR}/third-party/cpp-httplib CACHE PATH
    "Folder holding cpp-httplib's single header httplib.h for the Windows tests")
