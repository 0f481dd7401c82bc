qm_bench(compose DEPS qm_selection qm_bankstore qm_core SQLiteCpp)
