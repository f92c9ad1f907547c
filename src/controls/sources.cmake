# Files of this subsystem: target_sources(brivamo_core ...) for window-free logic,
# target_sources(brivamo_ui ...) for widgets and platform code.
target_sources(brivamo_core PRIVATE
  src/controls/button_codes.h
  src/controls/button_colour.cpp src/controls/button_colour.h
  src/controls/button_layout.cpp src/controls/button_layout.h
  src/controls/button_store.cpp src/controls/button_store.h)
target_sources(brivamo_ui PRIVATE
  src/controls/button_picture.cpp src/controls/button_picture.h
  src/controls/ostrel_button.cpp src/controls/ostrel_button.h
  src/controls/ostrel_button_draw.cpp)
# What screen readers see of the button.
target_sources(brivamo_ui PRIVATE
  src/controls/ostrel_button_accessible.cpp src/controls/ostrel_button_accessible.h)
