# Warnings and sanitizers shared by every target of the project.
function(quorvane_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(QUORVANE_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    if(QUORVANE_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                 -fno-sanitize-recover=undefined)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
endfunction()
