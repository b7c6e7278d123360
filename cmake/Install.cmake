# Installation and the Debian package. `cmake --install` lays out, by
# GNUInstallDirs, the two programs, their manual pages and, with the client,
# its desktop entry, icon and AppStream metainfo; `cpack -G DEB` packs the
# same into a .deb. The id is reverse DNS under example.org: the project has
# no domain of its own.
include(GNUInstallDirs)

set(WORDMOOT_APP_ID org.example.Wordmoot)
set(wordmoot_data ${CMAKE_CURRENT_SOURCE_DIR}/data)
set(wordmoot_man ${CMAKE_INSTALL_MANDIR}/man6)

# The icon is drawn once, as SVG; its PNG sizes are rendered from it.
function(wordmoot_install_icons)
    set(icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
    set(svg ${wordmoot_data}/icons/${WORDMOOT_APP_ID}.svg)
    install(FILES ${svg} DESTINATION ${icons}/scalable/apps)
    find_program(WORDMOOT_RSVG_CONVERT rsvg-convert)
    if(NOT WORDMOOT_RSVG_CONVERT)
        message(FATAL_ERROR "rsvg-convert renders the icon: install the Debian package "
                            "librsvg2-bin (scripts/setup.sh does)")
    endif()
    foreach(size IN ITEMS 48 256)
        set(png_dir ${CMAKE_BINARY_DIR}/icons/${size}x${size})
        set(png ${png_dir}/${WORDMOOT_APP_ID}.png)
        file(MAKE_DIRECTORY ${png_dir})
        add_custom_command(OUTPUT ${png}
                           COMMAND ${WORDMOOT_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${svg}
                           DEPENDS ${svg} VERBATIM)
        install(FILES ${png} DESTINATION ${icons}/${size}x${size}/apps)
        list(APPEND pngs ${png})
    endforeach()
    add_custom_target(wordmoot_icons ALL DEPENDS ${pngs})
endfunction()

install(FILES ${wordmoot_data}/man/wordmoot-server.6 ${wordmoot_data}/man/wordmoot-analyse.6
        DESTINATION ${wordmoot_man})
# The word list with its licence, and the copyright file that names both.
if(EXISTS ${WORDMOOT_SHARE}/words.txt)
    install(FILES ${WORDMOOT_SHARE}/words.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/wordmoot)
endif()
if(EXISTS ${WORDMOOT_SHARE}/word-list.LICENSE)
    install(FILES ${WORDMOOT_SHARE}/word-list.LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/wordmoot)
endif()
install(FILES ${wordmoot_data}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/wordmoot)
if(WORDMOOT_CLIENT)
    install(FILES ${wordmoot_data}/man/wordmoot.6 DESTINATION ${wordmoot_man})
    install(FILES ${wordmoot_data}/desktop/${WORDMOOT_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${wordmoot_data}/desktop/${WORDMOOT_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

    wordmoot_install_icons()
endif()

# This file is read before the programs are defined: they are installed when
# the top-level directory is done.
function(wordmoot_install_programs)
    foreach(program IN ITEMS wordmoot-server wordmoot-analyse wordmoot)
        if(TARGET ${program})
            install(TARGETS ${program})
        endif()
    endforeach()
endfunction()
cmake_language(DEFER CALL wordmoot_install_programs)

if(BUILD_TESTING)
    add_test(NAME install_files
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/install/check_install.sh ${CMAKE_BINARY_DIR}
                     ${WORDMOOT_APP_ID} $<BOOL:${WORDMOOT_CLIENT}>)
    set_tests_properties(install_files PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen
                                                  TIMEOUT 120)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wordmoot)
set(CPACK_PACKAGE_CONTACT "Tavik Wordmoot developers <wordmoot@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "crossword-tile word game played over the network")
set(CPACK_PACKAGE_DESCRIPTION
    "Wordmoot is a multiplayer crossword-tile word game. The desktop client joins
or watches games on a Wordmoot server and has a chat console. The server deals
the tiles, judges and scores the plays and seats computer players of three
strengths, so one person can play alone.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://wordmoot.example.org/)
# dpkg-shlibdeps names the libraries the programs link. Qt SQL loads its
# drivers as plugins, which it cannot see: the server's store needs SQLite's
# and, for halls, PostgreSQL's. The package ships the word list; a build
# without it leans on wamerican's, the server's fallback.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql")
if(NOT EXISTS ${WORDMOOT_SHARE}/words.txt)
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", wamerican")
endif()
include(CPack)
