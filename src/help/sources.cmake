# Files of this subsystem: target_sources(brivamo_core ...) for window-free logic,
# target_sources(brivamo_ui ...) for widgets and platform code.
target_sources(brivamo_core PRIVATE src/help/print_text.cpp src/help/print_text.h)
target_sources(brivamo_ui PRIVATE src/help/print_text_window.cpp src/help/print_text_window.h)
# The help window and its topics.
target_sources(brivamo_core PRIVATE src/help/help_topics.cpp src/help/help_topics.h)
target_sources(brivamo_ui PRIVATE src/help/frm_manual.cpp src/help/frm_manual.h)
qt_add_resources(brivamo_ui "buttons_frm_manual" PREFIX "/buttons" BASE resources/buttons FILES
  resources/buttons/frmManual.txt)
