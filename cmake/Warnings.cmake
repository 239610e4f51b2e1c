# marvolt_warnings(target): the project's warning set, applied target by target.
# MARVOLT_WERROR turns every warning of that set into an error; CI builds with it, so a
# warning never reaches the main branch. Third-party headers (Qt, GoogleTest, SQLite)
# come in through their imported targets as system includes and stay out of it.
option(MARVOLT_WERROR "Treat the project's warnings as errors" OFF)

function(marvolt_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
    -Wcast-align -Woverloaded-virtual -Wconversion -Wsign-conversion
    -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
  if(MARVOLT_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
