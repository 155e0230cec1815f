# Fontconfig set-ups of the window tests: each a generated fonts.conf that names font
# directories explicitly (nothing else the machine has installed) and keeps its own cache.

set(TOVIMAR_TEST_FONT_ROOTS "/usr/share/fonts" CACHE STRING
  "Where the window tests look for the font packages' directories (a list; the first root holding a directory wins)")
set(TOVIMAR_TEST_FONTCONFIG_RULES "/etc/fonts/fonts.conf" CACHE FILEPATH
  "The fontconfig file whose matching rules the window tests' font set-ups include (its font directories are dropped)")

# The directories of the fonts that scripts/install-deps.sh installs, relative to a root.
set(TOVIMAR_FONTS_GOTHIC opentype/ipafont-gothic)                 # fonts-ipafont-gothic
set(TOVIMAR_FONTS_DEJAVU truetype/dejavu)                         # fonts-dejavu-core
set(TOVIMAR_FONTS_URW opentype/urw-base35 type1/urw-base35)       # fonts-urw-base35
set(TOVIMAR_FONTS_DROID truetype/droid)                           # fonts-droid-fallback

# Writes ${CMAKE_CURRENT_BINARY_DIR}/fonts/<name>.conf holding the given directories and sets
# <out> to its path.
function(tovimar_test_font_set name out)
  set(dirs "")
  foreach(relative IN LISTS ARGN)
    set(found "")
    foreach(root IN LISTS TOVIMAR_TEST_FONT_ROOTS)
      if(NOT found AND IS_DIRECTORY "${root}/${relative}")
        set(found "${root}/${relative}")
      endif()
    endforeach()
    if(NOT found)
      message(WARNING "The window tests' font set '${name}' lacks ${relative} (looked in: "
                      "${TOVIMAR_TEST_FONT_ROOTS}); run scripts/install-deps.sh or set TOVIMAR_TEST_FONT_ROOTS.")
      list(GET TOVIMAR_TEST_FONT_ROOTS 0 first)
      set(found "${first}/${relative}")
    endif()
    string(APPEND dirs "  <dir>${found}</dir>\n")
  endforeach()
  set(TOVIMAR_FONT_SET_DIRS "${dirs}")
  set(TOVIMAR_FONT_SET_CACHE "${CMAKE_CURRENT_BINARY_DIR}/fonts/${name}-cache")
  set(file "${CMAKE_CURRENT_BINARY_DIR}/fonts/${name}.conf")
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/fonts.conf.in "${file}" @ONLY)
  set(${out} "${file}" PARENT_SCOPE)
endfunction()
