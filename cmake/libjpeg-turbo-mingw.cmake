# libjpeg-turbo for the Windows build. Debian ships no mingw build of it, so its Debian source
# package is cross-built here with the project's toolchain, SIMD (nasm) on, as a static library
# (libturbojpeg.a) that links into the one self-contained raidkit.exe.
#
# The source is fetched once into build/cache/libjpeg-turbo (see libjpeg-turbo-fetch.cmake) and
# shared by every build tree; each tree builds its own copy (about 20 s).
include(ExternalProject)

set(RAIDKIT_JPEG_CACHE ${CMAKE_CURRENT_LIST_DIR}/../build/cache/libjpeg-turbo
  CACHE PATH "Where Debian's libjpeg-turbo source is fetched and kept")
find_program(NASM_EXECUTABLE nasm REQUIRED)

# Fetched while configuring: the imported target needs the header's folder to exist.
execute_process(
  COMMAND ${CMAKE_COMMAND} -DCACHE_DIR=${RAIDKIT_JPEG_CACHE}
          -P ${CMAKE_CURRENT_LIST_DIR}/libjpeg-turbo-fetch.cmake
  RESULT_VARIABLE jpeg_fetch_result)
if(NOT jpeg_fetch_result EQUAL 0)
  message(FATAL_ERROR "Could not fetch Debian's libjpeg-turbo source")
endif()

# The inner build runs elsewhere: a toolchain file given relative to this tree must be absolute.
set(jpeg_toolchain ${CMAKE_TOOLCHAIN_FILE})
if(NOT IS_ABSOLUTE "${jpeg_toolchain}")
  if(EXISTS ${CMAKE_BINARY_DIR}/${jpeg_toolchain})
    set(jpeg_toolchain ${CMAKE_BINARY_DIR}/${jpeg_toolchain})
  else()
    set(jpeg_toolchain ${CMAKE_SOURCE_DIR}/${jpeg_toolchain})
  endif()
endif()

set(jpeg_source ${RAIDKIT_JPEG_CACHE}/source)
set(jpeg_binary ${CMAKE_BINARY_DIR}/libjpeg-turbo)
set(jpeg_library ${jpeg_binary}/libturbojpeg.a)

ExternalProject_Add(libjpeg_turbo_mingw
  SOURCE_DIR ${jpeg_source}
  BINARY_DIR ${jpeg_binary}
  DOWNLOAD_COMMAND ""
  UPDATE_COMMAND ""
  PATCH_COMMAND ""
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${jpeg_toolchain}
    -DCMAKE_MAKE_PROGRAM=${CMAKE_MAKE_PROGRAM}
    -DCMAKE_BUILD_TYPE=Release
    "-DCMAKE_C_FLAGS=-ffile-prefix-map=${jpeg_source}=libjpeg-turbo -ffile-prefix-map=${jpeg_binary}=libjpeg-turbo-build"
    -DCMAKE_INSTALL_PREFIX=${jpeg_binary}/install
    -DCMAKE_ASM_NASM_COMPILER=${NASM_EXECUTABLE}
    -DENABLE_SHARED=OFF
    -DENABLE_STATIC=ON
    -DWITH_TURBOJPEG=ON
    -DWITH_JAVA=OFF
    -DREQUIRE_SIMD=ON
  # Only the library: the tools and tests of the package are not needed.
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target turbojpeg-static
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${jpeg_library})

# jconfig.h, which jpeglib.h includes, is made in the build folder; the folder must exist now.
file(MAKE_DIRECTORY ${jpeg_binary})
add_library(libjpeg-turbo::turbojpeg STATIC IMPORTED GLOBAL)
set_target_properties(libjpeg-turbo::turbojpeg PROPERTIES
  IMPORTED_LOCATION ${jpeg_library}
  INTERFACE_INCLUDE_DIRECTORIES "${jpeg_source};${jpeg_binary}")
add_dependencies(libjpeg-turbo::turbojpeg libjpeg_turbo_mingw)
