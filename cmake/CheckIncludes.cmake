# Fails when a library's files include a header of a folder or an outside package that the
# library does not depend on. Every layer includes by path from src/, so the compiler alone
# cannot tell a header of a lower layer from one of a higher layer.
#
#   cmake -DRULES=<rules file> -DSTAMP=<file touched on success> -P CheckIncludes.cmake
#
# The rules file sets LIBRARY, FILES (absolute paths), FOLDERS (folders under src/ whose
# headers it may include) and USES (outside packages from the table below).

cmake_minimum_required(VERSION 3.25)
include(${RULES})

# The C and C++ standard libraries: every layer may use them.
set(standard_headers
    algorithm any array atomic barrier bit bitset charconv chrono codecvt compare complex
    concepts condition_variable coroutine deque exception execution expected filesystem
    format forward_list fstream functional future initializer_list iomanip ios iosfwd
    iostream istream iterator latch limits list locale map memory memory_resource mutex new
    numbers numeric optional ostream print queue random ranges ratio regex scoped_allocator
    semaphore set shared_mutex source_location span spanstream sstream stack stacktrace
    stdexcept stop_token streambuf string string_view syncstream system_error thread tuple
    type_traits typeindex typeinfo unordered_map unordered_set utility valarray variant
    vector version
    cassert cctype cerrno cfenv cfloat cinttypes climits clocale cmath csetjmp csignal
    cstdarg cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype
    assert.h ctype.h errno.h fenv.h float.h inttypes.h limits.h locale.h math.h setjmp.h
    signal.h stdarg.h stddef.h stdint.h stdio.h stdlib.h string.h time.h uchar.h wchar.h
    wctype.h)

# Outside packages and the headers each owns. Windows headers are matched in lower case, as
# the Windows SDK spells them either way.
set(package_qt "^(Q[A-Za-z0-9]*|Qt[A-Za-z0-9]*/.+|q[a-z0-9_]*\\.h)$")
set(package_xcb "^(xcb|X11|xkbcommon)/.+$")
set(package_curl "^curl/.+$")
set(package_pugixml "^pugi(xml|config)\\.hpp$")
# libwayland's headers and the ones wayland-scanner makes from our protocol files.
set(package_wayland "^(wayland-[a-z-]+|[a-z-]+-client)\\.h$")
set(package_win32 "^(win[a-z0-9_]*|ws2[a-z0-9_]*|shellapi|shlobj|shlwapi|shobjidl|objbase|ole2|\
commctrl|commdlg|mmsystem|tchar|wtypes|wtsapi32|dwmapi|uxtheme|xmllite)\\.h$")
set(package_posix "^(aio|cpio|dirent|dlfcn|fcntl|fnmatch|ftw|glob|grp|iconv|langinfo|libgen|malloc|\
monetary|mqueue|netdb|nl_types|poll|pthread|pwd|regex|sched|search|semaphore|spawn|strings|\
syslog|termios|unistd|utime|wordexp|(arpa|net|netinet|sys)/[a-z_]+)\\.h$")
set(packages qt xcb curl pugixml wayland win32 posix)

function(owner header result)
    string(TOLOWER "${header}" lower)
    foreach(package IN LISTS packages)
        if(header MATCHES "${package_${package}}" OR
           (package STREQUAL "win32" AND lower MATCHES "${package_win32}"))
            set(${result} ${package} PARENT_SCOPE)
            return()
        endif()
    endforeach()
    set(${result} "" PARENT_SCOPE)
endfunction()

set(errors "")
foreach(file IN LISTS FILES)
    file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
        if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")
            continue()
        endif()
        set(header "${CMAKE_MATCH_2}")
        set(why "")
        if(CMAKE_MATCH_1 STREQUAL "\"")
            get_filename_component(folder "${header}" DIRECTORY)
            if(NOT folder IN_LIST FOLDERS)
                list(JOIN FOLDERS ", " allowed)
                set(why "${LIBRARY} may include headers of ${allowed} only, by path from src/")
            endif()
        elseif(NOT header IN_LIST standard_headers)
            owner("${header}" package)
            if(package STREQUAL "")
                set(why "no package in cmake/CheckIncludes.cmake owns it")
            elseif(NOT package IN_LIST USES)
                set(why "it belongs to ${package}, which ${LIBRARY} does not use")
            endif()
        endif()
        if(why)
            string(APPEND errors "\n  ${file}: ${line}\n    ${why}")
        endif()
    endforeach()
endforeach()

if(errors)
    message(FATAL_ERROR "Includes across layers:${errors}")
endif()
file(TOUCH "${STAMP}")
