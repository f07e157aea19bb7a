# Authenticode signatures, when a code-signing certificate is given; otherwise nothing is signed.
#
#   TESSEL_SIGN_PFX        PKCS#12 file with the certificate and its key
#   TESSEL_SIGN_PASSWORD   its password
#
# Each is taken from the CMake cache when set there, else from the environment of the
# configuration. A password from the environment is read again from the environment of the build
# (it is written nowhere); one from the cache goes to a file only its owner can read, since the
# cache itself is plain text.
#
# tessel_sign_after_link(<target>) signs the program in place right after it is linked (with
# scripts/sign.sh): the silent installer thus before the installer embeds it, the installer last.

set(TESSEL_SIGN_PFX "" CACHE FILEPATH "PKCS#12 code-signing certificate; empty: no signing")
set(TESSEL_SIGN_PASSWORD "" CACHE STRING "Password of TESSEL_SIGN_PFX")
mark_as_advanced(TESSEL_SIGN_PASSWORD)

set(TESSEL_SIGNING OFF)
set(TESSEL_SIGN_PFX_FILE "${TESSEL_SIGN_PFX}")
if(TESSEL_SIGN_PFX_FILE STREQUAL "")
  set(TESSEL_SIGN_PFX_FILE "$ENV{TESSEL_SIGN_PFX}")
endif()
set(TESSEL_SIGN_PASSWORD_FILE ${CMAKE_BINARY_DIR}/signing/password)
file(REMOVE ${TESSEL_SIGN_PASSWORD_FILE})

if(NOT TESSEL_SIGN_PFX_FILE STREQUAL "")
  get_filename_component(TESSEL_SIGN_PFX_FILE "${TESSEL_SIGN_PFX_FILE}" ABSOLUTE)
  if(NOT EXISTS "${TESSEL_SIGN_PFX_FILE}" OR IS_DIRECTORY "${TESSEL_SIGN_PFX_FILE}")
    message(FATAL_ERROR "TESSEL_SIGN_PFX: no PKCS#12 file at \"${TESSEL_SIGN_PFX_FILE}\"")
  endif()
  set(TESSEL_SIGN_COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/sign.sh --pfx ${TESSEL_SIGN_PFX_FILE}
      --name "Tessel Assistant")
  if(NOT TESSEL_SIGN_PASSWORD STREQUAL "")
    file(WRITE ${TESSEL_SIGN_PASSWORD_FILE} "")
    file(CHMOD ${TESSEL_SIGN_PASSWORD_FILE} PERMISSIONS OWNER_READ OWNER_WRITE)
    file(APPEND ${TESSEL_SIGN_PASSWORD_FILE} "${TESSEL_SIGN_PASSWORD}")
    list(APPEND TESSEL_SIGN_COMMAND --password-file ${TESSEL_SIGN_PASSWORD_FILE})
  elseif(NOT DEFINED ENV{TESSEL_SIGN_PASSWORD})
    message(FATAL_ERROR
      "TESSEL_SIGN_PFX is set but TESSEL_SIGN_PASSWORD is not (set it in the environment, or "
      "in the CMake cache)")
  endif()
  find_program(TESSEL_OSSLSIGNCODE osslsigncode)
  if(NOT TESSEL_OSSLSIGNCODE)
    message(FATAL_ERROR "Signing needs osslsigncode: run scripts/install-deps.sh")
  endif()
  set(TESSEL_SIGNING ON)
  message(STATUS "Signing both programs with ${TESSEL_SIGN_PFX_FILE}")
elseif(NOT TESSEL_SIGN_PASSWORD STREQUAL "" OR DEFINED ENV{TESSEL_SIGN_PASSWORD})
  message(WARNING "TESSEL_SIGN_PASSWORD is set without TESSEL_SIGN_PFX: nothing is signed")
endif()

function(tessel_sign_after_link target)
  if(NOT TESSEL_SIGNING)
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${TESSEL_SIGN_COMMAND} $<TARGET_FILE:${target}>
    VERBATIM)
  # A new certificate signs again.
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${TESSEL_SIGN_PFX_FILE})
endfunction()
