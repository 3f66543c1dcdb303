# One place for the warning flags every target of the project gets.
function(rinvo_set_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /permissive- /utf-8)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wnon-virtual-dtor
                                              -Woverloaded-virtual -Werror=return-type)
  endif()
endfunction()
