# Writes a C++ source that holds one section of an INI file byte for byte, from its "[name]"
# line up to the next line that starts with "[", so that the program carries those texts even
# when the file itself cannot be used. Run at build time:
#   cmake -DINPUT=file.txt -DSECTION=name -DFUNCTION=name -DHEADER=include.h -DOUTPUT=out.cpp
#         -P EmbedIniSection.cmake
foreach(variable INPUT SECTION FUNCTION HEADER OUTPUT)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "EmbedIniSection: ${variable} is not set")
    endif()
endforeach()

# Every byte as two hex digits and a ";", so that a search can only match whole bytes.
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "(..)" "\\1;" bytes "0a${hex}")
string(HEX "[${SECTION}]" header)
string(REGEX REPLACE "(..)" "\\1;" header "0a${header}")

string(FIND "${bytes}" "${header}" start)
if(start EQUAL -1)
    message(FATAL_ERROR "EmbedIniSection: ${INPUT} has no line [${SECTION}]")
endif()
# Past the line feed put in front of the header.
math(EXPR start "${start} + 3")
string(SUBSTRING "${bytes}" ${start} -1 section)
string(FIND "${section}" "0a;5b;" end)
if(NOT end EQUAL -1)
    math(EXPR end "${end} + 3")
    string(SUBSTRING "${section}" 0 ${end} section)
endif()

string(REGEX REPLACE "([0-9a-f][0-9a-f]);" "0x\\1," section "${section}")
file(WRITE "${OUTPUT}"
"// Generated at build time from ${INPUT}, section [${SECTION}]; do not edit.
#include \"${HEADER}\"

namespace {

const unsigned char kSection[] = {
    ${section}};

}  // namespace

std::string_view ${FUNCTION}() {
    return {reinterpret_cast<const char*>(kSection), sizeof kSection};
}
")
