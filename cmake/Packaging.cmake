# The Debian package of what `cmake --install` lays down, built by scripts/package with CPack.
# dpkg-shlibdeps names the libraries it depends on.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VENDOR "The Orvane developers")
set(ORVANE_MAINTAINER "The Orvane developers <orvane@users.noreply.github.com>" CACHE STRING
    "Maintainer of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORVANE_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "$CACHE{ORVANE_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the SDT sound banks of a classic game")
set(CPACK_PACKAGE_DESCRIPTION [[
Orvane opens an SDT sound bank and lists every sound in it with all the fields
of its header. It plays a sound, replaces it with a file from any audio editor
(WAVE, FLAC, Ogg, Opus, MP3, AIFF), edits names and loop points, inserts and
removes sounds, with undo and redo, and saves a bank that differs from the
original only where it was edited. It also exports sounds as WAVE files and
builds a new bank from numbered WAVE files.

Beside the desktop program, orvane, the package holds orvane-cli, the same
engine on the command line for scripts and batch work, with manual pages and
shell completion for bash, zsh and fish.]])
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Debian's copyright file, and a changelog with the release: the version and date of project().
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/orvane)
execute_process(COMMAND date -u -R -d ${ORVANE_RELEASE_DATE}
                OUTPUT_VARIABLE ORVANE_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
set(changelog ${PROJECT_BINARY_DIR}/debian/changelog)
configure_file(${PROJECT_SOURCE_DIR}/data/debian/changelog.in ${changelog} @ONLY)
find_program(GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND ${CMAKE_COMMAND} "-DCOMMAND=${GZIP};-9n;-c" -DINPUT=${changelog} -DOUTPUT=${changelog}.gz
          -P ${PROJECT_SOURCE_DIR}/cmake/RunToFile.cmake
  DEPENDS ${changelog}
  VERBATIM)
add_custom_target(orvane_changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${PROJECT_SOURCE_DIR}/data/debian/copyright ${changelog}.gz DESTINATION ${doc_dir})

include(CPack)
