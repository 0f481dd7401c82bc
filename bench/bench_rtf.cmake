qm_bench(rtf DEPS qm_rtf qm_core)
