qm_bench(import DEPS qm_import qm_bankstore qm_rtf qm_core)
