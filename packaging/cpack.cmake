# SPDX-License-Identifier: GPL-2.0-or-later
# cpack -G DEB in a build folder makes one Debian package of everything
# cmake --install puts in place, for /usr.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trovik-toolchain)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TOOLCHAIN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "translator, sprite editor and tools for TI-83 programs")
set(CPACK_PACKAGE_DESCRIPTION
"trovik translates programs written in a small Pascal-flavoured language
into Z80 assembly for the TI-83 graphing calculator, with the header of the
Ion, AShell or SOS shell, and assembles them with the stand-in tasm.exe,
which reads the TASM dialect and encodes with z80asm. pack83 writes the
program file (.83p) a link program sends to the calculator, and calcview
runs a program on the desktop and shows the calculator's screen without a
ROM image. pixelkin is a mouse-driven editor for the sprites the programs draw.
The calculator's include files for the original TI-83 come with it, and
the language for VS Code (an extension with a debugger), Vim, Neovim, nano
and the GtkSourceView editors (gedit, GNOME Text Editor, Builder).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TOOLCHAIN_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries from dpkg-shlibdeps; the assembler the stand-in runs by name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS z80asm)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS tilp2)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
