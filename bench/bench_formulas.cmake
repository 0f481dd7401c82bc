# A window benchmark: the rich-text box needs a widget application, so it has its own main.
add_executable(bench_formulas ${CMAKE_CURRENT_SOURCE_DIR}/bench_formulas.cpp)
set_target_properties(bench_formulas PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
target_link_libraries(bench_formulas PRIVATE benchmark::benchmark Qt6::Widgets qm_widgets qm_rtf qm_core qm_warnings)
target_compile_definitions(bench_formulas PRIVATE QM_METAFILE_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures/metafiles")
