# Installing korvelin: counter.cgi where the web server runs CGI programs, and the
# support library for programs built on it: libkorvelin.a, the public headers
# under include/korvelin/, a CMake package (find_package(korvelin) gives the
# target korvelin::korvelin) and a pkg-config file, korvelin.pc.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(KORVELIN_INSTALL_CGIDIR "lib/cgi-bin" CACHE STRING
    "Where counter.cgi is installed, relative to the prefix (Debian's /usr/lib/cgi-bin with prefix /usr)")
set(KORVELIN_INSTALL_CMAKEDIR "${CMAKE_INSTALL_LIBDIR}/cmake/korvelin")
set(KORVELIN_INSTALL_PKGCONFIGDIR "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
set(KORVELIN_INSTALL_HEADERDIR "${CMAKE_INSTALL_INCLUDEDIR}/korvelin")

install(TARGETS counter RUNTIME DESTINATION "${KORVELIN_INSTALL_CGIDIR}")

# The headers include each other as "support/clock.h", relative to the source
# root; installed, that root is include/korvelin, so both it and include (for
# <korvelin/...>) are on the include path of every program that uses the library.
install(TARGETS korvelin EXPORT korvelinTargets
  ARCHIVE DESTINATION "${CMAKE_INSTALL_LIBDIR}"
  INCLUDES DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}" "${KORVELIN_INSTALL_HEADERDIR}")
# The headers use inline variables.
target_compile_features(korvelin INTERFACE cxx_std_17)

# A library built with the sanitizers needs their run-time libraries in every program linked with it.
set(KORVELIN_PC_LIBS "-L\${libdir} -lkorvelin")
if(KORVELIN_SANITIZE)
  target_link_options(korvelin INTERFACE "$<INSTALL_INTERFACE:-fsanitize=address,undefined>")
  string(APPEND KORVELIN_PC_LIBS " -fsanitize=address,undefined")
endif()

# The public headers are the ones korvelin.h includes; every other header is internal.
file(STRINGS "${PROJECT_SOURCE_DIR}/korvelin.h" korvelin_includes REGEX "^#include \"")
install(FILES "${PROJECT_SOURCE_DIR}/korvelin.h" DESTINATION "${KORVELIN_INSTALL_HEADERDIR}")
foreach(line IN LISTS korvelin_includes)
  string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
  get_filename_component(folder "${header}" DIRECTORY)
  install(FILES "${PROJECT_SOURCE_DIR}/${header}" DESTINATION "${KORVELIN_INSTALL_HEADERDIR}/${folder}")
endforeach()
set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  "${PROJECT_SOURCE_DIR}/korvelin.h")

install(EXPORT korvelinTargets NAMESPACE korvelin:: DESTINATION "${KORVELIN_INSTALL_CMAKEDIR}")
configure_package_config_file(cmake/korvelinConfig.cmake.in
  "${PROJECT_BINARY_DIR}/package/korvelinConfig.cmake"
  INSTALL_DESTINATION "${KORVELIN_INSTALL_CMAKEDIR}")
# 0.x releases: only the same minor version is compatible.
write_basic_package_version_file("${PROJECT_BINARY_DIR}/package/korvelinConfigVersion.cmake"
  COMPATIBILITY SameMinorVersion)
install(FILES "${PROJECT_BINARY_DIR}/package/korvelinConfig.cmake"
              "${PROJECT_BINARY_DIR}/package/korvelinConfigVersion.cmake"
  DESTINATION "${KORVELIN_INSTALL_CMAKEDIR}")

# korvelin.pc finds the prefix from its own place, so the tree may be installed
# with --prefix or DESTDIR, or moved, and still be found.
foreach(kind LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${kind}}")
    set(KORVELIN_PC_${kind} "${CMAKE_INSTALL_${kind}}")
  else()
    set(KORVELIN_PC_${kind} "\${prefix}/${CMAKE_INSTALL_${kind}}")
  endif()
endforeach()
if(IS_ABSOLUTE "${KORVELIN_INSTALL_PKGCONFIGDIR}")
  set(KORVELIN_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH up "/prefix/${KORVELIN_INSTALL_PKGCONFIGDIR}" "/prefix")
  string(REGEX REPLACE "/$" "" up "${up}")
  set(KORVELIN_PC_PREFIX "\${pcfiledir}/${up}")
endif()
configure_file(cmake/korvelin.pc.in "${PROJECT_BINARY_DIR}/package/korvelin.pc" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/package/korvelin.pc" DESTINATION "${KORVELIN_INSTALL_PKGCONFIGDIR}")
