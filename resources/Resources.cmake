# Resources compiled into the program, loaded by type and name (":/<TYPE>/<NAME>").
# Included from the top-level list so that generated files and the application
# target live in one directory scope.

# The empty library is made at build time from the schema text by our own tool,
# so the template always matches the schema the program expects.
add_executable(make_empty_library ${CMAKE_SOURCE_DIR}/resources/tools/make_empty_library.cpp)
target_link_libraries(make_empty_library PRIVATE PkgConfig::SQLITE3)

set(RW_EMPTY_LIBRARY ${CMAKE_BINARY_DIR}/generated/EmptyLibrary.rw2)
add_custom_command(
  OUTPUT ${RW_EMPTY_LIBRARY}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND make_empty_library ${CMAKE_SOURCE_DIR}/library/EmptyLibrary.sql ${RW_EMPTY_LIBRARY}
  DEPENDS make_empty_library ${CMAKE_SOURCE_DIR}/library/EmptyLibrary.sql
  COMMENT "Making the empty-library template"
  VERBATIM)
set_source_files_properties(${RW_EMPTY_LIBRARY} PROPERTIES GENERATED TRUE QT_RESOURCE_ALIAS "CUSTOM/DB")

qt_add_resources(reelwise_app "rw_database"
  PREFIX "/"
  FILES ${RW_EMPTY_LIBRARY})
