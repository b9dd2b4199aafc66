# Warnings and sanitizers shared by every target of the project.
function(quorvane_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    # GCC 12 reports overlapping copies inside std::string concatenation at -O3 that cannot happen
    # (GCC bug 105329); the warning stays on for other compilers and versions.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
       AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
    if(QUORVANE_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    if(QUORVANE_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                 -fno-sanitize-recover=undefined)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
endfunction()
