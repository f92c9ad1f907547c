# Pictures made by tools/make_artwork.sh (see resources/pictures/README.md).
# They load as ":/pictures/<file>".
qt_add_resources(brivamo_ui "pictures" PREFIX "/pictures" BASE resources/pictures FILES
  # title window: animations and background tile; new-user notice tile
  resources/pictures/title_anim_0.gif
  resources/pictures/title_anim_1.gif
  resources/pictures/title_anim_2.gif
  resources/pictures/title_anim_3.gif
  resources/pictures/title_anim_4.gif
  resources/pictures/title_anim_5.gif
  resources/pictures/title_anim_6.gif
  resources/pictures/title_anim_7.gif
  resources/pictures/title_anim_8.gif
  resources/pictures/title_tile.png
  resources/pictures/notice_tile.gif
  resources/pictures/notice_tile@2x.gif
  # window and strip backgrounds
  resources/pictures/lobby_tile.png
  resources/pictures/lobby_tile@2x.png
  resources/pictures/lobby_strip_tile.png
  resources/pictures/lobby_strip_tile@2x.png
  resources/pictures/puzzle_tile.png
  resources/pictures/puzzle_tile@2x.png
  resources/pictures/puzzle_banner_tile.png
  resources/pictures/puzzle_banner_tile@2x.png
  resources/pictures/help_tile.jpg
  # button pictures
  resources/pictures/help.png
  resources/pictures/fade_on.png
  resources/pictures/fade_off.png
  resources/pictures/email.png
  resources/pictures/quit.png
  resources/pictures/sound_on.png
  resources/pictures/sound_off.png
  resources/pictures/lobby.png
  resources/pictures/add_category.png
  resources/pictures/new_add.png
  resources/pictures/new_save.png
  resources/pictures/new_cancel.png
  resources/pictures/delete_category.png
  resources/pictures/make_puzzle.png
  resources/pictures/cancel_puzzle.png
  resources/pictures/view_puzzle.png
  resources/pictures/view_solution.png
  resources/pictures/print.png
  resources/pictures/help_topics.png
  resources/pictures/return.png
  resources/pictures/continue.png
  resources/pictures/add_word_16.png
  resources/pictures/edit_word_16.png
  resources/pictures/delete_word_16.png
  # program icon
  resources/pictures/brivamo_64.png
  resources/pictures/brivamo_128.png
)
