# The Windows package: one ZIP holding a folder with korvane.exe, the shader
# lab korvane-lab.exe, data/, README.md, docs/ (the pages and pictures the
# README links to), LICENSE and NOTICE. Both programs read data/ relative to
# the working directory, so unpacked anywhere they run when started from that
# folder.
#   cpack --preset windows      (or: cd build-windows && cpack -G ZIP)

# korvane.exe's version resource: what Windows shows in the file's
# properties (product name, description, version, copyright).
string(REPLACE "." "," KORVANE_VERSION_COMMAS "${PROJECT_VERSION}.0")
configure_file(korvane.rc.in ${CMAKE_CURRENT_BINARY_DIR}/korvane.rc @ONLY)
target_sources(korvane PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/korvane.rc)

# NOTICE reproduces the licence of the GLEW that is compiled in; a GLEW
# whose LICENSE.txt it does not hold word for word needs NOTICE updated first.
if(NOT EXISTS ${korvaneGlewDir}/LICENSE.txt)
    message(FATAL_ERROR "${korvaneGlewDir} holds no LICENSE.txt to check NOTICE against")
endif()
file(READ ${korvaneGlewDir}/LICENSE.txt korvaneGlewLicense)
file(READ ${PROJECT_SOURCE_DIR}/NOTICE korvaneNotice)
string(REGEX REPLACE "[ \t\r\n]+" " " korvaneGlewLicense "${korvaneGlewLicense}")
string(REGEX REPLACE "[ \t\r\n]+" " " korvaneNotice "${korvaneNotice}")
string(STRIP "${korvaneGlewLicense}" korvaneGlewLicense)
string(FIND "${korvaneNotice}" "${korvaneGlewLicense}" korvaneGlewLicenseAt)
if(korvaneGlewLicenseAt EQUAL -1)
    message(FATAL_ERROR "NOTICE does not reproduce GLEW's licence (${korvaneGlewDir}/LICENSE.txt)")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/NOTICE ${korvaneGlewDir}/LICENSE.txt)

install(TARGETS korvane RUNTIME DESTINATION .)
if(TARGET korvane-lab)
    install(TARGETS korvane-lab RUNTIME DESTINATION .)
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION data
        FILES_MATCHING PATTERN "*.vert" PATTERN "*.frag" PATTERN "*.raw")
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
              ${PROJECT_SOURCE_DIR}/NOTICE
        DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION docs
        FILES_MATCHING PATTERN "*.md" PATTERN "*.png" PATTERN "*.webp")

set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VENDOR "Korvane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME korvane-${PROJECT_VERSION}-windows-x86_64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
