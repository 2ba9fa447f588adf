# Strict warnings, set per target so that third-party code keeps its own flags;
# with QUILLOMATIC_WERROR each of them stops the build.
function(quillomatic_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wsign-conversion -Wnon-virtual-dtor -Werror=return-type)
    if(QUILLOMATIC_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
