# The web servers' configuration files, the systemd units and the logrotate
# file, filled in with the paths this build installs to and logs under: the
# recipes under share/korvelin/, the logrotate file in etc/logrotate.d/ under
# the prefix (/etc itself with the prefix /usr). They name the prefix given at
# configure time, so a build installed elsewhere with --prefix needs its paths edited.
if(IS_ABSOLUTE "${KORVELIN_INSTALL_CGIDIR}")
  set(KORVELIN_CGI_DIR "${KORVELIN_INSTALL_CGIDIR}")
else()
  set(KORVELIN_CGI_DIR "${CMAKE_INSTALL_PREFIX}/${KORVELIN_INSTALL_CGIDIR}")
endif()

set(korvelin_recipes
  apache/korvelin-cgi.conf apache/korvelin-fcgid.conf
  nginx/korvelin.conf
  lighttpd/20-korvelin-cgi.conf lighttpd/20-korvelin-fastcgi.conf
  systemd/korvelin-counter.socket systemd/korvelin-counter.service)
foreach(recipe IN LISTS korvelin_recipes)
  configure_file("${PROJECT_SOURCE_DIR}/deploy/${recipe}" "${PROJECT_BINARY_DIR}/deploy/${recipe}" @ONLY)
  get_filename_component(folder "${recipe}" DIRECTORY)
  install(FILES "${PROJECT_BINARY_DIR}/deploy/${recipe}"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/korvelin/${folder}" COMPONENT programs)
endforeach()

configure_file("${PROJECT_SOURCE_DIR}/deploy/logrotate/korvelin"
  "${PROJECT_BINARY_DIR}/deploy/logrotate/korvelin" @ONLY)
set(KORVELIN_INSTALL_LOGROTATEDIR "${CMAKE_INSTALL_SYSCONFDIR}/logrotate.d")
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(KORVELIN_INSTALL_LOGROTATEDIR /etc/logrotate.d)
endif()
install(FILES "${PROJECT_BINARY_DIR}/deploy/logrotate/korvelin"
  DESTINATION "${KORVELIN_INSTALL_LOGROTATEDIR}" COMPONENT programs)
