# Adds every immediate subfolder that has a CMakeLists.txt, so each part of
# the program keeps its own build file.
macro(velnoir_add_subdirs)
  file(GLOB _velnoir_children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _velnoir_children)
  foreach(_child ${_velnoir_children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${_child} AND
       EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_child}/CMakeLists.txt)
      add_subdirectory(${_child})
    endif()
  endforeach()
endmacro()
