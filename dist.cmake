# Packs the portable program folder into the release archive ARCHIVE in BUILD, a NAME.tar.gz or
# a NAME.zip whose top folder is NAME, with a sha256sum line beside it in ARCHIVE.sha256. The
# same commit gives the same bytes: entries in name order, each with the commit's time.
# Usage: cmake -DSOURCE=<source> -DBUILD=<build> -DARCHIVE=<NAME.tar.gz|NAME.zip> -P dist.cmake

# The archiver takes every time it writes from SOURCE_DATE_EPOCH.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C ${SOURCE} log -1 --format=%ct
        OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT commit_time)
        set(commit_time 315532800) # outside a clone: 1980-01-01, the earliest a ZIP holds
    endif()
    set(ENV{SOURCE_DATE_EPOCH} ${commit_time})
endif()

# A ZIP keeps its times as local time: the same in every time zone only in one.
set(ENV{TZ} UTC)

# The format follows the name, and the top folder is the name without its extension.
if(ARCHIVE MATCHES "\\.zip$")
    set(format zip)
else()
    set(format gnutar)
    set(compress z)
endif()
string(REGEX REPLACE "\\.(zip|tar\\.gz)$" "" NAME ${ARCHIVE})

set(stage ${BUILD}/dist)
file(REMOVE_RECURSE ${stage})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${stage}/${NAME}
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

# Files, and folders only when empty: the archiver takes a folder's whole content, in the
# order the system lists it.
file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${stage} ${stage}/*)
set(listed "")
foreach(entry IN LISTS entries)
    file(GLOB content ${stage}/${entry}/*)
    if(NOT content)
        list(APPEND listed ${entry})
    endif()
endforeach()
list(SORT listed)
list(JOIN listed "\n" listed)
file(WRITE ${BUILD}/dist-entries.txt "${listed}\n")

execute_process(COMMAND ${CMAKE_COMMAND} -E tar c${compress}f ${BUILD}/${ARCHIVE} --format=${format}
    --files-from=${BUILD}/dist-entries.txt
    WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
file(SHA256 ${BUILD}/${ARCHIVE} hash)
file(WRITE ${BUILD}/${ARCHIVE}.sha256 "${hash}  ${ARCHIVE}\n")
message(STATUS "Release archive: ${BUILD}/${ARCHIVE}")
