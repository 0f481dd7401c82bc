# The paper-library window needs a widget application, so this benchmark has its own main
# instead of bench_main.cpp.
add_executable(bench_library ${CMAKE_CURRENT_SOURCE_DIR}/bench_library.cpp)
set_target_properties(bench_library PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
target_link_libraries(bench_library PRIVATE benchmark::benchmark Qt6::Widgets qm_library qm_bankstore qm_rtf qm_core
                      qm_warnings)
