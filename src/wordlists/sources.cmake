# Files of this subsystem: target_sources(brivamo_core ...) for window-free logic,
# target_sources(brivamo_ui ...) for widgets and platform code.
target_sources(brivamo_core PRIVATE
  src/wordlists/validation.cpp src/wordlists/validation.h)
target_sources(brivamo_core PRIVATE
  src/wordlists/word_list.cpp src/wordlists/word_list.h)
