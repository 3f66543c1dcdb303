# AddressSanitizer and UBSan for the whole build; CI runs the tests once more in such a build.
option(RINVO_THREAD_SANITIZE "Build with ThreadSanitizer" OFF)
if(RINVO_SANITIZE AND RINVO_THREAD_SANITIZE)
  message(FATAL_ERROR "ThreadSanitizer cannot be combined with AddressSanitizer")
endif()
if(RINVO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
# CI builds only the engine's tests so, since the walk is where threads meet.
if(RINVO_THREAD_SANITIZE)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
