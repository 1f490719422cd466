# The main window joins the game manager and the widgets; the game and the screenshot tool are
# built on it.
find_package(Threads REQUIRED)
add_library(morvane_window STATIC Main.cpp QtGameSeams.cpp AnalysisWorker.cpp MoveAnalyst.cpp
  OthelloEvalGraph.cpp)
set_target_properties(morvane_window PROPERTIES AUTOMOC ON)
target_include_directories(morvane_window PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(morvane_window PUBLIC morvane_ui morvane_game Qt6::Charts Threads::Threads)

add_executable(morvane main.cpp)
target_link_libraries(morvane PRIVATE morvane_window)
target_compile_definitions(morvane PRIVATE MORVANE_VERSION="${PROJECT_VERSION}")
install(TARGETS morvane)

add_executable(morvane-screenshot Screenshot.cpp)
target_link_libraries(morvane-screenshot PRIVATE morvane_window)
