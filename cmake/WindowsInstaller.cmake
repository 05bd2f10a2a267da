# The Windows installer, Trekline-<version>-setup.exe in the build tree, made
# by the host's makensis from res/windows/installer.nsi every time the program
# changes. It ships the program stripped, as the Debian package does, the
# label font the program falls back to where Windows has no Verdana, and the
# help page.
find_program(TREKLINE_MAKENSIS makensis REQUIRED)
find_file(TREKLINE_DEJAVU_SANS DejaVuSans.ttf PATHS /usr/share/fonts/truetype/dejavu
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)

set(trekline_setup ${CMAKE_BINARY_DIR}/Trekline-${PROJECT_VERSION}-setup.exe)
set(trekline_shipped ${CMAKE_BINARY_DIR}/installer/trekline.exe)
set(trekline_nsis_script ${PROJECT_SOURCE_DIR}/res/windows/installer.nsi)
set(trekline_nsis_inputs ${PROJECT_SOURCE_DIR}/res/icons/trekline.ico
    ${PROJECT_SOURCE_DIR}/res/help/index.html ${TREKLINE_DEJAVU_SANS})
# -WX: an installer built with warnings fails the build as compiler
# warnings do. (A generator expression would leave an empty argument when
# off, which makensis takes for its script.)
set(trekline_nsis_strict)
if(TREKLINE_WERROR)
    set(trekline_nsis_strict -WX)
endif()
# NSIS wants the version as four numbers, as the program's resources have it.
get_target_property(trekline_file_version trekline TREKLINE_FILE_VERSION)

add_custom_command(
    OUTPUT ${trekline_setup}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/installer
    # strip stamps the file with the time it runs unless given one; the stamp
    # tells users nothing, and without it the same program gives the same
    # installer.
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
            ${CMAKE_STRIP} --strip-all -o ${trekline_shipped} $<TARGET_FILE:trekline>
    # -NOCD: the paths given are absolute.
    COMMAND ${TREKLINE_MAKENSIS} -V2 -NOCD ${trekline_nsis_strict}
            -DVERSION=${PROJECT_VERSION} -DFILE_VERSION=${trekline_file_version}
            -DPROGRAM=${trekline_shipped} -DFONT=${TREKLINE_DEJAVU_SANS}
            -DHELP_PAGE=${PROJECT_SOURCE_DIR}/res/help/index.html
            -DICON=${PROJECT_SOURCE_DIR}/res/icons/trekline.ico -DOUTFILE=${trekline_setup}
            ${trekline_nsis_script}
    DEPENDS trekline ${trekline_nsis_script} ${trekline_nsis_inputs}
    COMMENT "Building the Windows installer"
    VERBATIM)
add_custom_target(windows_installer ALL DEPENDS ${trekline_setup})
set(TREKLINE_WINDOWS_SETUP ${trekline_setup})
