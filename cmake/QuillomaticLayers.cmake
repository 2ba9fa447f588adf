# The program's layers and what each may use, checked when the build is
# configured: a library linked against the layers stops the configuration
# and names the arrow that goes the wrong way.
function(quillomatic_layer target)
    cmake_parse_arguments(PARSE_ARGV 1 LAYER "" "" "MAY_USE")
    get_target_property(used ${target} LINK_LIBRARIES)
    foreach(library IN LISTS used)
        if(NOT library IN_LIST LAYER_MAY_USE)
            message(FATAL_ERROR "${target} may not use ${library} (the layers are in "
                                "${CMAKE_SOURCE_DIR}/CMakeLists.txt)")
        endif()
    endforeach()
endfunction()
