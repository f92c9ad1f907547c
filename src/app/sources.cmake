# The top of the program: start-up, the command line's dispatch and the first two windows (the
# title window and the new-user notice). Nothing below includes these files.
target_sources(brivamo_ui PRIVATE
  src/app/startup.cpp src/app/startup.h)
# A second start brings the running copy's front window forward.
target_sources(brivamo_ui PRIVATE src/app/running_copy.cpp src/app/running_copy.h)
# Which window system the windows go to (X11, also through XWayland, or Wayland).
target_sources(brivamo_core PRIVATE src/app/platform_choice.cpp src/app/platform_choice.h)
# The per-user list folder used when the program is started from the desktop menu.
target_sources(brivamo_core PRIVATE src/app/lists_home.cpp src/app/lists_home.h)
# Where the instance lock and the running copy's socket live: a folder only the user can reach.
target_sources(brivamo_core PRIVATE src/app/instance_folder.cpp src/app/instance_folder.h)
# --help, --version and the check of the window's arguments; --make's options and its run.
target_sources(brivamo_core PRIVATE src/app/make_options.cpp src/app/make_options.h)
target_sources(brivamo_ui PRIVATE src/app/make_command.cpp src/app/make_command.h)
target_sources(brivamo_core PRIVATE src/app/command_line.cpp src/app/command_line.h)
# The title window and the new-user notice.
target_sources(brivamo_core PRIVATE src/app/frm_title_page_texts.cpp src/app/frm_title_page_texts.h)
target_sources(brivamo_ui PRIVATE
  src/app/frm_title_page.cpp src/app/frm_title_page.h
  src/app/frm_new_user.cpp src/app/frm_new_user.h)
# Stored settings of their Continue buttons.
qt_add_resources(brivamo_ui "title_buttons" PREFIX "/buttons" BASE resources/buttons FILES
  resources/buttons/frmTitlePage.txt
  resources/buttons/frmNewUser.txt)
