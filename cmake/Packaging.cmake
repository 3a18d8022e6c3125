# Installation as a desktop application and the Debian package (cpack -G DEB, scripts/package.sh).
# The menu entry starts the tool with --work-folder, so that it works in the user's work folder.
include(GNUInstallDirs)

set(VANTREL_APP_ID com.orvanta.Vantrel)
set(VANTREL_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

# The installed programs resolve all symbols at start, so that their relocations can be read-only.
target_link_options(Vantrel PRIVATE LINKER:-z,relro,-z,now)
target_link_options(vantrel-set PRIVATE LINKER:-z,relro,-z,now)
target_link_options(vantrel-site PRIVATE LINKER:-z,relro,-z,now)
install(TARGETS Vantrel vantrel-set vantrel-site RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VANTREL_PACKAGING_DIR}/${VANTREL_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VANTREL_PACKAGING_DIR}/${VANTREL_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN ITEMS 16 22 24 32 48 64 128 256)
    install(FILES ${VANTREL_PACKAGING_DIR}/icons/${VANTREL_APP_ID}-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${VANTREL_APP_ID}.png)
endforeach()
install(FILES ${VANTREL_PACKAGING_DIR}/icons/${VANTREL_APP_ID}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages and the changelog are installed compressed, without time stamps, as Debian wants.
set(compressed_docs "")
foreach(source IN ITEMS man/Vantrel.1 man/vantrel-set.1 man/vantrel-site.1 changelog)
    set(output ${CMAKE_BINARY_DIR}/packaging/${source}.gz)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging/man
        COMMAND gzip -9nc ${VANTREL_PACKAGING_DIR}/${source} > ${output}
        DEPENDS ${VANTREL_PACKAGING_DIR}/${source}
        VERBATIM)
    list(APPEND compressed_docs ${output})
endforeach()
add_custom_target(vantrel_compressed_docs ALL DEPENDS ${compressed_docs})
install(FILES ${CMAKE_BINARY_DIR}/packaging/man/Vantrel.1.gz
    ${CMAKE_BINARY_DIR}/packaging/man/vantrel-set.1.gz
    ${CMAKE_BINARY_DIR}/packaging/man/vantrel-site.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VANTREL_PACKAGING_DIR}/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantrel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Orvanta)
set(CPACK_PACKAGE_CONTACT "Vantrel developers <vantrel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "service tool for Orvanta public-address and voice-alarm installations")
set(CPACK_PACKAGE_DESCRIPTION
    "Vantrel logs in to the network controller of an Orvanta public-address and
voice-alarm installation over FTP, assembles message sets from WAV recordings
into the controller's message set file, and moves files of seven categories
between the PC and the controller. The command-line tool vantrel-set builds
and checks message set files; vantrel-site backs up every controller of an
installation into a git history, pushes one file to many with a read-back
proof, and restores from the history.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vantrel.example.org/)
# Libraries by dpkg-shlibdeps. The platform plugins the tool runs on (xcb, offscreen) and the
# multimedia back ends ship in libqt6gui6 and libqt6multimedia6, which shlibdeps finds; Wayland
# sessions want the Wayland plugin, and the sound needs a PulseAudio server.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, pipewire-pulse | pulseaudio")
include(CPack)
