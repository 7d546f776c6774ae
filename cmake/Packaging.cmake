# cpack: on Windows a zip of the program with its default files beside it; elsewhere a Debian
# package whose launcher gives every user a folder of their own with those files.
set(CPACK_STRIP_FILES ON)
if(WIN32)
    install(TARGETS quillmark RUNTIME DESTINATION .)
    install(FILES data/links.ryx data/rep.ini packaging/windows/README.txt LICENSE DESTINATION .)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME quillmark-${PROJECT_VERSION}-win64)
else()
    set(linux ${PROJECT_SOURCE_DIR}/packaging/linux)
    set(generated ${PROJECT_BINARY_DIR}/packaging)
    install(TARGETS quillmark quillmark_fetch RUNTIME DESTINATION lib/quillmark)
    install(PROGRAMS ${linux}/quillmark.sh DESTINATION bin RENAME quillmark)
    install(FILES data/links.ryx data/rep.ini DESTINATION share/quillmark)
    install(FILES ${linux}/quillmark.desktop DESTINATION share/applications)
    install(FILES ${linux}/quillmark.svg DESTINATION share/icons/hicolor/scalable/apps)
    # Debian wants the manual page and the changelog compressed, without a time stamp.
    foreach(file quillmark.1 changelog)
        configure_file(${linux}/${file} ${generated}/${file} @ONLY)
        execute_process(COMMAND gzip -9nf ${generated}/${file} COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    install(FILES ${generated}/quillmark.1.gz DESTINATION share/man/man1)
    install(FILES ${linux}/copyright ${generated}/changelog.gz DESTINATION share/doc/quillmark)

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGE_NAME quillmark)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quillmark developers <maintainers@quillmark.invalid>")
    set(CPACK_DEBIAN_PACKAGE_SECTION news)
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "news ticker bar for the desktop
Quillmark docks a thin bar on the top or bottom edge of an X11 screen,
reserves its strip so that maximised windows leave it free, and scrolls the
headlines of the RSS feeds you list. A click opens a headline in the web
browser; the feeds are loaded again every few minutes.")
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # Qt loads its X11 platform plugin at run time, where dpkg-shlibdeps cannot see it.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
    set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
        GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()
include(CPack)
