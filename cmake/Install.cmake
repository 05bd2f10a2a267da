# What `cmake --install` puts under the prefix (DESTDIR is honoured by CMake):
# the program, its desktop entry, its icon in the hicolor theme and its help
# page. The help lookup (ui/HelpPage.h) finds the page from the program's own
# location, so bin/ and share/ are fixed here rather than left to GNUInstallDirs.
set(trekline_res ${PROJECT_SOURCE_DIR}/res)

install(TARGETS trekline RUNTIME DESTINATION bin)
install(FILES ${trekline_res}/trekline.desktop DESTINATION share/applications)
install(FILES ${trekline_res}/icons/trekline.svg DESTINATION share/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
    install(FILES ${trekline_res}/icons/trekline-${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps
            RENAME trekline.png)
endforeach()
install(FILES ${trekline_res}/help/index.html DESTINATION share/trekline/help)

if(TREKLINE_TESTS)
    add_test(NAME install_tree
             COMMAND ${PROJECT_SOURCE_DIR}/tests/install/check-install-tree.sh
                     ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR})
endif()
