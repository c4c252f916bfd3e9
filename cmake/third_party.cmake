# Third-party libraries, built from the Debian source packages that
# tools/setup.sh fetches into .cache/deps (never committed).
set(ZRB_DEPS_DIR "${CMAKE_SOURCE_DIR}/.cache/deps" CACHE PATH "Unpacked third-party sources")
foreach(dep lua5.2 pugixml 7zip)
  if(NOT EXISTS "${ZRB_DEPS_DIR}/${dep}")
    message(FATAL_ERROR "${ZRB_DEPS_DIR}/${dep} is missing: run tools/setup.sh first")
  endif()
endforeach()

# --- Lua 5.2, compiled as C++ so a script error unwinds C++ destructors. ---
set(LUA_SRC "${ZRB_DEPS_DIR}/lua5.2/src")
set(LUA_CORE_FILES
  lapi lcode lctype ldebug ldo ldump lfunc lgc llex lmem lobject lopcodes lparser lstate
  lstring ltable ltm lundump lvm lzio lauxlib lbaselib lbitlib lcorolib ldblib liolib
  lmathlib loslib lstrlib ltablib loadlib linit)
list(TRANSFORM LUA_CORE_FILES PREPEND "${LUA_SRC}/")
list(TRANSFORM LUA_CORE_FILES APPEND ".c")
set_source_files_properties(${LUA_CORE_FILES} "${LUA_SRC}/luac.c" PROPERTIES LANGUAGE CXX)

function(zrb_lua_library name)
  add_library(${name} STATIC ${LUA_CORE_FILES})
  target_include_directories(${name} SYSTEM PUBLIC "${LUA_SRC}")
  target_compile_definitions(${name} PUBLIC LUA_COMPAT_ALL)
  target_compile_options(${name} PRIVATE -w)
  # Strict ISO mode would define __STRICT_ANSI__ and with it LUA_ANSI, which
  # turns off the Windows configuration (LUA_WIN, DLL loading) and the
  # round-to-nearest number conversions.
  set_target_properties(${name} PROPERTIES CXX_EXTENSIONS ON)
endfunction()

# The engine's copy serialises threads through lua_lock/lua_unlock (see
# zrbinstaller/zrbscriptengine/script_state_lock.h).
zrb_lua_library(lua_engine)
target_compile_options(lua_engine PRIVATE
  -include "${CMAKE_SOURCE_DIR}/zrbinstaller/zrbscriptengine/lua_lock_hooks.h")

# luac, built by the same compiler so its bytecode is the 32-bit form the
# engine loads.
zrb_lua_library(lua_plain)
add_executable(luac "${LUA_SRC}/luac.c")
target_link_libraries(luac PRIVATE lua_plain)
target_compile_options(luac PRIVATE -w)
set_target_properties(luac PROPERTIES CXX_EXTENSIONS ON)
target_link_options(luac PRIVATE -static)

# --- pugixml in wide-character mode: host text is UTF-16 throughout. ---
add_library(pugixml STATIC "${ZRB_DEPS_DIR}/pugixml/src/pugixml.cpp")
target_include_directories(pugixml SYSTEM PUBLIC "${ZRB_DEPS_DIR}/pugixml/src")
target_compile_definitions(pugixml PUBLIC PUGIXML_WCHAR_MODE)

# --- The LZMA SDK's C 7z decoder. ---
set(LZMA_SRC "${ZRB_DEPS_DIR}/7zip/C")
add_library(lzma7z STATIC
  ${LZMA_SRC}/7zAlloc.c ${LZMA_SRC}/7zArcIn.c ${LZMA_SRC}/7zBuf.c ${LZMA_SRC}/7zBuf2.c
  ${LZMA_SRC}/7zCrc.c ${LZMA_SRC}/7zCrcOpt.c ${LZMA_SRC}/7zDec.c ${LZMA_SRC}/7zFile.c
  ${LZMA_SRC}/7zStream.c ${LZMA_SRC}/Bcj2.c ${LZMA_SRC}/Bra.c ${LZMA_SRC}/Bra86.c
  ${LZMA_SRC}/BraIA64.c ${LZMA_SRC}/CpuArch.c ${LZMA_SRC}/Delta.c ${LZMA_SRC}/Lzma2Dec.c
  ${LZMA_SRC}/LzmaDec.c)
target_include_directories(lzma7z SYSTEM PUBLIC "${LZMA_SRC}")
target_compile_options(lzma7z PRIVATE -w -O2)

# --- GoogleTest from the sources of Debian's googletest package. ---
if(ZRB_BUILD_TESTS)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
endif()
