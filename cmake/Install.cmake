# What `cmake --install` puts under its prefix: the program in bin, the host libraries and
# the module together in a private folder of lib, found from the program through an rpath
# relative to it (so the tree may be installed, or moved, anywhere), the samples, and what
# makes it a desktop application: the entry for the applications menu, the type of the
# host's drawings and the icon.
include(GNUInstallDirs)

set(MARVOLT_LIBDIR ${CMAKE_INSTALL_LIBDIR}/marvolt)
set(MARVOLT_DATADIR ${CMAKE_INSTALL_DATADIR}/marvolt)
file(RELATIVE_PATH marvolt_bin_to_lib /${CMAKE_INSTALL_BINDIR} /${MARVOLT_LIBDIR})

# The program looks for the module beside itself (the build tree) and then here.
target_compile_definitions(marvolt-host PRIVATE MARVOLT_MODULE_DIR="${marvolt_bin_to_lib}")
set_target_properties(marvolt-host PROPERTIES INSTALL_RPATH "$ORIGIN/${marvolt_bin_to_lib}")
set_target_properties(hostcore hostui marvolt PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS marvolt-host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS hostcore hostui LIBRARY DESTINATION ${MARVOLT_LIBDIR} NAMELINK_SKIP)
install(TARGETS marvolt LIBRARY DESTINATION ${MARVOLT_LIBDIR})

install(FILES samples/annotations.dwg samples/library.dwg samples/to-current-layer.scr
        DESTINATION ${MARVOLT_DATADIR}/samples)

install(FILES desktop/marvolt-host.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES desktop/marvolt-host.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES desktop/marvolt-host.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
