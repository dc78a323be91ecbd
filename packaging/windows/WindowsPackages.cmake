# The rules of the Windows downloads, laid when every target is known: the
# dialog (drovana.exe) goes in when this build has it.

# The installer of VERSION into OUTPUT, from the files in the folder STAGE.
# One version has one product code, so a rebuilt installer of the same version
# is taken for the installed one rather than installed beside it.
function(drovana_add_msi output version stage)
    string(UUID product_code NAMESPACE 9609FA3B-412B-4E2A-9FE4-AEBFD514287F
           NAME ${version} TYPE SHA1 UPPER)
    set(defines -D Version=${version} -D ProductCode=${product_code})
    set(inputs ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/drovana.wxs ${stage}/shp2s16.exe
               ${stage}/README.txt)
    if(TARGET drovana)
        list(APPEND defines -D Dialog=1)
        list(APPEND inputs ${stage}/drovana.exe)
    endif()
    if(EXISTS ${stage}/LICENSE.txt)
        list(APPEND defines -D Licence=1)
        list(APPEND inputs ${stage}/LICENSE.txt)
    endif()
    # wixl takes the files' names relative to the folder it runs in.
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${DROVANA_WIXL} -a x64 ${defines} -o ${output}
                ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/drovana.wxs
        WORKING_DIRECTORY ${stage}
        DEPENDS ${inputs}
        COMMENT "Making ${output}"
        VERBATIM)
endfunction()

# The programs stripped, the texts with Windows line ends, in STAGE: what the
# installer holds.
function(drovana_stage_windows_files stage programs)
    foreach(program IN LISTS programs)
        add_custom_command(
            OUTPUT ${stage}/${program}.exe
            COMMAND ${CMAKE_STRIP} -o ${stage}/${program}.exe $<TARGET_FILE:${program}>
            DEPENDS ${program}
            VERBATIM)
    endforeach()
    set(source ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
    configure_file(${source}/README.txt ${stage}/README.txt @ONLY NEWLINE_STYLE CRLF)
    if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
        configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${stage}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
    endif()
endfunction()

# The installer is put in place, upgraded and removed under Wine; FILES are
# the names it installs. The upgrade comes from an installer of the next patch
# version, built for the test alone.
function(drovana_add_msi_test msi stage files)
    math(EXPR next_patch "${PROJECT_VERSION_PATCH} + 1")
    set(next ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${next_patch})
    set(newer ${PROJECT_BINARY_DIR}/packaging/windows/drovana-${next}-x64.msi)
    drovana_add_msi(${newer} ${next} ${stage})
    add_custom_target(msi_upgrade ALL DEPENDS ${newer})
    add_test(NAME windows_msi
             COMMAND sh ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/test-msi.sh ${DROVANA_WINE64}
                     ${msi} ${PROJECT_VERSION} ${newer} ${next} ${files})
endfunction()

# The dialog and its preview on a Wine desktop under Xvfb, saved as
# pictures; skipped without Xvfb.
function(drovana_add_screenshot_test)
    find_program(DROVANA_XVFB Xvfb)
    find_program(DROVANA_IMPORT import)
    if(NOT DROVANA_XVFB OR NOT DROVANA_IMPORT)
        set(DROVANA_XVFB "")
    endif()
    add_test(NAME windows_screenshot
             COMMAND sh ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/screenshot.sh "${DROVANA_XVFB}"
                     ${DROVANA_WINE64} $<TARGET_FILE:drovana> ${PROJECT_BINARY_DIR}/samples
                     ${PROJECT_BINARY_DIR}/dialog-windows.png)
    set_tests_properties(windows_screenshot PROPERTIES SKIP_RETURN_CODE 77)
endfunction()

function(drovana_windows_packages)
    set(stage ${PROJECT_BINARY_DIR}/packaging/windows/stage)
    set(programs shp2s16)
    if(TARGET drovana)
        list(PREPEND programs drovana)
    endif()
    drovana_stage_windows_files(${stage} "${programs}")

    find_program(DROVANA_WIXL wixl)
    if(DROVANA_WIXL)
        set(msi ${PROJECT_BINARY_DIR}/package/drovana-${PROJECT_VERSION}-x64.msi)
        drovana_add_msi(${msi} ${PROJECT_VERSION} ${stage})
        add_custom_target(msi ALL DEPENDS ${msi})
    else()
        message(STATUS "wixl not found: no installer")
    endif()
    if(BUILD_TESTING AND DROVANA_WIXL)
        set(files ${programs})
        list(TRANSFORM files APPEND .exe)
        list(APPEND files README.txt)
        if(EXISTS ${stage}/LICENSE.txt)
            list(APPEND files LICENSE.txt)
        endif()
        drovana_add_msi_test(${msi} ${stage} "${files}")
    endif()
    if(BUILD_TESTING AND TARGET drovana)
        drovana_add_screenshot_test()
    endif()

    # The .zip: one folder of the programs, the texts and the sample maps.
    install(TARGETS ${programs} RUNTIME DESTINATION .)
    install(FILES ${stage}/README.txt DESTINATION .)
    if(EXISTS ${stage}/LICENSE.txt)
        install(FILES ${stage}/LICENSE.txt DESTINATION .)
    endif()
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_NAME drovana)
    set(CPACK_PACKAGE_VENDOR Quenmoor)
    set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
    set(CPACK_PACKAGE_FILE_NAME drovana-${PROJECT_VERSION}-win64)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
    set(CPACK_STRIP_FILES ON)
    set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
    include(CPack)
endfunction()
