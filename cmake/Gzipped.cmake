# Gzip-compressed copies of manual pages and the changelog, made by `target`,
# without a name or time stamp in the gzip header, so that the same sources
# give the same package. Each source's copy is its name with .gz in this
# folder's binary folder.
function(drovana_gzipped target)
    find_program(GZIP gzip REQUIRED)
    set(outputs)
    foreach(source ${ARGN})
        set(gzipped ${CMAKE_CURRENT_BINARY_DIR}/${source}.gz)
        add_custom_command(OUTPUT ${gzipped}
            COMMAND ${GZIP} -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/${source} > ${gzipped}
            DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${source}
            COMMENT "Compressing ${source}")
        list(APPEND outputs ${gzipped})
    endforeach()
    add_custom_target(${target} ALL DEPENDS ${outputs})
endfunction()
