# Installing korvelin, in two components:
#   programs     counter.cgi (and counter.fcgi) where the web server runs CGI
#                programs, counter-report with the other programs (bin/),
#                the web servers' configuration files under
#                share/korvelin/, and a logrotate file
#   development  the support library for programs built on it: libkorvelin.a,
#                the public headers under include/korvelin/, a CMake package
#                (find_package(korvelin) gives the target korvelin::korvelin)
#                and a pkg-config file, korvelin.pc
# `cmake --install build --strip` installs the programs without debugging information.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(KORVELIN_INSTALL_CGIDIR "lib/cgi-bin" CACHE STRING
    "Where counter.cgi is installed, relative to the prefix (Debian's /usr/lib/cgi-bin with prefix /usr)")
set(KORVELIN_INSTALL_CMAKEDIR "${CMAKE_INSTALL_LIBDIR}/cmake/korvelin")
set(KORVELIN_INSTALL_PKGCONFIGDIR "${CMAKE_INSTALL_LIBDIR}/pkgconfig")

install(TARGETS counter RUNTIME DESTINATION "${KORVELIN_INSTALL_CGIDIR}" COMPONENT programs)
if(TARGET counter_fcgi)
  install(TARGETS counter_fcgi RUNTIME DESTINATION "${KORVELIN_INSTALL_CGIDIR}" COMPONENT programs)
endif()
install(TARGETS counter_report RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT programs)
include(cmake/deploy_files.cmake)

install(TARGETS korvelin EXPORT korvelinTargets
  ARCHIVE DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT development)

# A library built with the sanitizers needs their run-time libraries in every program linked with it.
set(KORVELIN_PC_LIBS "-L\${libdir} -lkorvelin")
if(KORVELIN_SANITIZE)
  target_link_options(korvelin INTERFACE "$<INSTALL_INTERFACE:-fsanitize=address,undefined>")
  string(APPEND KORVELIN_PC_LIBS " -fsanitize=address,undefined")
endif()

# Every header under korvelin/ is public except those in a folder named internal/;
# they keep their folders, so <prefix>/include is the one include directory.
install(DIRECTORY "${PROJECT_SOURCE_DIR}/korvelin" DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}"
  COMPONENT development
  FILES_MATCHING PATTERN "*.h"
  PATTERN "internal" EXCLUDE)

install(EXPORT korvelinTargets NAMESPACE korvelin:: DESTINATION "${KORVELIN_INSTALL_CMAKEDIR}"
  COMPONENT development)
configure_package_config_file(cmake/korvelinConfig.cmake.in
  "${PROJECT_BINARY_DIR}/package/korvelinConfig.cmake"
  INSTALL_DESTINATION "${KORVELIN_INSTALL_CMAKEDIR}")
# 0.x releases: only the same minor version is compatible.
write_basic_package_version_file("${PROJECT_BINARY_DIR}/package/korvelinConfigVersion.cmake"
  COMPATIBILITY SameMinorVersion)
install(FILES "${PROJECT_BINARY_DIR}/package/korvelinConfig.cmake"
              "${PROJECT_BINARY_DIR}/package/korvelinConfigVersion.cmake"
  DESTINATION "${KORVELIN_INSTALL_CMAKEDIR}" COMPONENT development)

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
install(FILES "${PROJECT_BINARY_DIR}/package/korvelin.pc" DESTINATION "${KORVELIN_INSTALL_PKGCONFIGDIR}"
  COMPONENT development)
