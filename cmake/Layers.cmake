# One target per source folder under src/. Its files may include the headers of its own
# folder and of the folders of its DEPS, and outside headers of its USES packages (see
# CheckIncludes.cmake); a build step checks each target's files, so a wrong include fails the
# build instead of hiding behind the one include root every layer shares.
#
#   quill_layer(name [PROGRAM] FOLDER dir [DEPS quill targets...] [USES packages...]
#               [LINKS targets...])
# makes a static library, or with PROGRAM an executable.

function(quill_layer name)
    cmake_parse_arguments(arg "PROGRAM" "FOLDER" "DEPS;USES;LINKS" ${ARGN})
    set(dir ${PROJECT_SOURCE_DIR}/src/${arg_FOLDER})
    file(GLOB files CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
    if(arg_PROGRAM)
        add_executable(${name} ${files})
        target_link_libraries(${name} PRIVATE ${arg_DEPS} ${arg_LINKS})
    else()
        add_library(${name} STATIC ${files})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} PUBLIC ${arg_DEPS} ${arg_LINKS})
    endif()
    set_target_properties(${name} PROPERTIES QUILL_FOLDER ${arg_FOLDER})
    quill_warnings(${name})

    set(folders ${arg_FOLDER})
    foreach(dep IN LISTS arg_DEPS)
        list(APPEND folders "$<TARGET_PROPERTY:${dep},QUILL_FOLDER>")
    endforeach()
    set(rules ${CMAKE_CURRENT_BINARY_DIR}/${name}.includes.cmake)
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${name}.includes.checked)
    file(GENERATE OUTPUT ${rules} CONTENT "set(LIBRARY ${name})
set(FILES \"${files}\")
set(FOLDERS \"${folders}\")
set(USES \"${arg_USES}\")
")
    set(checker ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake)
    add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -DRULES=${rules} -DSTAMP=${stamp} -P ${checker}
        DEPENDS ${files} ${rules} ${checker}
        COMMENT "Checking the includes of ${name}" VERBATIM)
    target_sources(${name} PRIVATE ${stamp})
endfunction()
