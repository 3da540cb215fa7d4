# Packs the portable program folder into the release archive ARCHIVE in BUILD, a NAME.tar.gz or
# a NAME.zip whose top folder is NAME, with a sha256sum line beside it in ARCHIVE.sha256 and,
# on a system with dpkg, a build record in NAME.buildinfo. The same commit gives the same bytes,
# whoever builds it: entries in name order, each with the commit's time and no owner of the
# builder's. In a clone, it also packs the commit's source into SOURCE_ARCHIVE in BUILD, as git
# archive does, with its sha256sum line.
# Usage: cmake -DSOURCE=<source> -DBUILD=<build> [-DARCHIVE=<NAME.tar.gz|NAME.zip>]
#              [-DSOURCE_ARCHIVE=<NAME-source.tar.gz>] [-DBUILT_USING=<file>] -P dist.cmake
# The build record names the Debian packages of the files listed in BUILD/buildinfo-files.txt and
# of the archiver, and the source line in BUILT_USING, of a library built into the program.

foreach(required SOURCE BUILD)
    if(NOT ${required})
        message(FATAL_ERROR "dist.cmake: -D${required}=... is missing; see the usage at its top")
    endif()
endforeach()
if(NOT ARCHIVE AND NOT SOURCE_ARCHIVE)
    message(FATAL_ERROR "dist.cmake: -DARCHIVE=... or -DSOURCE_ARCHIVE=... is missing")
endif()

