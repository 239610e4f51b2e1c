# The Debian package (`cpack -G DEB` in the build folder): the files of the install
# target under /usr. The libraries it links are named by dpkg-shlibdeps from the programs
# themselves (Qt 6 Widgets, SQLite, the C++ runtime); what they load without linking is
# named here: Qt's platform plugins, without which the window cannot open, and the fonts
# the dialogs are laid out with.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marvolt)
set(CPACK_PACKAGE_VENDOR "Marvolt")
set(CPACK_PACKAGE_CONTACT "Marvolt developers <marvolt@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Block library palette and drawing-property editor in a small CAD host")
set(CPACK_PACKAGE_DESCRIPTION "Marvolt browses drawings as block libraries, inserts their blocks with
attributes into the current drawing, and edits a drawing's custom properties, placing
them as live fields. It comes with its own small CAD host, which keeps drawings as
ASCII DXF files and runs Marvolt's commands from its menu, its command line or a script.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The fonts: one fixed fallback, Tahoma for the dialog templates, and the glyphs of
# Chinese, Japanese and Korean texts, which Qt takes per glyph where the others have none.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core, fonts-wine, fonts-wqy-microhei")
set(CPACK_STRIP_FILES ON)
include(CPack)
