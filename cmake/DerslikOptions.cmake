# One interface target that every Derslik target links: the language standard,
# the warning set and the Qt strictness defines live here and nowhere else.
add_library(derslik_options INTERFACE)
target_compile_features(derslik_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(derslik_options INTERFACE -Wall -Wextra -Wpedantic)
if(DERSLIK_WERROR)
  target_compile_options(derslik_options INTERFACE -Werror)
endif()
# Any undefined behaviour stops the program, so a test that meets it fails
# instead of printing a line nobody reads.
# Fuzzing instruments every Derslik target for coverage; the fuzz targets
# themselves link libFuzzer's main.
if(DERSLIK_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "DERSLIK_FUZZ needs clang (CC=clang CXX=clang++)")
  endif()
  set(DERSLIK_SANITIZE ON)
  target_compile_options(derslik_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
if(DERSLIK_SANITIZE)
  set(derslik_sanitize_flags
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(derslik_options INTERFACE ${derslik_sanitize_flags})
  target_link_options(derslik_options INTERFACE ${derslik_sanitize_flags})
endif()
target_compile_definitions(derslik_options INTERFACE
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH
  QT_NO_JAVA_STYLE_ITERATORS
  QT_DISABLE_DEPRECATED_UP_TO=0x060400
  QT_MESSAGELOGCONTEXT)
# About a hundred test programs link the whole core: lld links each several times
# faster than the default linker, and linking is most of a build ccache serves.
include(CheckLinkerFlag)
check_linker_flag(CXX "-fuse-ld=lld" DERSLIK_HAVE_LLD)
if(DERSLIK_HAVE_LLD)
  add_link_options(-fuse-ld=lld)
endif()
