# The window: a static library with every widget class, and the executable around it.
# Included by the root CMakeLists.txt when app/main.cpp exists and MVX_BUILD_GUI is ON.

file(GLOB GUI_NAMED_SOURCES CONFIGURE_DEPENDS
  app/*.cpp app/*.h app/*.ui
  params/*.cpp params/*.h params/*.ui
  test/*.cpp test/*.h test/*.ui)
# In these folders only the widget files belong to the window; the rest is in core.
list(FILTER GUI_NAMED_SOURCES INCLUDE REGEX "/[a-z_]*(window|dialog|panel|widget)\\.(cpp|h|ui)$")

file(GLOB GUI_VIEW_SOURCES CONFIGURE_DEPENDS
  views/*.cpp views/*.h views/*.ui
  config/*.cpp config/*.h config/*.ui)

# The window's language catalogs (translations/mvx_<code>.ts), compiled by lrelease and built
# into the program as the resource ":/translations"; the package installs them as well.
find_package(Qt5LinguistTools 5.15 REQUIRED)
# The folders whose texts the window shows; mvxctl and the simulated drive speak as built.
set(MVX_TRANSLATED_FOLDERS app views config params test records comm map)
file(GLOB MVX_CATALOGS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/translations/mvx_*.ts)
qt5_add_translation(MVX_CATALOG_QM ${MVX_CATALOGS})
set(MVX_CATALOG_QRC_TEXT "<RCC>\n  <qresource prefix=\"/translations\">\n")
foreach(qm ${MVX_CATALOG_QM})
  get_filename_component(qm_name ${qm} NAME)
  string(APPEND MVX_CATALOG_QRC_TEXT "    <file>${qm_name}</file>\n")
endforeach()
string(APPEND MVX_CATALOG_QRC_TEXT "  </qresource>\n</RCC>\n")
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/translations.qrc CONTENT "${MVX_CATALOG_QRC_TEXT}")
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/translations.qrc PROPERTIES SKIP_AUTORCC ON)
qt5_add_resources(MVX_CATALOG_RESOURCE ${CMAKE_CURRENT_BINARY_DIR}/translations.qrc)
install(FILES ${MVX_CATALOG_QM} DESTINATION share/mvx-configurator/translations)

# Brings the catalogs up to date with the texts of the sources (new texts come in unfinished):
# cmake --build <dir> --target update_translations
add_custom_target(update_translations
  COMMAND Qt5::lupdate -I . -locations none -no-obsolete ${MVX_TRANSLATED_FOLDERS} -ts ${MVX_CATALOGS}
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} VERBATIM)

add_library(mvxgui STATIC ${GUI_NAMED_SOURCES} ${GUI_VIEW_SOURCES} resources/resources.qrc
            ${MVX_CATALOG_QM} ${MVX_CATALOG_RESOURCE})
target_include_directories(mvxgui PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(mvxgui PUBLIC
  core records Qt5::Widgets Qt5::PrintSupport ads::qtadvanceddocking QCustomPlot::QCustomPlot)
target_compile_options(mvxgui PRIVATE ${MVX_WARNINGS})

add_executable(mvx-configurator app/main.cpp)
target_link_libraries(mvx-configurator PRIVATE mvxgui sanitizerdefaults)
target_compile_options(mvx-configurator PRIVATE ${MVX_WARNINGS})

install(TARGETS mvx-configurator RUNTIME DESTINATION bin)
