# korvelin_target_options(<target>...): the compile settings every target of the
# project shares (the library, the programs, the tests, the benchmarks and the fuzz
# build): the language standard, the warnings, and the sanitizers.
#   KORVELIN_WERROR            warnings are errors
#   KORVELIN_SANITIZER_FLAGS   -fsanitize=... given to the compiler and the linker
#                              (empty: no instrumentation)
function(korvelin_target_options)
  foreach(target IN LISTS ARGN)
    set_target_properties(${target} PROPERTIES
      CXX_STANDARD 20 CXX_STANDARD_REQUIRED ON CXX_EXTENSIONS OFF
      C_STANDARD 11 C_STANDARD_REQUIRED ON)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(KORVELIN_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
    if(KORVELIN_SANITIZER_FLAGS)
      target_compile_options(${target} PRIVATE
        ${KORVELIN_SANITIZER_FLAGS} -fno-sanitize-recover=all -fno-omit-frame-pointer)
      target_link_options(${target} PRIVATE ${KORVELIN_SANITIZER_FLAGS})
      # GCC's instrumentation gives false "maybe uninitialized" warnings inside the
      # standard library; the uninstrumented build still checks for them.
      if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(${target} PRIVATE -Wno-maybe-uninitialized)
      endif()
    endif()
  endforeach()
endfunction()
