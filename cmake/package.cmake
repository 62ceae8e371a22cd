# Debian packages made by CPack from the install components: korvelin (the
# programs, the configuration files, the logrotate file) and korvelin-dev (the
# library for CGI programs). scripts/package configures the build for them:
# prefix /usr, data root /var/lib/korvelin/. CPack rather than a debian/
# directory: the packages hold exactly what `cmake --install --component`
# installs, from one set of install rules, and building them needs no debhelper.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvelin)
set(CPACK_PACKAGE_VENDOR "korvelin developers")
set(CPACK_PACKAGE_CONTACT "korvelin developers <korvelin@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL programs development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The packaged program links libc and libstdc++ dynamically, so their security
# updates reach it; dpkg-shlibdeps names them as dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME korvelin)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION web)
set(CPACK_COMPONENT_PROGRAMS_DESCRIPTION "counting redirect for web servers
counter.cgi answers a counted link with a redirect to its target and appends
one line per visit to the counter's hit log. counter.fcgi is the same program
for FastCGI. counter-report reports the hit logs as text, CSV or a page of
charts. The package ships configuration files for Apache, nginx and
lighttpd under /usr/share/korvelin and rotates the hit logs weekly.")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME korvelin-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "CGI support library for C++ (static library and headers)
libkorvelin: clock and calendar records, in-place string editing, form
decoding into HTML-safe text, record buffers, multipart fields, profile
validators, whole-file I/O, a paired-file store, an error journal and HTML
error pages, all in Windows-1251. With a CMake package and a pkg-config file.")

# Maintainer scripts, the logrotate file as a configuration file, and the
# copyright and changelog files every Debian package carries.
set(korvelin_debian "${PROJECT_BINARY_DIR}/debian")
foreach(script postinst postrm)
  configure_file("deploy/debian/${script}.in" "${korvelin_debian}/${script}" @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                     WORLD_READ WORLD_EXECUTE)
endforeach()
file(WRITE "${korvelin_debian}/conffiles" "${KORVELIN_INSTALL_LOGROTATEDIR}/korvelin\n")
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_CONTROL_EXTRA
  "${korvelin_debian}/postinst;${korvelin_debian}/postrm;${korvelin_debian}/conffiles")

configure_file(deploy/debian/changelog.in "${korvelin_debian}/changelog" @ONLY)
find_program(KORVELIN_GZIP gzip)
if(KORVELIN_GZIP)
  execute_process(COMMAND "${KORVELIN_GZIP}" -9nf "${korvelin_debian}/changelog")
  foreach(component programs development)
    string(TOUPPER "${component}" upper)
    install(FILES deploy/debian/copyright "${korvelin_debian}/changelog.gz"
      DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME}"
      COMPONENT ${component})
  endforeach()
endif()

include(CPack)
