qm_bench(dump DEPS qm_bankstore qm_rtf qm_core)
# The benchmark runs the built qmtool.
add_dependencies(bench_dump qmtool)
target_compile_definitions(bench_dump PRIVATE QM_QMTOOL="$<TARGET_FILE:qmtool>")
