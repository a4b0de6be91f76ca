# The version of a firmware release file, read as the wizard's loader reads it: the last
# "version" header line before the end record, from its ninth character on ("1.37").
# Anything but a plain major.minor stops the configure rather than label the package wrongly.
function(ob_release_version release_file out_var)
  file(STRINGS "${release_file}" lines)
  set(version_text "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^:......01")
      break() # the end record: the loader reads nothing after it
    elseif(line MATCHES "^version.(.*)$")
      set(version_text "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  string(REGEX REPLACE "\r$" "" version_text "${version_text}")
  if(NOT version_text MATCHES "^[0-9]+\\.[0-9]+$")
    message(FATAL_ERROR "${release_file}: the header has no \"version <major>.<minor>\" line "
                        "(found \"${version_text}\")")
  endif()
  set(${out_var} "${version_text}" PARENT_SCOPE)
endfunction()
