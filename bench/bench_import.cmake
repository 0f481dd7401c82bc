qm_bench(import DEPS qm_import)
