list(APPEND KORVELIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/error_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/store_age.cpp
  ${CMAKE_CURRENT_LIST_DIR}/store_lock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/two_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/write_text.cpp
)
