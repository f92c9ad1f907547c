# Files of this subsystem: target_sources(brivamo_core ...) for window-free logic,
# target_sources(brivamo_ui ...) for widgets and platform code.
target_sources(brivamo_core PRIVATE src/platform/sound_output.h)
target_sources(brivamo_ui PRIVATE src/platform/sound_output_pulse.cpp src/platform/sound_output_pulse.h)
