# Lean release binaries. The 32-bit build, which makes the deliverables, compiles for
# size and drops unused code and data at link time; each deliverable is then
# stripped, its debug information kept in <build>/symbols/<file>.debug and linked
# by .gnu_debuglink, so that a crash address can still be resolved:
#   i686-w64-mingw32-addr2line -f -C -e build/win32/symbols/ch_plug.dll.debug 0x<address>
# (the address as the module's image base 0x69480000 plus the crash offset).
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(va_lean_default ON)
else()
  set(va_lean_default OFF)
endif()
option(VA_LEAN_RELEASE "Compile for size, drop unused sections, strip the deliverables" ${va_lean_default})

if(VA_LEAN_RELEASE)
  add_compile_options(-Os -ffunction-sections -fdata-sections)
  add_link_options(-Wl,--gc-sections)
endif()
if(WIN32)
  find_program(VA_OBJCOPY NAMES ${VA_MINGW}-objcopy REQUIRED)
endif()

# va_lean_deliverable(target): strips the built file after linking and keeps its
# debug information beside the build. Later POST_BUILD steps see the stripped file.
function(va_lean_deliverable target)
  if(NOT VA_LEAN_RELEASE OR NOT WIN32)
    return()
  endif()
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/common/lean_runtime.cpp)
  set(debug ${CMAKE_BINARY_DIR}/symbols/$<TARGET_FILE_NAME:${target}>.debug)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/symbols
    COMMAND ${VA_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> ${debug}
    COMMAND ${VA_OBJCOPY} --strip-all --add-gnu-debuglink=${debug} $<TARGET_FILE:${target}>
    COMMENT "Stripping ${target}, its debug information into symbols/")
endfunction()

# va_lean_product_code(targets...): the product's own code neither throws nor
# catches, so it needs no unwind tables: an exception from the standard library
# ends the program either way. Tests keep theirs.
function(va_lean_product_code)
  if(NOT VA_LEAN_RELEASE)
    return()
  endif()
  foreach(target ${ARGN})
    target_compile_options(${target} PRIVATE -fno-exceptions -fno-asynchronous-unwind-tables -fno-unwind-tables)
  endforeach()
endfunction()

# va_lean_keep_speed(target sources...): hot loops stay optimised for speed (-O3)
# in the lean build, where -Os would cost measurable time (MD5 loses about 12%).
function(va_lean_keep_speed target)
  if(VA_LEAN_RELEASE)
    set_source_files_properties(${ARGN} TARGET_DIRECTORY ${target} PROPERTIES COMPILE_OPTIONS -O3)
  endif()
endfunction()
