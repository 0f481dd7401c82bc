qm_bench(server DEPS qm_bankstore qm_core PkgConfig::LIBPQ)
target_compile_definitions(bench_server PRIVATE QM_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
# A writer process of the contention run.
add_executable(server_writer ${CMAKE_CURRENT_SOURCE_DIR}/server_writer.cpp)
set_target_properties(server_writer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
target_link_libraries(server_writer PRIVATE qm_bankstore qm_core qm_warnings)
add_dependencies(bench_server server_writer)
target_compile_definitions(bench_server PRIVATE QM_SERVER_WRITER="$<TARGET_FILE:server_writer>")
