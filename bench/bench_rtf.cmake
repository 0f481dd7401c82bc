qm_bench(rtf DEPS qm_rtf Qt6::Gui)
