# Files of this subsystem: target_sources(brivamo_core ...) for window-free logic,
# target_sources(brivamo_ui ...) for widgets and platform code.
target_sources(brivamo_core PRIVATE src/help/print_text.cpp src/help/print_text.h)
target_sources(brivamo_ui PRIVATE src/help/print_text_window.cpp src/help/print_text_window.h)
# The help window and its topics.
target_sources(brivamo_core PRIVATE src/help/help_topics.cpp src/help/help_topics.h)
target_sources(brivamo_ui PRIVATE src/help/frm_manual.cpp src/help/frm_manual.h)
qt_add_resources(brivamo_ui "buttons_frm_manual" PREFIX "/buttons" BASE resources/buttons FILES
  resources/buttons/frmManual.txt)
# The built-in help texts, shown by the help window and the new-user notice.
target_sources(brivamo_core PRIVATE src/help/help_texts.cpp src/help/help_texts.h)
qt_add_resources(brivamo_core "brivamo_help_texts" PREFIX "/help" BASE resources/help FILES
  resources/help/1000.txt resources/help/1100.txt resources/help/1200.txt resources/help/1300.txt
  resources/help/1900.txt)
