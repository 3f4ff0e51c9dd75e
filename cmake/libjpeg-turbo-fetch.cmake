# Script mode (cmake -DCACHE_DIR=<dir> -P libjpeg-turbo-fetch.cmake): Debian's libjpeg-turbo
# source package, unpacked with Debian's patches into <dir>/source. Fetched once and cached.
#
# apt-get is pointed at a deb-src list, package lists and cache of its own under <dir>, so the
# machine's apt configuration is neither needed nor touched.
cmake_minimum_required(VERSION 3.25)
if(NOT CACHE_DIR)
  message(FATAL_ERROR "CACHE_DIR not set")
endif()
set(package libjpeg-turbo)
set(source_dir ${CACHE_DIR}/source)

# The one source every build is made from: Debian 12's package, pinned by version and by the
# checksums of its files, so that two builds of one commit give the same raidkit.exe.
set(pinned_version 1:2.1.5-2)
set(pinned_file_version 2.1.5-2)
set(pinned_files
  "libjpeg-turbo_2.1.5-2.dsc=d718ead0dfbcbc8523665c02a7f7152e31039ded641d022868722623bb3b486d"
  "libjpeg-turbo_2.1.5.orig.tar.gz=254f3642b04e309fee775123133c6464181addc150499561020312ec61c1bf7c"
  "libjpeg-turbo_2.1.5-2.debian.tar.xz=cdb2433c2f7101345c1ffa14efb943787c675b86354691a32490845fe4bc9237")
set(pinned_dsc libjpeg-turbo_${pinned_file_version}.dsc)

file(MAKE_DIRECTORY ${CACHE_DIR})
# Two build trees configuring at once fetch it once.
file(LOCK ${CACHE_DIR}/fetch.lock GUARD PROCESS TIMEOUT 600)
if(EXISTS ${source_dir}/.raidkit-ready)
  file(STRINGS ${source_dir}/.raidkit-ready ready_dsc LIMIT_COUNT 1)
  if(ready_dsc STREQUAL pinned_dsc)
    return()
  endif()
  message(STATUS "libjpeg-turbo: the cached source is ${ready_dsc}, not ${pinned_dsc}: fetching again")
endif()

set(apt_dir ${CACHE_DIR}/apt)
file(REMOVE_RECURSE ${apt_dir} ${CACHE_DIR}/download ${source_dir} ${source_dir}.partial)
file(MAKE_DIRECTORY ${apt_dir}/sources.list.d ${apt_dir}/lists/partial
  ${apt_dir}/cache/archives/partial ${CACHE_DIR}/download)

# The machine's own Debian sources, as source entries.
set(system_sources /etc/apt/sources.list.d/debian.sources)
if(NOT EXISTS ${system_sources})
  message(FATAL_ERROR "${system_sources} not found: cannot tell where Debian's sources are")
endif()
file(READ ${system_sources} sources)
string(REGEX REPLACE "(^|\n)Types:[ \t]*deb[ \t]*(\n|$)" "\\1Types: deb-src\\2" sources "${sources}")
file(WRITE ${apt_dir}/sources.list.d/debian-src.sources "${sources}")

set(apt_options
  -o Dir::Etc::SourceList=/dev/null
  -o Dir::Etc::SourceParts=${apt_dir}/sources.list.d
  -o Dir::State::Lists=${apt_dir}/lists
  -o Dir::Cache=${apt_dir}/cache)

message(STATUS "libjpeg-turbo: fetching Debian's source package into ${CACHE_DIR}")
execute_process(COMMAND apt-get ${apt_options} -qq update
  RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "apt-get update (private lists) failed:\n${errors}")
endif()
execute_process(COMMAND apt-get ${apt_options} -qq source --download-only
    ${package}=${pinned_version}
  WORKING_DIRECTORY ${CACHE_DIR}/download
  RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "apt-get source ${package}=${pinned_version} failed (the build is pinned "
    "to that version; a mirror that no longer offers it needs the pin in "
    "cmake/libjpeg-turbo-fetch.cmake moved on, together with its checksums):\n${errors}")
endif()
foreach(entry IN LISTS pinned_files)
  string(REPLACE "=" ";" entry "${entry}")
  list(GET entry 0 name)
  list(GET entry 1 expected)
  if(NOT EXISTS ${CACHE_DIR}/download/${name})
    message(FATAL_ERROR "libjpeg-turbo: ${name} was not downloaded")
  endif()
  file(SHA256 ${CACHE_DIR}/download/${name} got)
  if(NOT got STREQUAL expected)
    message(FATAL_ERROR "libjpeg-turbo: ${name} is not the pinned source.\n"
      "  expected sha256 ${expected}\n  fetched  sha256 ${got}\n"
      "The build stops rather than make a raidkit.exe from other code.")
  endif()
endforeach()

file(GLOB dsc ${CACHE_DIR}/download/${package}_*.dsc)
find_program(DPKG_SOURCE dpkg-source)
if(DPKG_SOURCE AND dsc)
  # Applies Debian's patches as the package builds with them.
  execute_process(COMMAND ${DPKG_SOURCE} --no-check -x ${dsc} ${source_dir}.partial
    WORKING_DIRECTORY ${CACHE_DIR}/download
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "dpkg-source -x failed:\n${errors}")
  endif()
else()
  file(GLOB orig ${CACHE_DIR}/download/${package}_*.orig.tar.*)
  if(NOT orig)
    message(FATAL_ERROR "no ${package} source archive was downloaded")
  endif()
  file(ARCHIVE_EXTRACT INPUT ${orig} DESTINATION ${CACHE_DIR}/unpack)
  file(GLOB unpacked LIST_DIRECTORIES true ${CACHE_DIR}/unpack/*)
  file(RENAME ${unpacked} ${source_dir}.partial)
  file(REMOVE_RECURSE ${CACHE_DIR}/unpack)
endif()
file(RENAME ${source_dir}.partial ${source_dir})
# dpkg-source leaves a copy of the original archive beside the tree it unpacked.
file(GLOB stray ${CACHE_DIR}/${package}_*.orig.tar.*)
if(stray)
  file(REMOVE ${stray})
endif()
file(GLOB dsc_name RELATIVE ${CACHE_DIR}/download ${CACHE_DIR}/download/*.dsc)
file(WRITE ${source_dir}/.raidkit-ready "${dsc_name}\n")
file(REMOVE_RECURSE ${apt_dir})
