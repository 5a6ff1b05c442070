cmake_policy(VERSION 3.25)
# Runs the release key choice the way a configure does, with the words given by -D, and prints
# what it chose.
include(${CMAKE_CURRENT_LIST_DIR}/../VymeraReleaseKey.cmake)
vymera_release_key(BUILD_TYPE "${BUILD_TYPE}" KEY "${KEY}" UNSIGNED "${UNSIGNED}" FOLDER "${FOLDER}"
                   HEX_VAR hex PRIVATE_VAR private)
message("hex=${hex}")
message("private=${private}")
