list(APPEND KORVELIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/access_key.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nickname.cpp
  ${CMAKE_CURRENT_LIST_DIR}/validators.cpp
)
