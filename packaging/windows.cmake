# The Windows package: a ZIP with bmp2spr.exe and a read-me, made by
#   cmake --build build-win --target package
# The read-me gets CRLF line ends and a UTF-8 mark, so that Notepad on any
# Windows shows its Korean line right.
file(READ ${CMAKE_CURRENT_LIST_DIR}/README-windows.txt bmp2spr_readme)
string(CONFIGURE "${bmp2spr_readme}" bmp2spr_readme @ONLY)
string(REPLACE "\n" "\r\n" bmp2spr_readme "${bmp2spr_readme}")
string(ASCII 239 187 191 bmp2spr_utf8_mark)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/README.txt "${bmp2spr_utf8_mark}${bmp2spr_readme}")

install(TARGETS bmp2spr RUNTIME DESTINATION .)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME bmp2spr-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_VENDOR VEK)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "BMP to SPR converter")
include(CPack)
