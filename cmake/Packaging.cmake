# What an installation holds besides the two programs, and the Debian package made of it
# (cpack -G DEB, through the preset "package": see the README, "Installing on the shop's
# desktops").
#
#   <prefix>/libexec/tarvel/tarvel, tarvel-cli   the programs, in a folder of their own
#   <prefix>/libexec/tarvel/KORV.DSN             a link to <etc>/tarvel/KORV.DSN
#   <prefix>/bin/tarvel, tarvel-cli              links to the programs, for the PATH and the menu
#   <etc>/tarvel/KORV.DSN                        the shop's data source (a conffile in the package)
#   <prefix>/share/doc/tarvel/README.md
#
# The programs read KORV.DSN beside the executable, as the suite's programs always have; the
# executable is found through /proc/self/exe, so the links in bin lead it to libexec/tarvel, and
# the link there to the file in /etc, where a shop's setting belongs and survives upgrades. <etc>
# is /etc for the prefix /usr (the package's), <prefix>/etc otherwise. Every link is relative, so
# an installation unpacked under another root (dpkg -x) finds its own files.

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tarvel)
install(CODE "set(tarvel_program_dir \"${TARVEL_PROGRAM_DIR}\")
set(tarvel_bin_dir \"${CMAKE_INSTALL_BINDIR}\")
set(tarvel_example_dsn \"${PROJECT_SOURCE_DIR}/src/app/KORV.DSN.example\")")
install(CODE [[
  set(prefix "${CMAKE_INSTALL_PREFIX}")
  if(prefix STREQUAL "/usr")
    set(etc "/etc")
  else()
    set(etc "${prefix}/etc")
  endif()
  set(root "$ENV{DESTDIR}")
  set(programs "${prefix}/${tarvel_program_dir}")
  file(MAKE_DIRECTORY "${root}${programs}" "${root}${prefix}/${tarvel_bin_dir}" "${root}${etc}/tarvel")
  foreach(program tarvel tarvel-cli)
    file(RELATIVE_PATH target "${prefix}/${tarvel_bin_dir}" "${programs}/${program}")
    message(STATUS "Installing: ${root}${prefix}/${tarvel_bin_dir}/${program} -> ${target}")
    file(CREATE_LINK "${target}" "${root}${prefix}/${tarvel_bin_dir}/${program}" SYMBOLIC)
  endforeach()
  file(RELATIVE_PATH target "${programs}" "${etc}/tarvel/KORV.DSN")
  message(STATUS "Installing: ${root}${programs}/KORV.DSN -> ${target}")
  file(CREATE_LINK "${target}" "${root}${programs}/KORV.DSN" SYMBOLIC)
  # A shop's own data source is never overwritten by installing again.
  if(NOT EXISTS "${root}${etc}/tarvel/KORV.DSN")
    message(STATUS "Installing: ${root}${etc}/tarvel/KORV.DSN")
    file(COPY_FILE "${tarvel_example_dsn}" "${root}${etc}/tarvel/KORV.DSN")
  endif()
]])

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tarvel")
set(CPACK_PACKAGE_CONTACT "Tarvel <tarvel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Work-order reports of the print shop's ERP suite (工單一覽表與生產報表)")
set(CPACK_PACKAGE_DESCRIPTION
    "A clerk sets criteria in a Traditional Chinese window and gets work-order overviews,
production sheets and rework/proof/plate/die reports, printed, previewed, saved as PDF or
exported to Excel, from the suite's shared database (a SQLite or Jet file, or a PostgreSQL
server), named by /etc/tarvel/KORV.DSN. tarvel is started by the suite's menu; tarvel-cli
produces every output headless.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The package installs under /usr with its setting in /etc, whatever prefix the build was
# configured with: installed through DESTDIR, so the installation's own code above sees the
# prefix the programs will have.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The libraries the programs link, as dpkg-shlibdeps finds them; the report fonts (the faces that
# stand in for 新細明體 and 標楷體) are no library but the reports need them. LibreOffice writes
# .xls and .ods workbooks, Qt's translations speak Chinese in the print and file dialogs: both
# wanted, neither needed for the rest.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming, fonts-arphic-ukai")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libreoffice-calc-nogui, qt6-translations-l10n")
set(tarvel_conffiles ${PROJECT_BINARY_DIR}/package/conffiles)
file(WRITE ${tarvel_conffiles} "/etc/tarvel/KORV.DSN\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${tarvel_conffiles})
include(CPack)
