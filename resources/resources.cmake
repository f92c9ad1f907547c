# Pictures made by tools/make_artwork.sh: qt_add_resources(brivamo_ui ...) entries go here.