# The commit and its time: git's in a clone; outside one, those git archive wrote into
# .git-archival.txt. The clone must be the source's own, not one it was unpacked inside.
execute_process(COMMAND git -C ${SOURCE} rev-parse --show-toplevel
    OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
file(REAL_PATH ${SOURCE} real_source)
if(top AND top STREQUAL real_source)
    set(clone TRUE)
    execute_process(COMMAND git -C ${SOURCE} log -1 --format=%H%n%ct
        OUTPUT_VARIABLE head OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    string(REPLACE "\n" ";" head "${head}")
    list(GET head 0 commit)
    list(GET head 1 commit_time)
    # The build folder may sit inside the source, and is no change of it.
    cmake_path(IS_PREFIX SOURCE ${BUILD} NORMALIZE build_inside)
    if(build_inside)
        file(RELATIVE_PATH build_folder ${SOURCE} ${BUILD})
        set(not_the_build ":(exclude)${build_folder}")
    endif()
    execute_process(COMMAND git -C ${SOURCE} status --porcelain -- . ${not_the_build}
        OUTPUT_VARIABLE changes ERROR_QUIET)
elseif(EXISTS ${SOURCE}/.git-archival.txt)
    file(STRINGS ${SOURCE}/.git-archival.txt archival)
    # Unfilled, the lines hold git's placeholders instead.
    foreach(line IN LISTS archival)
        if(line MATCHES "^commit: ([0-9a-f]+)$")
            set(commit ${CMAKE_MATCH_1})
        elseif(line MATCHES "^time: ([0-9]+)$")
            set(commit_time ${CMAKE_MATCH_1})
        endif()
    endforeach()
endif()

if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch $ENV{SOURCE_DATE_EPOCH})
elseif(commit_time)
    set(epoch ${commit_time})
else()
    set(epoch 315532800) # no commit known: 1980-01-01, the earliest a ZIP holds
endif()

# The source archive, of the commit as git archive packs it: each file's time the commit's,
# root as owner, and none of git's line-end conversions or modes that a builder's setting picks.
if(SOURCE_ARCHIVE)
    file(REMOVE ${BUILD}/${SOURCE_ARCHIVE} ${BUILD}/${SOURCE_ARCHIVE}.sha256)
    string(REGEX REPLACE "-source\\.tar\\.gz$" "" top_folder ${SOURCE_ARCHIVE})
    if(clone)
        # Not the archiver's name below, which the build record lists, built from a clone or not.
        find_program(source_gzip gzip REQUIRED)
        execute_process(
            COMMAND git -C ${SOURCE} -c core.autocrlf=false -c tar.umask=0002
                archive --format=tar --prefix=${top_folder}/ ${commit}
            COMMAND ${source_gzip} -9 -n
            OUTPUT_FILE ${BUILD}/${SOURCE_ARCHIVE} COMMAND_ERROR_IS_FATAL ANY)
        file(SHA256 ${BUILD}/${SOURCE_ARCHIVE} hash)
        file(WRITE ${BUILD}/${SOURCE_ARCHIVE}.sha256 "${hash}  ${SOURCE_ARCHIVE}\n")
        message(STATUS "Source archive: ${BUILD}/${SOURCE_ARCHIVE}, of commit ${commit}")
        if(changes)
            message(WARNING "The source archive holds commit ${commit}, without the changes "
                "not committed")
        endif()
    else()
        # Unpacked from a source archive, the source already is one.
        message(STATUS "No source archive: ${SOURCE} is no clone, and the source archive is "
            "packed from a commit")
    endif()
endif()
if(NOT ARCHIVE)
    return()
endif()

# A ZIP keeps its times as local time: the same in every time zone only in one.
set(ENV{TZ} UTC)

# The top folder is the name without its extension.
string(REGEX REPLACE "\\.(zip|tar\\.gz)$" "" NAME ${ARCHIVE})

set(stage ${BUILD}/dist)
file(REMOVE_RECURSE ${stage})
# The Linux program without its debug information, nearly all of its size. The Windows one is
# linked stripped.
if(ARCHIVE MATCHES "\\.tar\\.gz$")
    set(strip --strip)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${stage}/${NAME} ${strip}
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

# The build record, after the manner of Debian's .buildinfo: what a rebuild needs to give the
# same bytes, and nothing that varies between builds.
find_program(dpkg_query dpkg-query)
if(NOT dpkg_query)
    return()
endif()
# The package of each file, looked up under its own name, the one its links lead to, and either
# without the /usr that Debian's merged folders add. dpkg-query reports the owned ones and fails
# on the rest, which are no package's.
file(STRINGS ${BUILD}/buildinfo-files.txt files)
set(candidates "")
foreach(file IN LISTS files zip tar gzip)
    cmake_path(SET named NORMALIZE ${file})
    file(REAL_PATH ${file} real)
    foreach(path IN ITEMS ${named} ${real})
        string(REGEX REPLACE "^/usr/" "/" unmerged ${path})
        list(APPEND candidates ${path} ${unmerged})
    endforeach()
endforeach()
list(REMOVE_DUPLICATES candidates)
execute_process(COMMAND ${dpkg_query} -S ${candidates} OUTPUT_VARIABLE owned ERROR_QUIET)
string(REPLACE "\n" ";" owned "${owned}")
set(owners "")
foreach(line IN LISTS owned)
    if(line MATCHES "^([^:, ]+(:[a-z0-9]+)?): ")
        list(APPEND owners ${CMAKE_MATCH_1})
    endif()
endforeach()
set(packages "")
if(owners)
    execute_process(COMMAND ${dpkg_query} -W "-f=\${Package} (= \${Version})\n" ${owners}
        OUTPUT_VARIABLE packages OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    string(REPLACE "\n" ";" packages "${packages}")
endif()
list(REMOVE_DUPLICATES packages)
list(SORT packages)
string(JOIN ",\n " packages ${packages})

if(NOT commit)
    set(commit "none: not built from a clone or an archive of a commit")
elseif(changes)
    string(APPEND commit " with changes not committed")
endif()
execute_process(COMMAND dpkg --print-architecture
    OUTPUT_VARIABLE architecture OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REGEX REPLACE "^quillfen-([^-]+)-.*" "\\1" version ${NAME})
file(SIZE ${BUILD}/${ARCHIVE} size)
set(record "Format: 1.0\nSource: quillfen\nVersion: ${version}\nGit-Commit: ${commit}\n")
string(APPEND record "Build-Architecture: ${architecture}\n")
string(APPEND record "Checksums-Sha256:\n ${hash} ${size} ${ARCHIVE}\n")
string(APPEND record "Installed-Build-Depends:\n ${packages}\n")
if(BUILT_USING)
    file(READ ${BUILT_USING} built_using)
    string(APPEND record "Built-Using: ${built_using}")
endif()
file(WRITE ${BUILD}/${NAME}.buildinfo "${record}")
