qm_bench(paper DEPS qm_paper qm_compose qm_bankstore qm_rtf qm_core)
