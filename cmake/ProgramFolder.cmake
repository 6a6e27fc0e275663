# The program folder as the programs use it, made from dist/ of the source
# tree. Files that every language ships unchanged are kept once, in
# dist/shared/, and belong in each language folder: dist/shared/layout/keys.js
# is NL/layout/keys.js and GB/layout/keys.js. A language folder is a folder
# of dist/ with a KS-<name>.UI beside it.
#
# Included, it defines the functions below. Run with
#   cmake -DSOURCE=<dist> -DTARGET=<folder> -P ProgramFolder.cmake
# it lays out TARGET: copies what changed and removes what dist/ no longer has.

# The languages of the program folder at source, in name order.
function(ks_languages source out)
  file(GLOB texts RELATIVE ${source} ${source}/KS-*.UI)
  set(languages)
  foreach(text IN LISTS texts)
    string(REGEX REPLACE "^KS-(.*)\\.UI$" "\\1" language ${text})
    if(IS_DIRECTORY ${source}/${language})
      list(APPEND languages ${language})
    endif()
  endforeach()
  list(SORT languages)
  set(${out} ${languages} PARENT_SCOPE)
endfunction()

# The files of the program folder at source, relative to it: out_paths, and
# beside each the file of the source tree it is copied from, out_origins.
function(ks_program_files source out_paths out_origins)
  ks_languages(${source} languages)
  file(GLOB_RECURSE own RELATIVE ${source} LIST_DIRECTORIES false ${source}/*)
  file(GLOB_RECURSE shared RELATIVE ${source}/shared LIST_DIRECTORIES false ${source}/shared/*)
  set(paths)
  set(origins)
  foreach(path IN LISTS own)
    if(NOT path MATCHES "^shared/")
      list(APPEND paths ${path})
      list(APPEND origins ${source}/${path})
    endif()
  endforeach()
  foreach(language IN LISTS languages)
    foreach(path IN LISTS shared)
      if(EXISTS ${source}/${language}/${path})
        message(FATAL_ERROR "${source}/${language}/${path}: kept once for every language in "
                            "${source}/shared/${path}, so it must not be in ${language}/ too")
      endif()
      list(APPEND paths ${language}/${path})
      list(APPEND origins ${source}/shared/${path})
    endforeach()
  endforeach()
  set(${out_paths} ${paths} PARENT_SCOPE)
  set(${out_origins} ${origins} PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  cmake_policy(VERSION 3.25)
  if(NOT SOURCE OR NOT TARGET)
    message(FATAL_ERROR "usage: cmake -DSOURCE=<dist> -DTARGET=<folder> -P ${CMAKE_CURRENT_LIST_FILE}")
  endif()
  ks_program_files(${SOURCE} paths origins)
  foreach(path origin IN ZIP_LISTS paths origins)
    get_filename_component(folder ${TARGET}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(COPY_FILE ${origin} ${TARGET}/${path} ONLY_IF_DIFFERENT)
  endforeach()
  # What dist/ no longer holds goes, so that nothing stale is used or installed.
  file(GLOB_RECURSE present RELATIVE ${TARGET} LIST_DIRECTORIES false ${TARGET}/*)
  foreach(path IN LISTS present)
    if(NOT path IN_LIST paths)
      file(REMOVE ${TARGET}/${path})
    endif()
  endforeach()
endif()
