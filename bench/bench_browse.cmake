qm_bench(browse DEPS qm_editor qm_bankstore qm_rtf qm_core)
