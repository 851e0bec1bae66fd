# The Word 97 file reader and the flyer template.
