# The puzzle generator and what it needs to know of a list (window-free): the square, the words'
# directions by level, the fill alphabet, the blocked words, the hidden message and the fill guard.
target_sources(brivamo_core PRIVATE
  src/generator/standard_routines.cpp src/generator/standard_routines.h
  src/generator/puzzle_grid.cpp src/generator/puzzle_grid.h
  src/generator/puzzle_host.h
  src/generator/puzzle_level.cpp src/generator/puzzle_level.h
  src/generator/puzzle_generator.cpp src/generator/puzzle_generator.h
  src/generator/puzzle_words.cpp src/generator/puzzle_words.h
  src/generator/reading_automaton.cpp src/generator/reading_automaton.h
  src/generator/fill_guard.cpp src/generator/fill_guard.h
  src/generator/blocked_words.cpp src/generator/blocked_words.h
  src/generator/fill_alphabet.cpp src/generator/fill_alphabet.h
  src/generator/hidden_message.cpp src/generator/hidden_message.h
  src/generator/word_locations.cpp src/generator/word_locations.h)
# Words no puzzle may let the solver read (the user's blocked-words.txt changes them).
qt_add_resources(brivamo_core "blocked_words" PREFIX "/words" BASE resources/words FILES
  resources/words/blocked-words.txt)
# The generator's inner loops gain from the optimiser's further passes (inlining, unrolling).
set_source_files_properties(src/generator/puzzle_generator.cpp src/generator/fill_guard.cpp
  src/generator/reading_automaton.cpp PROPERTIES COMPILE_OPTIONS "$<$<NOT:$<CONFIG:Debug>>:-O3>")
