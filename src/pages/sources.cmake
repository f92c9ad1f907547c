# The printed puzzle and solution pages: their layout (window-free), the print jobs shared by the
# puzzle window and the command line, and pages written as PNG or SVG files.
target_sources(brivamo_core PRIVATE
  src/pages/puzzle_page.cpp src/pages/puzzle_page.h)
target_sources(brivamo_ui PRIVATE
  src/pages/puzzle_print_jobs.cpp src/pages/puzzle_print_jobs.h
  src/pages/image_printer.cpp src/pages/image_printer.h)
