# Our own targets build with every warning as an error; third-party headers come in as SYSTEM.
function(quill_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                             -Wnon-virtual-dtor -Werror)
endfunction()
