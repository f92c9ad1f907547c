# Files of this subsystem: target_sources(brivamo_core ...) for window-free logic,
# target_sources(brivamo_ui ...) for widgets and platform code.
target_sources(brivamo_ui PRIVATE src/effects/sounds.cpp src/effects/sounds.h)
qt_add_resources(brivamo_ui "brivamo_sounds" PREFIX "/sounds" BASE resources/sounds FILES
  resources/sounds/click.wav resources/sounds/done.wav resources/sounds/tryagain.wav)
# Fading.
target_sources(brivamo_ui PRIVATE src/effects/fade.cpp src/effects/fade.h)
