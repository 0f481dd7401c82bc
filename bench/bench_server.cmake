qm_bench(server DEPS qm_bankstore qm_core PkgConfig::LIBPQ)
target_compile_definitions(bench_server PRIVATE QM_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
