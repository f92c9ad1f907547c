# The puzzle window: the board's content (window-free), the board and the window.
target_sources(brivamo_core PRIVATE
  src/puzzle/puzzle_board_model.cpp src/puzzle/puzzle_board_model.h)
target_sources(brivamo_ui PRIVATE
  src/puzzle/puzzle_board.cpp src/puzzle/puzzle_board.h
  src/puzzle/frm_puzzle.cpp src/puzzle/frm_puzzle.h)
qt_add_resources(brivamo_ui "puzzle_buttons" PREFIX "/buttons" BASE resources/buttons FILES
  resources/buttons/frmPuzzle.txt)
