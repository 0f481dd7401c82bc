qm_bench(bankstore DEPS qm_bankstore qm_core)
