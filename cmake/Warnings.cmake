# Warning flags for every target of the project, as one INTERFACE target.
add_library(plumage_warnings INTERFACE)
target_compile_options(plumage_warnings INTERFACE
  -Wall                 # the usual suspects
  -Wextra               # unused parameters, signed/unsigned comparisons...
  -Wpedantic            # no compiler extensions in portable program code
  -Wshadow              # a local hiding a member is a bug waiting to happen
  -Wnon-virtual-dtor    # interfaces are deleted through base pointers
  -Wold-style-cast      # casts say what they do
  -Wcast-align          # readers of packed bytes never cast to wider types
  -Woverloaded-virtual  # fakes override what they mean to
  -Wimplicit-fallthrough
)
if(PLUMAGE_WARNINGS_AS_ERRORS)
  target_compile_options(plumage_warnings INTERFACE -Werror)
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # g++ 12 reports std::string's own memcpy at -O3 (GCC bug 105329): a false
  # positive inside libstdc++, not in this code.
  target_compile_options(plumage_warnings INTERFACE -Wno-restrict)
endif()
