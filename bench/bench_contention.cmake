qm_bench(contention DEPS qm_import qm_bankstore qm_rtf qm_core)
# The long import runs in the built qmtool.
add_dependencies(bench_contention qmtool)
target_compile_definitions(bench_contention PRIVATE QM_QMTOOL="$<TARGET_FILE:qmtool>")
