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

add_library(mvxgui STATIC ${GUI_NAMED_SOURCES} ${GUI_VIEW_SOURCES} resources/resources.qrc)
target_include_directories(mvxgui PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(mvxgui PUBLIC
  core records Qt5::Widgets Qt5::PrintSupport ads::qtadvanceddocking QCustomPlot::QCustomPlot)
target_compile_options(mvxgui PRIVATE ${MVX_WARNINGS})

add_executable(mvx-configurator app/main.cpp)
target_link_libraries(mvx-configurator PRIVATE mvxgui sanitizerdefaults)
target_compile_options(mvx-configurator PRIVATE ${MVX_WARNINGS})

install(TARGETS mvx-configurator RUNTIME DESTINATION bin)
