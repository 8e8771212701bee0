# Resources compiled into the program, loaded by type and name (":/<TYPE>/<NAME>").
# Included from the top-level list so that generated files and the resources
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

qt_add_resources(rw_resources "rw_database"
  PREFIX "/"
  FILES ${RW_EMPTY_LIBRARY})

# The resource generator: a development-time tool built only on request
# (resources/tools/regenerate.sh); what it draws is committed in
# resources/generated/, so the normal build needs neither it nor python.
file(GLOB RW_GENERATOR_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/resources/tools/generator/*.cpp ${CMAKE_SOURCE_DIR}/resources/tools/generator/*.h)
add_executable(rw_resource_generator EXCLUDE_FROM_ALL ${RW_GENERATOR_SOURCES})
set_target_properties(rw_resource_generator PROPERTIES AUTOMOC OFF RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_compile_options(rw_resource_generator PRIVATE ${RW_WARNINGS})
target_link_libraries(rw_resource_generator PRIVATE PkgConfig::CAIRO PkgConfig::PANGOCAIRO PkgConfig::TURBOJPEG)

# Everything the generator drew (pictures, sounds, the glyph font) and the
# manifest, compiled into the resources library.
qt_add_resources(RW_GENERATED_RESOURCES ${CMAKE_SOURCE_DIR}/resources/generated/Resources.qrc)
target_sources(rw_resources PRIVATE ${RW_GENERATED_RESOURCES})

# The contact sheet of every picture, cursor and glyph (a review tool, not part
# of the program): rw_contact_sheet <output.png>
add_executable(rw_contact_sheet ${CMAKE_SOURCE_DIR}/resources/tools/contact_sheet.cpp)
target_compile_options(rw_contact_sheet PRIVATE ${RW_WARNINGS})
target_link_libraries(rw_contact_sheet PRIVATE rw_resources)
