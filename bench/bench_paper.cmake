qm_bench(paper DEPS qm_paper qm_selection qm_bankstore qm_rtf qm_core)
target_compile_definitions(bench_paper PRIVATE QM_METAFILE_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures/metafiles")
