# The ground every window stands on: the Form base and its registry, settings, the program's
# identity and the shared routines. Nothing here includes a folder above it.
target_sources(brivamo_core PRIVATE src/base/app_info.cpp src/base/app_info.h)
target_sources(brivamo_core PRIVATE src/base/settings.cpp src/base/settings.h)
target_sources(brivamo_core PRIVATE
  src/base/maker_info.h
  src/base/shared_routines.cpp src/base/shared_routines.h)
target_sources(brivamo_ui PRIVATE src/base/window_routines.cpp src/base/window_routines.h)
# The program's icon for its windows.
target_sources(brivamo_ui PRIVATE src/base/app_icon.cpp src/base/app_icon.h)
# The look the lobby and the puzzle window share: list colours, fonts, list and label factories.
target_sources(brivamo_ui PRIVATE src/base/window_look.cpp src/base/window_look.h)
# The window base, its registry and the window-free step of its fades.
target_sources(brivamo_core PRIVATE src/base/fade_request.cpp src/base/fade_request.h)
target_sources(brivamo_ui PRIVATE
  src/base/form.cpp src/base/form.h)
