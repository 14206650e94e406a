# The Windows zip: every program the build made, an example program list for
# Torvane and a short README.txt, in one folder named after the version and
# the architecture (velkor-0.2.0-windows-x86_64).
set(about_Velkor "the RFID Reader Configurator: finds the controllers on the LAN, connects to one and configures it")
set(about_velkor-cli "the configurator for scripts and batches")
set(about_Torvane "a Windows service that starts the programs listed in its ini file, starts again those that end and stops them all when it stops")
set(zip_programs "")
foreach(program Velkor velkor-cli Torvane)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION .)
        list(APPEND zip_programs "${program}.exe: ${about_${program}}.")
    endif()
endforeach()
# One paragraph per program; the CR LF between them is written out, as the
# line-end conversion below leaves substituted text alone.
list(JOIN zip_programs "\r\n" VELKOR_ZIP_PROGRAMS)

# Text files with CR LF line ends, for Notepad.
foreach(text README.txt Torvane.example.ini)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/${text}.in
                   ${CMAKE_BINARY_DIR}/packaging/${text} @ONLY NEWLINE_STYLE WIN32)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/${text} DESTINATION .)
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME velkor-${PROJECT_VERSION}-windows-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
