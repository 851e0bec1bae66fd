# `make package`: a Debian package of what `make install` puts in place, under /usr.
# `make install` and `make package` build first; cpack itself only packs what is built, so a
# package made from a finished build takes seconds.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumarel)
set(CPACK_PACKAGE_VENDOR Quenwick)
set(CPACK_PACKAGE_CONTACT "Quenwick <support@lumarel.example>")
set(CPACK_PACKAGE_VERSION ${LUMAREL_VERSION_TEXT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "one-page event flyers from the details of an event")
# Lines of at most 80 columns, as the package tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "Lumarel turns the details of an event, typed into one window, into a
one-page flyer made from a Word template that it carries inside itself.
LibreOffice Writer, running hidden, fills the template; the page is shown in a
preview window and saved as a Word 97 document, a .docx, .odt or PDF file.
The same program makes flyers from the command line, also from a CSV list.")
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The debugging data names the build's folders; the package carries none of them.
set(CPACK_STRIP_FILES ON)
# The shared libraries (Qt, Poppler, libgsf, the UNO runtime) are found by dpkg-shlibdeps;
# what the program loads or starts at run time is named here: the platform plugins, the
# office, the faces that resources/fonts.conf maps the template's fonts to, and faces for the
# scripts those lack.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libreoffice-writer-nogui | libreoffice-writer, fontconfig, fonts-liberation2, fonts-wine, fonts-ebgaramond, fonts-dejavu-core, fonts-wqy-microhei, fonts-symbola")
# Qt's own dialogs in the user's language; the program's own translations are built in.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
