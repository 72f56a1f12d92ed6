# What a user downloads, built by the target `dist` (part of the 64-bit
# Windows build) into ORV_DIST_DIR:
#   OrvKey-<version>-setup.exe     the per-user setup (package/orvkey.nsi)
#   OrvKey-<version>-portable.zip  OrvKey/ with the program, a readme and
#                                  the licences, for a USB stick
# The version is the project's (CMakeLists.txt): the program's version
# resource takes it from orvkey_version.h, the setup from the command line.

configure_file(${CMAKE_SOURCE_DIR}/resources/orvkey_version.h.in
               ${CMAKE_BINARY_DIR}/generated/orvkey_version.h @ONLY)
target_include_directories(orvkey PRIVATE ${CMAKE_BINARY_DIR}/generated)
# Appended: the packed lexicons and the artwork are already among them.
set_property(SOURCE ${CMAKE_SOURCE_DIR}/resources/orvkey.rc APPEND PROPERTY
  OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/generated/orvkey_version.h)

if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
  return()  # the setup is a 64-bit program: Windows x64 and Wine's 64-bit prefixes
endif()

find_program(ORV_MAKENSIS makensis)
set(ORV_DIST_DIR "${CMAKE_BINARY_DIR}/dist" CACHE PATH "Where the setup and the portable zip go")
set(ORV_SETUP "${ORV_DIST_DIR}/OrvKey-${PROJECT_VERSION}-setup.exe")
set(ORV_PORTABLE_ZIP "${ORV_DIST_DIR}/OrvKey-${PROJECT_VERSION}-portable.zip")
set(stage "${CMAKE_BINARY_DIR}/package/OrvKey")

# The texts go out with Windows' line ends and names that Notepad opens. The
# setup's licence page shows the licence with the notices after it.
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${stage}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/THIRD_PARTY_NOTICES.md ${stage}/THIRD_PARTY_NOTICES.txt
               @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/package/README.txt.in ${stage}/README.txt @ONLY
               NEWLINE_STYLE CRLF)
file(READ ${CMAKE_SOURCE_DIR}/LICENSE licence_text)
file(READ ${CMAKE_SOURCE_DIR}/THIRD_PARTY_NOTICES.md notices_text)
file(WRITE ${CMAKE_BINARY_DIR}/package/licence-page.in "${licence_text}\n\n${notices_text}")
configure_file(${CMAKE_BINARY_DIR}/package/licence-page.in ${CMAKE_BINARY_DIR}/package/licence-page.txt
               @ONLY NEWLINE_STYLE CRLF)

# Shipped without its symbols: a third of the size.
add_custom_command(OUTPUT ${stage}/orvkey.exe
  COMMAND ${CMAKE_STRIP} -o ${stage}/orvkey.exe $<TARGET_FILE:orvkey>
  DEPENDS orvkey VERBATIM)
set(shipped ${stage}/orvkey.exe ${stage}/README.txt ${stage}/LICENSE.txt
            ${stage}/THIRD_PARTY_NOTICES.txt)

add_custom_command(OUTPUT ${ORV_PORTABLE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ORV_DIST_DIR}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${ORV_PORTABLE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${ORV_PORTABLE_ZIP} --format=zip
          OrvKey/orvkey.exe OrvKey/README.txt OrvKey/LICENSE.txt OrvKey/THIRD_PARTY_NOTICES.txt
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/package
  DEPENDS ${shipped} VERBATIM)
set(dist_outputs ${ORV_PORTABLE_ZIP})

# The welcome and finish pages' picture: the icon over the keyboard, drawn
# from the program's own artwork.
find_program(ORV_CONVERT convert)
set(side_picture "")
if(ORV_CONVERT)
  set(side_picture ${CMAKE_BINARY_DIR}/package/side.bmp)
  add_custom_command(OUTPUT ${side_picture}
    COMMAND ${ORV_CONVERT} -size 164x314 xc:\#303030
            ( ${CMAKE_SOURCE_DIR}/resources/keyboard.bmp -resize 156x ) -gravity center
            -geometry +0+30 -composite ( ${CMAKE_SOURCE_DIR}/resources/orvkey.ico[0] )
            -gravity north -geometry +0+60 -composite -type TrueColor BMP3:${side_picture}
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/keyboard.bmp ${CMAKE_SOURCE_DIR}/resources/orvkey.ico
    VERBATIM)
endif()

if(ORV_MAKENSIS)
  add_custom_command(OUTPUT ${ORV_SETUP}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ORV_DIST_DIR}
    COMMAND ${ORV_MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${PROJECT_VERSION}
            -DPROGRAM=${stage}/orvkey.exe -DLICENSE=${CMAKE_BINARY_DIR}/package/licence-page.txt
            -DNOTICES=${stage}/THIRD_PARTY_NOTICES.txt
            -DICON=${CMAKE_SOURCE_DIR}/resources/orvkey.ico -DOUTFILE=${ORV_SETUP}
            "$<$<BOOL:${side_picture}>:-DSIDE_PICTURE=${side_picture}>"
            ${CMAKE_SOURCE_DIR}/package/orvkey.nsi
    DEPENDS ${shipped} ${side_picture} ${CMAKE_BINARY_DIR}/package/licence-page.txt
            ${CMAKE_SOURCE_DIR}/package/orvkey.nsi ${CMAKE_SOURCE_DIR}/resources/orvkey.ico
    VERBATIM)
  list(APPEND dist_outputs ${ORV_SETUP})
else()
  message(WARNING "makensis not found (Debian: nsis, see scripts/install-deps.sh): "
                  "no setup, and its test fails")
endif()
add_custom_target(dist ALL DEPENDS ${dist_outputs})

# The setup and the zip as a user meets them, under the tests' Wine; the
# same script finds where the settings go when the program's folder cannot
# be written.
if(ORV_TESTS)
  orv_wine_test(NAME e2e_setup
    COMMAND ${ORV_BASH} ${CMAKE_SOURCE_DIR}/tests/e2e/setup_test.sh ${ORV_WINE_STATE}
            ${ORV_SETUP} ${ORV_PORTABLE_ZIP}
    E2E TIMEOUT 500)
endif()
