qm_bench(search DEPS qm_bankstore qm_import qm_rtf qm_core)
