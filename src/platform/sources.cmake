# Files of this subsystem: target_sources(brivamo_core ...) for window-free logic,
# target_sources(brivamo_ui ...) for widgets and platform code.
target_sources(brivamo_core PRIVATE src/platform/sound_output.h)
# File names as text, whatever bytes the file system holds.
target_sources(brivamo_core PRIVATE src/platform/file_names.cpp src/platform/file_names.h)
# Files replaced whole or not at all: lists and printed PDF files.
target_sources(brivamo_core PRIVATE src/platform/safe_file.cpp src/platform/safe_file.h)
target_sources(brivamo_ui PRIVATE src/platform/sound_output_pulse.cpp src/platform/sound_output_pulse.h)
target_sources(brivamo_core PRIVATE src/platform/printer.cpp src/platform/printer.h
  src/platform/printer_recording.cpp src/platform/printer_recording.h)
target_sources(brivamo_ui PRIVATE src/platform/printer_qt.cpp src/platform/printer_qt.h)
# The print library tells whether the print server took a job; Qt does not.
find_package(Cups REQUIRED)
target_link_libraries(brivamo_ui PRIVATE Cups::Cups)
# Message and input boxes; the link opener.
target_sources(brivamo_core PRIVATE src/platform/dialogs.cpp src/platform/dialogs.h)
target_sources(brivamo_ui PRIVATE src/platform/dialogs_qt.cpp src/platform/dialogs_qt.h)
target_sources(brivamo_core PRIVATE src/platform/link_opener.cpp src/platform/link_opener.h)
target_sources(brivamo_ui PRIVATE src/platform/link_opener_desktop.cpp src/platform/link_opener_desktop.h)
# A second start reaches the running copy through a local socket and brings its window forward.
find_package(Qt6 REQUIRED COMPONENTS Network)
target_sources(brivamo_ui PRIVATE src/platform/instance_channel.cpp src/platform/instance_channel.h
  src/platform/window_activation.cpp src/platform/window_activation.h)
target_link_libraries(brivamo_ui PRIVATE Qt6::Network)
