# Files of this subsystem: target_sources(brivamo_core ...) for window-free logic,
# target_sources(brivamo_ui ...) for widgets and platform code.
target_sources(brivamo_core PRIVATE src/help/print_text.cpp src/help/print_text.h)
target_sources(brivamo_ui PRIVATE src/help/print_text_window.cpp src/help/print_text_window.h)
# The help window's topics.
target_sources(brivamo_core PRIVATE src/help/help_topics.cpp src/help/help_topics.h)
