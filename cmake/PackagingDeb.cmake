# The Debian packages, one per program, all from the source package "velkor":
#   velkor          Velkor, its desktop entry, icon, AppStream metainfo, man page
#   torvane         Torvane, its systemd unit, man page and example program list
#   velkor-cli      the command-line configurator and its man page (its own
#                   package: scripting hosts need no window toolkit)
#   controller-sim  the simulator and its man page
# Run-time dependencies are computed by dpkg-shlibdeps. Files land under /usr
# (CPACK_PACKAGING_INSTALL_PREFIX); /etc and the systemd unit folder are absolute.
set(VELKOR_MAINTAINER "The Velkor developers <velkor@example.org>")
set(linux_files ${PROJECT_SOURCE_DIR}/packaging/linux)
set(generated ${CMAKE_BINARY_DIR}/packaging)
add_custom_target(packaging_texts ALL)

# Compresses a generated text file as Debian wants it (gzip -9, no name or time).
function(velkor_gzip source output)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${output}.tmp
        COMMAND gzip -9nf ${output}.tmp
        COMMAND ${CMAKE_COMMAND} -E rename ${output}.tmp.gz ${output}
        DEPENDS ${source}
        VERBATIM)
    string(MAKE_C_IDENTIFIER ${output} target)
    add_custom_target(${target} DEPENDS ${output})
    add_dependencies(packaging_texts ${target})
endfunction()

# velkor_man_page(NAME SECTION COMPONENT): packaging/linux/man/NAME.SECTION.in
# with the version and date filled in, compressed, in COMPONENT's package.
function(velkor_man_page name section component)
    configure_file(${linux_files}/man/${name}.${section}.in ${generated}/man/${name}.${section} @ONLY)
    velkor_gzip(${generated}/man/${name}.${section} ${generated}/man/${name}.${section}.gz)
    install(FILES ${generated}/man/${name}.${section}.gz
            DESTINATION share/man/man${section} COMPONENT ${component})
endfunction()

# The copyright and the changelog every package carries.
execute_process(COMMAND date -R -u -d "${VELKOR_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE VELKOR_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
configure_file(${linux_files}/changelog.in ${generated}/changelog @ONLY)
velkor_gzip(${generated}/changelog ${generated}/changelog.gz)
function(velkor_package_docs component)
    install(FILES ${linux_files}/copyright ${generated}/changelog.gz
            DESTINATION share/doc/${component} COMPONENT ${component})
endfunction()

set(packages "")

# velkor_command_package(PROGRAM DESCRIPTION): a package of the same name, in
# section net, holding the program in /usr/bin, its man page (section 1) and
# the documents every package carries.
function(velkor_command_package program description)
    string(TOUPPER ${program} component)
    install(TARGETS ${program} RUNTIME DESTINATION bin COMPONENT ${program})
    velkor_man_page(${program} 1 ${program})
    velkor_package_docs(${program})
    set(CPACK_DEBIAN_${component}_PACKAGE_NAME ${program} PARENT_SCOPE)
    set(CPACK_DEBIAN_${component}_PACKAGE_SECTION net PARENT_SCOPE)
    set(CPACK_DEBIAN_${component}_DESCRIPTION "${description}" PARENT_SCOPE)
    set(packages ${packages} ${program} PARENT_SCOPE)
endfunction()

if(TARGET Velkor)
    list(APPEND packages velkor)
    install(TARGETS Velkor RUNTIME DESTINATION bin COMPONENT velkor)
    install(FILES ${linux_files}/velkor.desktop DESTINATION share/applications COMPONENT velkor)
    configure_file(${linux_files}/velkor.metainfo.xml.in ${generated}/velkor.metainfo.xml @ONLY)
    install(FILES ${generated}/velkor.metainfo.xml DESTINATION share/metainfo COMPONENT velkor)
    foreach(size 16 24 32 48 64 128 256)
        install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/png/velkor-${size}.png
                DESTINATION share/icons/hicolor/${size}x${size}/apps
                RENAME velkor.png COMPONENT velkor)
    endforeach()
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/velkor.svg
            DESTINATION share/icons/hicolor/scalable/apps COMPONENT velkor)
    velkor_man_page(Velkor 1 velkor)
    velkor_package_docs(velkor)
    set(CPACK_DEBIAN_VELKOR_PACKAGE_NAME velkor)
    set(CPACK_DEBIAN_VELKOR_PACKAGE_SECTION net)
    set(CPACK_DEBIAN_VELKOR_DESCRIPTION
        "configurator for networked RFID reader controllers
Velkor finds the RFID reader controllers on the local network by UDP
broadcast, lists them, connects to one by TCP, drives its relays, tones
and display, reacts to card reads, and reads and writes its numbered
settings through dialogs. Every datagram and packet is shown in a traffic
log.")
endif()

list(APPEND packages torvane)
install(TARGETS Torvane RUNTIME DESTINATION sbin COMPONENT torvane)
install(FILES ${PROJECT_SOURCE_DIR}/supervisor/torvane.service
        DESTINATION /lib/systemd/system COMPONENT torvane)
install(FILES ${linux_files}/torvane.ini DESTINATION /etc/torvane COMPONENT torvane)
install(FILES ${linux_files}/torvane.ini DESTINATION share/doc/torvane/examples COMPONENT torvane)
velkor_man_page(Torvane 8 torvane)
velkor_package_docs(torvane)
set(CPACK_DEBIAN_TORVANE_PACKAGE_NAME torvane)
set(CPACK_DEBIAN_TORVANE_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_TORVANE_PACKAGE_CONTROL_EXTRA
    ${linux_files}/torvane/conffiles ${linux_files}/torvane/postinst
    ${linux_files}/torvane/prerm ${linux_files}/torvane/postrm)
set(CPACK_DEBIAN_TORVANE_DESCRIPTION
    "process supervisor service
Torvane starts every program listed in its ini file, checks every 200 ms
whether each still runs, starts again those that have ended, and
terminates all of them when the service stops. Every event goes to a
timestamped log. It runs under systemd as a notify service.")

velkor_command_package(velkor-cli
    "scripted and batch configuration of RFID reader controllers
velkor-cli discovers the RFID reader controllers on every network of the
computer, reads and writes their settings by name, sends device commands,
backs settings up to JSON files and restores them, and prints card reads
as JSON lines; any command runs on many controllers at once. It uses the
same protocol code as the Velkor window and needs no window toolkit.")

if(TARGET controller-sim)
    velkor_command_package(controller-sim
        "simulated fleet of networked RFID reader controllers
controller-sim simulates RFID reader controllers with real sockets, each
with its own address, MAC, TCP listener and settings, to try the Velkor
configurator or to test an integration without hardware. It takes
control commands to send card reads, input changes and keep-alives.")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${packages})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SOURCE velkor)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VELKOR_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
