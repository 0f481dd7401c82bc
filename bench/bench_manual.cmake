# The manual composition window needs a widget application: its own main.
add_executable(bench_manual ${CMAKE_CURRENT_SOURCE_DIR}/bench_manual.cpp)
set_target_properties(bench_manual PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
target_link_libraries(bench_manual PRIVATE benchmark::benchmark Qt6::Widgets qm_composer qm_bankstore qm_rtf qm_core
                      qm_warnings)
