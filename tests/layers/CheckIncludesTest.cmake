# The include check on small files: what each layer may include passes, a header of a higher
# layer or of a package the layer does not use fails with the file and the line named.
#
#   cmake -DCHECKER=<CheckIncludes.cmake> -DWORK=<scratch folder> -P CheckIncludesTest.cmake

cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK})

# expect(PASS|FAIL name FOLDERS <list> USES <list> LINES <include lines...>)
function(expect verdict name)
    cmake_parse_arguments(arg "" "" "FOLDERS;USES;LINES" ${ARGN})
    set(source ${WORK}/${name}.cpp)
    list(JOIN arg_LINES "\n" text)
    file(WRITE ${source} "${text}\nint x;\n")
    file(WRITE ${WORK}/${name}.rules "set(LIBRARY quill_example)
set(FILES \"${source}\")
set(FOLDERS \"${arg_FOLDERS}\")
set(USES \"${arg_USES}\")
")
    execute_process(COMMAND ${CMAKE_COMMAND} -DRULES=${WORK}/${name}.rules
                            -DSTAMP=${WORK}/${name}.ok -P ${CHECKER}
                    RESULT_VARIABLE result ERROR_VARIABLE output)
    if(verdict STREQUAL "PASS" AND (NOT result EQUAL 0 OR NOT EXISTS ${WORK}/${name}.ok))
        message(SEND_ERROR "${name}: refused allowed includes:\n${output}")
    elseif(verdict STREQUAL "FAIL")
        list(GET arg_LINES -1 offending)
        if(result EQUAL 0 OR EXISTS ${WORK}/${name}.ok)
            message(SEND_ERROR "${name}: let through ${offending}")
        else()
            string(FIND "${output}" "${source}: ${offending}" named)
            if(named EQUAL -1)
                message(SEND_ERROR "${name}: the failure does not name ${offending}:\n${output}")
            endif()
        endif()
    endif()
endfunction()

set(x11 FOLDERS platform/x11 platform USES xcb)
expect(PASS x11_own_and_below ${x11} LINES
    "#include \"platform/x11/Struts.h\"" "#include \"platform/Desktop.h\""
    "#include <xcb/xcb.h>" "#include <vector>" "#include <cstdint>" "#include <string.h>")
expect(FAIL x11_reaches_forms_qt ${x11} LINES
    "#include \"platform/Desktop.h\"" "#include \"forms/qt/QtBackend.h\"")
expect(FAIL x11_uses_qt ${x11} LINES "#include <QWidget>")
expect(FAIL x11_uses_posix_unasked ${x11} LINES "#include <unistd.h>")
expect(FAIL platform_reaches_its_subfolder FOLDERS platform LINES
    "#include \"platform/x11/Struts.h\"")
expect(FAIL relative_path ${x11} LINES "#include \"Struts.h\"")

set(system FOLDERS feeds forms platform)
expect(PASS system_own_and_below ${system} LINES
    "#include \"feeds/GetUrl.h\"" "#include \"forms/Form.h\"" "#include <string_view>")
expect(FAIL system_windows ${system} LINES "#include <windows.h>")
expect(FAIL system_windows_capitalised ${system} LINES "#include <Windows.h>")
expect(FAIL system_wininet ${system} LINES "#include <wininet.h>")
expect(FAIL system_qt_module_path ${system} LINES "#include <QtCore/QString>")
expect(FAIL system_qt_lower_case ${system} LINES "#include <qglobal.h>")
expect(FAIL system_xcb ${system} LINES "#include <xcb/xcb.h>")
expect(FAIL system_curl ${system} LINES "#include <curl/curl.h>")
expect(FAIL system_posix ${system} LINES "#include <sys/types.h>")
expect(FAIL system_unknown_package ${system} LINES "#include <gtest/gtest.h>")
expect(FAIL system_spaced_directive ${system} LINES "  #  include <QWidget>")
expect(PASS system_commented_out ${system} LINES "// #include <QWidget>")

expect(PASS posix_spawn FOLDERS platform/posix platform USES posix LINES
    "#include <spawn.h>" "#include <sys/wait.h>" "#include <unistd.h>")
expect(PASS qt_backend FOLDERS forms/qt forms platform/x11 platform USES qt LINES
    "#include \"platform/x11/AppBarShell.h\"" "#include <QWidget>" "#include <QtGui/QWindow>")
