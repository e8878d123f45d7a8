# What the packages hold and how CPack makes them: a Debian package on Linux;
# a portable zip and a setup program (NSIS) on Windows, both from one
# dovrenta.exe. tools/package.sh builds them; every member gets the time of
# the last commit (SOURCE_DATE_EPOCH), so two builds give the same bytes.
set(vt_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(vt_generated ${CMAKE_BINARY_DIR}/packaging)

set(CPACK_PACKAGE_NAME vantreel)
set(CPACK_PACKAGE_VENDOR "Kestrova Software")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find short pinyin .com names that can still be registered")
set(CPACK_PACKAGE_CONTACT "Kestrova Software <support@kestrova.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://kestrova.example/")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/PackagingPerGenerator.cmake)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/dist)

if(NOT WIN32)
    include(GNUInstallDirs)
    # The program, its help and the marker that makes it keep its settings in
    # the user's settings folder (/usr is not the user's to write).
    install(TARGETS dovrenta RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${VT_HELP_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/vantreel/help)
    install(FILES ${vt_packaging}/installed.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/vantreel)

    # The menu entry, its metadata and icons, the manual page and the
    # package's own documents.
    set(vt_id example.kestrova.Vantreel)
    configure_file(${vt_packaging}/linux/${vt_id}.metainfo.xml.in
        ${vt_generated}/${vt_id}.metainfo.xml @ONLY)
    configure_file(${vt_packaging}/linux/dovrenta.1.in ${vt_generated}/dovrenta.1 @ONLY)
    configure_file(${vt_packaging}/linux/changelog.in ${vt_generated}/changelog @ONLY)
    # gzip -n: no name or time in the header, as Debian wants and for the same bytes.
    foreach(doc dovrenta.1 changelog)
        add_custom_command(OUTPUT ${vt_generated}/${doc}.gz
            COMMAND gzip -9nc ${vt_generated}/${doc} > ${vt_generated}/${doc}.gz
            DEPENDS ${vt_generated}/${doc})
    endforeach()
    add_custom_target(vt_package_documents ALL
        DEPENDS ${vt_generated}/dovrenta.1.gz ${vt_generated}/changelog.gz)
    install(FILES ${vt_packaging}/linux/${vt_id}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${vt_generated}/${vt_id}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${vt_packaging}/vantreel-48.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps RENAME ${vt_id}.png)
    install(FILES ${vt_packaging}/vantreel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${vt_id}.svg)
    install(FILES ${vt_generated}/dovrenta.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${vt_generated}/changelog.gz ${vt_packaging}/linux/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantreel)

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION net)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # Chinese texts need a Chinese font; help and links open through xdg-open.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk, xdg-utils")
    # The long description; CPack puts the summary line before it.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[Vantreel forms every two-syllable name from the Chinese pinyin syllables
the user types, keeps those that pass the filters (length, words a name
must or must not hold, a fixed first or last syllable) and asks the .com
registry by WHOIS and RDAP which of them are still free. The names that
can be registered are exported to a text file.]=])
else()
    # One dovrenta.exe for both packages: the zip leaves it portable (settings
    # beside it); the setup program adds the marker that makes it keep them in
    # %APPDATA%\Vantreel.
    install(TARGETS dovrenta RUNTIME DESTINATION .)
    install(FILES ${VT_HELP_FILES} DESTINATION help)
    # Texts for Notepad: CR LF line ends, and a byte-order mark for the Chinese.
    string(ASCII 239 187 191 vt_bom)
    configure_file(${vt_packaging}/windows/README.txt.in ${vt_generated}/README.utf8 @ONLY)
    file(READ ${vt_generated}/README.utf8 vt_text)
    string(REPLACE "\n" "\r\n" vt_text "${vt_text}")
    file(WRITE ${vt_generated}/README.txt "${vt_bom}${vt_text}")
    file(READ ${PROJECT_SOURCE_DIR}/LICENSE vt_text)
    file(READ ${vt_packaging}/THIRD-PARTY-NOTICES.txt vt_notices)
    string(REPLACE "\n" "\r\n" vt_text "${vt_text}\n\n${vt_notices}")
    file(WRITE ${vt_generated}/LICENSE.txt "${vt_bom}${vt_text}")
    set(vt_texts README.txt LICENSE.txt)
    list(TRANSFORM vt_texts PREPEND ${vt_generated}/ OUTPUT_VARIABLE vt_text_files)
    install(FILES ${vt_text_files} DESTINATION .)

    set(CPACK_GENERATOR "ZIP;NSIS")
    set(CPACK_SYSTEM_NAME win64)
    set(CPACK_PACKAGE_FILE_NAME vantreel-${PROJECT_VERSION}-win64)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    # The setup program's own script (a template CPack fills in), with the
    # files in a fixed order so that two builds give the same installer.
    list(PREPEND CMAKE_MODULE_PATH ${vt_packaging}/windows)
    set(CPACK_NSIS_ICON ${vt_packaging}/vantreel.ico)
    set(CPACK_NSIS_LICENSE ${vt_generated}/LICENSE.txt)
    set(CPACK_NSIS_MARKER ${vt_packaging}/installed.txt)
    set(vt_install "SetOutPath \"$INSTDIR\"\n")
    set(vt_uninstall "")
    foreach(file dovrenta${CMAKE_EXECUTABLE_SUFFIX} ${vt_texts})
        string(APPEND vt_install "  File \"\${INST_DIR}/${file}\"\n")
        string(APPEND vt_uninstall "  Delete \"$INSTDIR\\${file}\"\n")
    endforeach()
    string(APPEND vt_install "  SetOutPath \"$INSTDIR\\help\"\n")
    foreach(source IN LISTS VT_HELP_FILES)
        get_filename_component(file ${source} NAME)
        string(APPEND vt_install "  File \"\${INST_DIR}/help/${file}\"\n")
        string(APPEND vt_uninstall "  Delete \"$INSTDIR\\help\\${file}\"\n")
    endforeach()
    string(APPEND vt_uninstall "  RMDir \"$INSTDIR\\help\"\n")
    file(WRITE ${vt_generated}/files.nsh
        "; The program's files, installed and removed in a fixed order.\n"
        "!macro VT_INSTALL_FILES\n  ${vt_install}!macroend\n"
        "!macro VT_UNINSTALL_FILES\n${vt_uninstall}!macroend\n")
    set(CPACK_NSIS_FILES ${vt_generated}/files.nsh)
endif()

include(CPack)
