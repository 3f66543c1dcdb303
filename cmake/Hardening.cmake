# The hardening Debian builds its packages with (dpkg-buildflags with hardening=+all): stack
# protector, fortified library calls, format checks, read-only relocations bound at start. Left
# out where a sanitizer instruments the build instead, and on Windows.
option(RINVO_HARDEN "Build with the distribution's hardening flags" ON)
if(RINVO_HARDEN AND NOT WIN32 AND NOT RINVO_SANITIZE AND NOT RINVO_THREAD_SANITIZE)
  add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
  add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()
