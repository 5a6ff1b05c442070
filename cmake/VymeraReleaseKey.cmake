# The key every updater checks release signatures with (ECDSA P-256 over SHA-256), fixed when the
# updater is built.
#
#   VYMERA_RELEASE_PUBLIC_KEY  the publisher's public key: a PEM file (absolute, or relative to the
#                              source folder) or the hex of its 65-byte uncompressed point ("04...").
#   VYMERA_UNSIGNED_UPDATES    ON: no key at all; the updater then starts whatever it is offered.
#
# Without either, the build makes a developer key pair of its own in <build>/release-key/ (the
# private key stays there, outside the source tree) and `vymera-service publish` signs with it. A
# Release or MinSizeRel build will not take a developer key: it needs the real key, or the opt-out
# by name.
#
# vymera_release_key(BUILD_TYPE type KEY given UNSIGNED on|off FOLDER dir HEX_VAR v PRIVATE_VAR p)
# sets v to the hex of the key's point (empty only when unsigned) and p to the developer private
# key's path (empty unless one was made). It also runs in script mode, which is how it is tested.

set(VYMERA_P256_SPKI_HEAD "3059301306072a8648ce3d020106082a8648ce3d030107034200")

function(_vymera_openssl out_var)
  find_program(VYMERA_OPENSSL openssl)
  if(NOT VYMERA_OPENSSL)
    message(FATAL_ERROR "the openssl command is needed to read or make the release key (scripts/setup "
                        "installs it), or give VYMERA_RELEASE_PUBLIC_KEY as 130 hex digits")
  endif()
  set(${out_var} ${VYMERA_OPENSSL} PARENT_SCOPE)
endfunction()

# The point of the P-256 public key in the PEM file pem, as hex; stops configuring when the file is
# no such key. from_private: pem holds a private key whose public half is wanted.
function(_vymera_point_of pem from_private scratch out_var)
  _vymera_openssl(openssl)
  if(from_private)
    set(input -in ${pem})
  else()
    set(input -pubin -in ${pem})
  endif()
  execute_process(COMMAND ${openssl} pkey ${input} -pubout -outform DER -out ${scratch}
                  RESULT_VARIABLE failed ERROR_VARIABLE detail)
  if(NOT failed)
    file(READ ${scratch} der HEX)
    file(REMOVE ${scratch})
    string(LENGTH "${der}" length)
  endif()
  # A P-256 key's SubjectPublicKeyInfo is 91 bytes: a fixed head naming the curve, then the point.
  if(failed OR NOT length EQUAL 182)
    message(FATAL_ERROR "${pem} is not a PEM P-256 public key. Make the pair with\n"
                        "  openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out release.pem\n"
                        "  openssl pkey -in release.pem -pubout -out release-public.pem\n"
                        "and give release-public.pem. ${detail}")
  endif()
  string(SUBSTRING "${der}" 0 52 head)
  string(SUBSTRING "${der}" 52 130 point)
  if(NOT head STREQUAL VYMERA_P256_SPKI_HEAD)
    message(FATAL_ERROR "${pem} is not a P-256 public key (another curve or algorithm)")
  endif()
  set(${out_var} ${point} PARENT_SCOPE)
endfunction()

function(vymera_release_key)
  cmake_parse_arguments(K "" "BUILD_TYPE;KEY;UNSIGNED;FOLDER;HEX_VAR;PRIVATE_VAR" "" ${ARGN})
  set(private "")
  if(K_UNSIGNED)
    if(NOT "${K_KEY}" STREQUAL "")
      message(FATAL_ERROR "VYMERA_UNSIGNED_UPDATES and VYMERA_RELEASE_PUBLIC_KEY exclude each other")
    endif()
    message(WARNING "VYMERA_UNSIGNED_UPDATES: this updater starts whatever it downloads, unchecked")
    set(point "")
  elseif("${K_KEY}" MATCHES "^04[0-9a-fA-F]+$")
    string(LENGTH "${K_KEY}" length)
    if(NOT length EQUAL 130)
      message(FATAL_ERROR "VYMERA_RELEASE_PUBLIC_KEY as hex is the 65-byte uncompressed point: 130 digits")
    endif()
    string(TOLOWER "${K_KEY}" point)
  elseif(NOT "${K_KEY}" STREQUAL "")
    get_filename_component(pem "${K_KEY}" ABSOLUTE BASE_DIR "${CMAKE_SOURCE_DIR}")
    if(NOT EXISTS "${pem}")
      message(FATAL_ERROR "VYMERA_RELEASE_PUBLIC_KEY: no file ${pem}")
    endif()
    file(MAKE_DIRECTORY ${K_FOLDER})
    _vymera_point_of(${pem} FALSE ${K_FOLDER}/given-public.der point)
    if(NOT CMAKE_SCRIPT_MODE_FILE)
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${pem})
    endif()
  elseif("${K_BUILD_TYPE}" MATCHES "^(Release|MinSizeRel)$")
    message(FATAL_ERROR "A ${K_BUILD_TYPE} build needs the key releases are signed with:\n"
                        "  -DVYMERA_RELEASE_PUBLIC_KEY=/path/to/release-public.pem\n"
                        "or, for updaters that start unsigned downloads, say so by name:\n"
                        "  -DVYMERA_UNSIGNED_UPDATES=ON\n"
                        "(README.md, \"Signed releases\").")
  else()
    set(private ${K_FOLDER}/developer-release.pem)
    if(NOT EXISTS ${private})
      _vymera_openssl(openssl)
      file(MAKE_DIRECTORY ${K_FOLDER})
      execute_process(COMMAND ${openssl} genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256
                              -out ${private}.new
                      RESULT_VARIABLE failed ERROR_VARIABLE detail)
      if(failed)
        file(REMOVE ${private}.new)
        message(FATAL_ERROR "could not make the developer release key: ${detail}")
      endif()
      file(CHMOD ${private}.new PERMISSIONS OWNER_READ OWNER_WRITE)
      file(RENAME ${private}.new ${private})
      message(STATUS "Developer release key made: ${private}")
    endif()
    _vymera_point_of(${private} TRUE ${K_FOLDER}/developer-public.der point)
  endif()
  set(${K_HEX_VAR} "${point}" PARENT_SCOPE)
  set(${K_PRIVATE_VAR} "${private}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  return()
endif()

set(VYMERA_RELEASE_PUBLIC_KEY "" CACHE STRING
  "Public key release signatures are checked with: a PEM file or the hex of its P-256 point; empty: a developer key of this build")
option(VYMERA_UNSIGNED_UPDATES "Build an updater that starts downloads without checking a signature" OFF)

vymera_release_key(BUILD_TYPE "${CMAKE_BUILD_TYPE}" KEY "${VYMERA_RELEASE_PUBLIC_KEY}"
                   UNSIGNED ${VYMERA_UNSIGNED_UPDATES} FOLDER ${CMAKE_BINARY_DIR}/release-key
                   HEX_VAR VYMERA_RELEASE_KEY_HEX PRIVATE_VAR VYMERA_DEVELOPER_RELEASE_KEY)
