# Files of this subsystem: target_sources(brivamo_core ...) for window-free logic,
# target_sources(brivamo_ui ...) for widgets and platform code.
target_sources(brivamo_core PRIVATE
  src/puzzle/standard_routines.cpp src/puzzle/standard_routines.h
  src/puzzle/puzzle_grid.cpp src/puzzle/puzzle_grid.h
  src/puzzle/puzzle_host.h
  src/puzzle/puzzle_level.cpp src/puzzle/puzzle_level.h
  src/puzzle/puzzle_generator.cpp src/puzzle/puzzle_generator.h
  src/puzzle/puzzle_words.cpp src/puzzle/puzzle_words.h
  src/puzzle/letter_streams.cpp src/puzzle/letter_streams.h
  src/puzzle/fill_guard.cpp src/puzzle/fill_guard.h
  src/puzzle/blocked_words.cpp src/puzzle/blocked_words.h
  src/puzzle/fill_alphabet.cpp src/puzzle/fill_alphabet.h
  src/puzzle/hidden_message.cpp src/puzzle/hidden_message.h
  src/puzzle/make_options.cpp src/puzzle/make_options.h)
# Words no puzzle may let the solver read (the user's blocked-words.txt changes them).
qt_add_resources(brivamo_core "blocked_words" PREFIX "/words" BASE resources/words FILES
  resources/words/blocked-words.txt)
# The command line stays beside the windows so that it can later print pages as well.
target_sources(brivamo_ui PRIVATE
  src/puzzle/make_command.cpp src/puzzle/make_command.h)
# The puzzle and solution pages as print jobs, shared by the window and the command line.
target_sources(brivamo_ui PRIVATE
  src/puzzle/puzzle_print_jobs.cpp src/puzzle/puzzle_print_jobs.h)
# The board's content and the printed pages' layout (window-free).
target_sources(brivamo_core PRIVATE
  src/puzzle/word_locations.cpp src/puzzle/word_locations.h
  src/puzzle/puzzle_board_model.cpp src/puzzle/puzzle_board_model.h
  src/puzzle/puzzle_page.cpp src/puzzle/puzzle_page.h)
# The puzzle window and its board.
target_sources(brivamo_ui PRIVATE
  src/puzzle/puzzle_board.cpp src/puzzle/puzzle_board.h)
target_sources(brivamo_ui PRIVATE
  src/puzzle/frm_puzzle.cpp src/puzzle/frm_puzzle.h)
qt_add_resources(brivamo_ui "puzzle_buttons" PREFIX "/buttons" BASE resources/buttons FILES
  resources/buttons/frmPuzzle.txt)
# The generator's inner loops gain from the optimiser's further passes (unrolling, vectorising).
set_source_files_properties(src/puzzle/puzzle_generator.cpp src/puzzle/fill_guard.cpp
  src/puzzle/letter_streams.cpp PROPERTIES COMPILE_OPTIONS "$<$<NOT:$<CONFIG:Debug>>:-O3>")
