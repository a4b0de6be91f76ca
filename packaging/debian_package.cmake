# The Debian package: what `make package` builds with cpack -G DEB.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME obflash)
set(CPACK_PACKAGE_VERSION ${OBFLASH_VERSION})
set(CPACK_PACKAGE_VENDOR "obflash project")
set(CPACK_PACKAGE_CONTACT "obflash maintainers <obflash@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "firmware update wizard for the Orbeline OB7300 antenna controller")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "obflash is a desktop wizard that installs firmware release ${OBFLASH_VERSION} into an"
  "Orbeline OB7300 antenna controller over a serial line or a USB serial adapter."
  "It finds the controller on the machine's serial ports, leads the user through"
  "the power cycle that starts the controller's boot loader, and programs the"
  "release, which is built into the program."
  ""
  "The package also holds obsim, a simulated controller on a pseudo-terminal, to"
  "try the wizard without hardware.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps names the Qt 6, libjpeg and libserialport runtime packages from the links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
