# Installation (cmake --install) and the Debian package (cpack -G DEB).
# Programs in bin, the udev probe beside udev's own helpers with the rule that
# runs it, the desktop entry, icons, AppStream metadata, manual pages, the
# command-line tool's bash completion and the Debian documentation files.
# The command-line tool installs itself (cli/CMakeLists.txt).
include(GNUInstallDirs)

set(TESTER_APP_ID org.resistancetester.ResistanceTester)
set(linux_files ${CMAKE_CURRENT_LIST_DIR}/linux)
set(udev_dir lib/udev)

install(TARGETS resistance-tester resistance-tester-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS resistance-tester-usbprobe RUNTIME DESTINATION ${udev_dir})
# Hardened links, as Debian builds its packages.
foreach(program resistance-tester resistance-tester-sim resistance-tester-usbprobe)
  target_link_options(${program} PRIVATE -Wl,-z,relro,-z,now)
endforeach()
if(TARGET resistance-tester-cli)
  target_link_options(resistance-tester-cli PRIVATE -Wl,-z,relro,-z,now)
endif()

# The rule names the probe by the path it is installed to, which is known only
# when installing (cpack installs into /usr).
install(CODE "
  set(probe \"\${CMAKE_INSTALL_PREFIX}/${udev_dir}/resistance-tester-usbprobe\")
  configure_file(\"${linux_files}/60-resistance-tester.rules.in\"
                 \"${CMAKE_BINARY_DIR}/packaging/60-resistance-tester.rules\" @ONLY)
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${udev_dir}/rules.d\" TYPE FILE
       FILES \"${CMAKE_BINARY_DIR}/packaging/60-resistance-tester.rules\")
")

install(FILES ${linux_files}/${TESTER_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${linux_files}/${TESTER_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/${TESTER_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/${TESTER_APP_ID}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

# Manual pages and the changelog compressed as Debian wants them.
set(compressed)
foreach(source resistance-tester.1 resistance-tester-sim.1 resistance-tester-cli.1 changelog)
  set(target ${CMAKE_BINARY_DIR}/packaging/${source}.gz)
  add_custom_command(OUTPUT ${target}
    COMMAND gzip -9 -n -c ${linux_files}/${source} > ${target}
    DEPENDS ${linux_files}/${source} VERBATIM)
  list(APPEND compressed ${target})
endforeach()
add_custom_target(packaging_files ALL DEPENDS ${compressed})
install(FILES ${CMAKE_BINARY_DIR}/packaging/resistance-tester.1.gz ${CMAKE_BINARY_DIR}/packaging/resistance-tester-sim.1.gz
              ${CMAKE_BINARY_DIR}/packaging/resistance-tester-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Where bash-completion loads a command's completion from when it is first typed.
install(FILES ${linux_files}/resistance-tester-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME resistance-tester-cli)
install(FILES ${linux_files}/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/resistance-tester)

set(CPACK_PACKAGE_NAME resistance-tester)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Resistance Tester developers <developers@resistance-tester.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop companion of a 10 A DC resistance tester")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Connects to a 10 A DC resistance tester (a micro-ohmmeter for transformer
windings and conductors) over USB, shows the live reading of the DC
resistance test or of the conductor length test, keeps the results and reads
back the records stored in the instrument, in Chinese or English.

Includes resistance-tester-cli, a command-line tool for test benches and
scripts that lists instruments, streams live readings as text, CSV or JSON,
runs a test, reads and changes the settings, imports the stored records and
exports the kept sessions, with exit statuses a script can act on.

Includes a simulated instrument and a udev rule that gives the user at the
local seat access to the instrument alone.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev, qttranslations5-l10n, fonts-noto-cjk, fonts-noto-cjk-extra")  # Qt's own texts in Chinese; the report's one family for Chinese and Latin
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${linux_files}/postinst ${linux_files}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_GENERATOR DEB)
include(CPack)
