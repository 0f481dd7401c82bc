qm_bench(compose DEPS qm_compose qm_bankstore qm_core)
