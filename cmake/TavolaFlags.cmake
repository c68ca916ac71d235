# The flags every target of the project is built with, as interface targets: the root
# CMakeLists links tavola_build_flags into every target it and its folders define.

# Signal code must give the same bits on every build: no fused multiply-adds behind our back.
add_library(tavola_reproducible_math INTERFACE)
target_compile_options(tavola_reproducible_math INTERFACE -ffp-contract=off)

add_library(tavola_warnings INTERFACE)
target_compile_options(tavola_warnings INTERFACE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
                       $<$<BOOL:${TAVOLA_WERROR}>:-Werror>)
# GCC 12's inlining at -O3, and with the sanitizers, makes its own library headers
# (std::string, std::vector inserts and fills) report overflows and overlaps that cannot
# happen; later versions no longer do.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(tavola_warnings INTERFACE -Wno-restrict -Wno-stringop-overflow)
endif()

add_library(tavola_sanitizers INTERFACE)
if(TAVOLA_SANITIZE)
  target_compile_options(tavola_sanitizers INTERFACE -fsanitize=${TAVOLA_SANITIZE}
                         -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(tavola_sanitizers INTERFACE -fsanitize=${TAVOLA_SANITIZE})
endif()

add_library(tavola_build_flags INTERFACE)
target_link_libraries(tavola_build_flags INTERFACE tavola_reproducible_math tavola_warnings
                      tavola_sanitizers)
