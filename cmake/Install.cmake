# What `cmake --install` puts under the prefix (DESTDIR is honoured by CMake):
# the program, its desktop entry and software-centre listing, its icon in the
# hicolor theme, its help page, its manual page and the copyright and
# changelog a Debian package carries. The help lookup (app/HelpPage.h) finds
# the page from the program's own location, so bin/ and share/ are fixed here
# rather than left to GNUInstallDirs.
set(trekline_res ${PROJECT_SOURCE_DIR}/res)
set(trekline_app_id org.example.trekline)

# Debian keeps manual pages and changelogs compressed, without a time stamp
# so that two builds give the same bytes.
set(trekline_compressed)
foreach(source man/trekline.1 package/changelog)
    get_filename_component(name ${source} NAME)
    set(compressed ${CMAKE_BINARY_DIR}/${name}.gz)
    add_custom_command(
        OUTPUT ${compressed}
        COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${trekline_res}/${source} ${compressed}
        DEPENDS ${trekline_res}/${source}
        VERBATIM)
    list(APPEND trekline_compressed ${compressed})
endforeach()
add_custom_target(trekline_compressed_docs ALL DEPENDS ${trekline_compressed})

install(TARGETS trekline RUNTIME DESTINATION bin)
# A stripped install (the package) also drops what `strip` alone leaves: the
# compiler's version notes.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/trekline\"
                        COMMAND_ERROR_IS_FATAL ANY)
    endif()")
install(FILES ${trekline_res}/${trekline_app_id}.desktop DESTINATION share/applications)
install(FILES ${trekline_res}/${trekline_app_id}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${trekline_res}/icons/trekline.svg DESTINATION share/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
    install(FILES ${trekline_res}/icons/trekline-${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps
            RENAME trekline.png)
endforeach()
install(FILES ${trekline_res}/help/index.html DESTINATION share/trekline/help)
install(FILES ${CMAKE_BINARY_DIR}/trekline.1.gz DESTINATION share/man/man1)
install(FILES ${trekline_res}/package/copyright ${CMAKE_BINARY_DIR}/changelog.gz
        DESTINATION share/doc/trekline)
install(FILES ${trekline_res}/package/trekline.lintian-overrides
        DESTINATION share/lintian/overrides RENAME trekline)

if(TREKLINE_TESTS)
    add_test(NAME install_tree
             COMMAND ${PROJECT_SOURCE_DIR}/tests/install/check-install-tree.sh
                     ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR})
    set_tests_properties(install_tree PROPERTIES LABELS package)
endif()
