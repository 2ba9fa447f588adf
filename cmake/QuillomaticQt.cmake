# Qt's code generators for a target that uses Qt: moc for its Q_OBJECT
# classes, and uic. The top CMakeLists.txt turns them off for every other
# target, so the plain C++ libraries and their tests build without them.
function(quillomatic_qt target)
    set_target_properties(${target} PROPERTIES AUTOMOC ON AUTOUIC ON)
endfunction()
