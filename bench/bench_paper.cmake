qm_bench(paper DEPS qm_paper qm_selection qm_bankstore qm_rtf qm_core)
