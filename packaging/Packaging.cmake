# Installing Clausewright, and packing it as a Debian package and a portable .tar.gz.
#
# The program reads its data files from the folder that holds its executable, so the executable,
# templates/ and rwdb.txt are installed together into lib/clausewright/. bin/clausewright is a
# relative symbolic link to it: the program resolves the link and still finds its data, and the
# same tree works below /usr (the Debian package) and in any folder (the .tar.gz).

set(CW_PROGRAM_DIR lib/clausewright)
set(CW_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(CW_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)

install(TARGETS clausewright RUNTIME DESTINATION ${CW_PROGRAM_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/templates/ DESTINATION ${CW_PROGRAM_DIR}/templates)
install(FILES ${CMAKE_SOURCE_DIR}/rwdb.txt DESTINATION ${CW_PROGRAM_DIR})
# The manual that F1 shows in every window.
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CW_PROGRAM_DIR})
install(FILES ${CW_CONSENT_FILES} DESTINATION ${CW_PROGRAM_DIR}/consent)

file(MAKE_DIRECTORY ${CW_PACKAGING_OUT})
file(CREATE_LINK ../${CW_PROGRAM_DIR}/clausewright ${CW_PACKAGING_OUT}/clausewright SYMBOLIC)
install(FILES ${CW_PACKAGING_OUT}/clausewright DESTINATION bin)

# Full RELRO for the installed program.
target_link_options(clausewright PRIVATE -Wl,-z,now)

# rwdb.txt is data the program reads, not documentation, and belongs beside the program.
install(FILES ${CW_PACKAGING_DIR}/lintian-overrides RENAME clausewright
        DESTINATION share/lintian/overrides)

# Desktop entry and icons.
install(FILES ${CW_PACKAGING_DIR}/clausewright.desktop DESTINATION share/applications)
install(FILES ${CW_PACKAGING_DIR}/icons/clausewright.svg
        DESTINATION share/icons/hicolor/scalable/apps)
install(DIRECTORY ${CW_PACKAGING_DIR}/icons/hicolor/ DESTINATION share/icons/hicolor)
# What software centres (GNOME Software, KDE Discover) show about the program.
install(FILES ${CW_PACKAGING_DIR}/example.clausewright.clausewright.metainfo.xml
        DESTINATION share/metainfo)

# The manual page and the changelog are installed compressed, without a time stamp in the header.
configure_file(${CW_PACKAGING_DIR}/clausewright.1.in ${CW_PACKAGING_OUT}/clausewright.1 @ONLY)
find_program(CW_GZIP gzip REQUIRED)
set(cw_compressed)
foreach(file ${CW_PACKAGING_OUT}/clausewright.1 ${CW_PACKAGING_DIR}/changelog)
    get_filename_component(name ${file} NAME)
    add_custom_command(OUTPUT ${CW_PACKAGING_OUT}/${name}.gz
        COMMAND sh -c "\"$0\" -9n -c \"$1\" > \"$2\""
                ${CW_GZIP} ${file} ${CW_PACKAGING_OUT}/${name}.gz
        DEPENDS ${file}
        VERBATIM)
    list(APPEND cw_compressed ${CW_PACKAGING_OUT}/${name}.gz)
endforeach()
add_custom_target(clausewright_packaging_files ALL DEPENDS ${cw_compressed})
install(FILES ${CW_PACKAGING_OUT}/clausewright.1.gz DESTINATION share/man/man1)
install(FILES ${CW_PACKAGING_OUT}/changelog.gz ${CW_PACKAGING_DIR}/copyright
        DESTINATION share/doc/clausewright)

# CPack: `cpack -G DEB` and `cpack -G TGZ` in the build folder. The Debian package installs below
# /usr, the .tar.gz unpacks into one folder that can live anywhere.
set(CW_PACKAGE_MAINTAINER "Clausewright developers <packaging@clausewright.example>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_PACKAGE_NAME clausewright)
set(CPACK_PACKAGE_VENDOR "The Clausewright developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${CW_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "add legal texts to articles and web sites")
# The long description: lines under 80 characters, an empty line between paragraphs.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Clausewright helps a small publisher with the legal texts that articles and"
    "web sites need."
    ""
    "For a folder of plain-text articles it adds chosen disclaimers, and if wanted"
    "a product recommendation with an affiliate link, and writes the results into"
    "a folder of their own; the articles themselves are never changed."
    ""
    "For a static web site it writes legal pages, such as a privacy policy or"
    "terms of use, from templates filled with the site's name, address and e-mail,"
    "plus a line of link code for the home page."
    ""
    "The disclaimers, sentence templates and page templates are plain files in"
    "/usr/lib/clausewright/templates.")
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CW_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt 6 libraries (and their xcb platform plugin, which Debian ships in libqt6gui6) come from
# dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows are measured for Liberation Sans, which the program asks for by name.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git" "/build[^/]*/")

include(CPack)
