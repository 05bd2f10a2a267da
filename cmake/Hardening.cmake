# Debian's hardening flags (fortified functions, stack protector, read-only
# relocations bound at start) for the builds people run and package: the
# optimised ones. dpkg-buildflags says what they are on this release, so the
# program is built as Debian builds its own packages. The sanitized builds go
# without: the sanitizers do their own checking, and fortified calls would
# hide errors from them.
option(TREKLINE_HARDENING "Build optimised builds with Debian's hardening flags" ON)

# Windows executables have no ELF relocations to make read-only, so the
# cross build goes without.
if(TREKLINE_HARDENING AND NOT TREKLINE_SANITIZE AND NOT WIN32
   AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
    find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
        execute_process(
            COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                    ${DPKG_BUILDFLAGS} --get ${kind}
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
            OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
        separate_arguments(flags UNIX_COMMAND "${flags}")
        # The build type chooses the optimisation and the debug information.
        list(FILTER flags EXCLUDE REGEX "^-(O[0-9s]?|g)$")
        set(hardening_${kind} ${flags})
    endforeach()
    add_compile_options(${hardening_CPPFLAGS} ${hardening_CXXFLAGS})
    add_link_options(${hardening_LDFLAGS})
    message(STATUS "Hardening: ${hardening_CPPFLAGS} ${hardening_CXXFLAGS} ${hardening_LDFLAGS}")
endif()
