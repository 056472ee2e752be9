# The Windows package: one ZIP holding a folder with korvane.exe, data/,
# README.md and NOTICE. The program reads data/ relative to the working
# directory, so unpacked anywhere it runs when started from that folder.
#   cpack --preset windows      (or: cd build-windows && cpack -G ZIP)
install(TARGETS korvane RUNTIME DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION data
        FILES_MATCHING PATTERN "*.vert" PATTERN "*.frag" PATTERN "*.raw")
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/NOTICE DESTINATION .)

set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VENDOR "Korvane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME korvane-${PROJECT_VERSION}-windows-x86_64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
