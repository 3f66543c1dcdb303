# AddressSanitizer and UBSan for the whole build; CI runs the tests once more in such a build.
if(RINVO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
