# Packs the portable program folder into the release archive ARCHIVE in BUILD, a NAME.tar.gz or
# a NAME.zip whose top folder is NAME, with a sha256sum line beside it in ARCHIVE.sha256. The
# same commit gives the same bytes, whoever builds it: entries in name order, each with the
# commit's time and no owner of the builder's.
# Usage: cmake -DSOURCE=<source> -DBUILD=<build> -DARCHIVE=<NAME.tar.gz|NAME.zip> -P dist.cmake

if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
    execute_process(COMMAND git -C ${SOURCE} log -1 --format=%ct
        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT epoch)
        set(epoch 315532800) # outside a clone: 1980-01-01, the earliest a ZIP holds
    endif()
endif()

# A ZIP keeps its times as local time: the same in every time zone only in one.
set(ENV{TZ} UTC)

# The top folder is the name without its extension.
string(REGEX REPLACE "\\.(zip|tar\\.gz)$" "" NAME ${ARCHIVE})

set(stage ${BUILD}/dist)
file(REMOVE_RECURSE ${stage})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${stage}/${NAME}
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

# Files, and folders only when empty, in name order: each archiver packs exactly this list, and
# no folder's content in the order the system happens to list it.
file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${stage} ${stage}/*)
set(listed "")
foreach(entry IN LISTS entries)
    file(GLOB content ${stage}/${entry}/*)
    if(NOT content)
        list(APPEND listed ${entry})
    endif()
endforeach()
list(SORT listed)
string(JOIN "\n" entry_list ${listed})
file(WRITE ${BUILD}/dist-entries.txt "${entry_list}\n")

# Debian's GNU tar and Info-ZIP's zip, because both can leave out who packed: CMake's own
# archiver records the builder's user in every entry.
if(ARCHIVE MATCHES "\\.zip$")
    find_program(zip zip REQUIRED)
    # zip takes each file's time as it is on disk.
    execute_process(COMMAND touch -d @${epoch} ${listed}
        WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
    # zip adds to an archive already there.
    file(REMOVE ${BUILD}/${ARCHIVE})
    execute_process(COMMAND ${zip} -q -X ${BUILD}/${ARCHIVE} -@
        INPUT_FILE ${BUILD}/dist-entries.txt
        WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
else()
    find_program(tar NAMES gtar tar REQUIRED)
    find_program(gzip gzip REQUIRED)
    execute_process(
        COMMAND ${tar} -c -f - --format=gnu --no-recursion --files-from=${BUILD}/dist-entries.txt
            --owner=0 --group=0 --numeric-owner --mtime=@${epoch}
        COMMAND ${gzip} -9 -n
        OUTPUT_FILE ${BUILD}/${ARCHIVE}
        WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
endif()
file(SHA256 ${BUILD}/${ARCHIVE} hash)
file(WRITE ${BUILD}/${ARCHIVE}.sha256 "${hash}  ${ARCHIVE}\n")
message(STATUS "Release archive: ${BUILD}/${ARCHIVE}")
