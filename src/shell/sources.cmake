# Files of this subsystem: target_sources(brivamo_core ...) for window-free logic,
# target_sources(brivamo_ui ...) for widgets and platform code.
target_sources(brivamo_ui PRIVATE
  src/shell/bas_brivamo.cpp src/shell/bas_brivamo.h)
# The per-user list folder used when the program is started from the desktop menu.
target_sources(brivamo_core PRIVATE src/shell/lists_home.cpp src/shell/lists_home.h)
# --help, --version and the check of the window's arguments.
target_sources(brivamo_core PRIVATE src/shell/command_line.cpp src/shell/command_line.h)
target_sources(brivamo_core PRIVATE src/shell/help_texts.cpp src/shell/help_texts.h)
qt_add_resources(brivamo_core "brivamo_help_texts" PREFIX "/help" BASE resources/help FILES
  resources/help/1000.txt resources/help/1100.txt resources/help/1200.txt resources/help/1300.txt
  resources/help/1900.txt)
# The title window and the new-user notice.
target_sources(brivamo_core PRIVATE src/shell/frm_title_page_texts.cpp src/shell/frm_title_page_texts.h)
target_sources(brivamo_ui PRIVATE
  src/shell/frm_title_page.cpp src/shell/frm_title_page.h
  src/shell/frm_new_user.cpp src/shell/frm_new_user.h)
# Stored settings of their Continue buttons.
qt_add_resources(brivamo_ui "title_buttons" PREFIX "/buttons" BASE resources/buttons FILES
  resources/buttons/frmTitlePage.txt
  resources/buttons/frmNewUser.txt)
