# Writes the C++ table of a firmware release file's lines.
#   cmake -DRELEASE_FILE=<file> -DOUTPUT=<source> -P embed_release.cmake
# A line ends at LF or CR LF; a final terminator ends the last line rather than starting one.

file(READ "${RELEASE_FILE}" text)
string(REPLACE "\r\n" "\n" text "${text}")

string(LENGTH "${text}" text_length)
string(REPLACE "\n" "" without_terminators "${text}")
string(LENGTH "${without_terminators}" without_length)
math(EXPR line_count "${text_length} - ${without_length}")
if(text_length GREATER 0 AND NOT text MATCHES "\n$")
  math(EXPR line_count "${line_count} + 1")
endif()
string(REGEX REPLACE "\n$" "" text "${text}")

# Escapes for a string literal: backslash first, then quote, question mark (no trigraphs)
# and the control characters, in octal.
string(REPLACE "\\" "\\\\" text "${text}")
string(REPLACE "\"" "\\\"" text "${text}")
string(REPLACE "?" "\\?" text "${text}")
foreach(code RANGE 1 127)
  if(code LESS 32 AND NOT code EQUAL 10 OR code EQUAL 127)
    string(ASCII ${code} character)
    math(EXPR high "${code} / 64")
    math(EXPR middle "${code} / 8 % 8")
    math(EXPR low "${code} % 8")
    string(REPLACE "${character}" "\\${high}${middle}${low}" text "${text}")
  endif()
endforeach()

if(line_count GREATER 0)
  string(REPLACE "\n" "\",\n    \"" text "${text}")
  set(table "    \"${text}\",\n")
else()
  set(table "")
endif()

file(WRITE "${OUTPUT}.tmp"
"// Generated at build time from ${RELEASE_FILE}: edit that file, not this one.
#include \"firmware/firmware_file.h\"

#include <array>

namespace ob {

namespace {
constexpr std::size_t FirmwareLineCount = ${line_count};
constexpr std::array<std::string_view, FirmwareLineCount> FirmwareLines = {
${table}};
} // namespace

const std::span<const std::string_view> FirmwareFile = FirmwareLines;

} // namespace ob
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
