# The lobby: its model, flows and shipped lists (window-free), and its window.
target_sources(brivamo_core PRIVATE
  src/lobby/email_friend.cpp src/lobby/email_friend.h
  src/lobby/lobby_model.cpp src/lobby/lobby_model.h
  src/lobby/lobby_texts.h
  src/lobby/shipped_lists.cpp src/lobby/shipped_lists.h)
target_sources(brivamo_ui PRIVATE
  src/lobby/frm_lobby.cpp src/lobby/frm_lobby.h)
# The word lists that come with the program, installed into an empty working folder.
qt_add_resources(brivamo_core "lobby_lists" PREFIX "/lists" BASE resources/lists FILES
  resources/lists/ANIMALS.lst
  resources/lists/FRUITS.lst
  resources/lists/MONTHS.lst
  resources/lists/SPACE.lst)
# The stored settings of the lobby's buttons.
qt_add_resources(brivamo_ui "lobby_buttons" PREFIX "/buttons" BASE resources/buttons FILES
  resources/buttons/frmLobby.txt)
