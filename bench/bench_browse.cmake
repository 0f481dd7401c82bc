qm_bench(browse DEPS qm_editor Qt6::Gui)
