# Writes a layout whose skin engine carries a packed skin: the layout's one
# "SkinStream = {00}" (an engine without a skin) becomes the marker byte 2 followed by the
# skin container's bytes. Script mode:
#   cmake -DLAYOUT=in.layout.txt -DSKIN=skin.qskn -DOUT=out.layout.txt -P EmbedSkinStream.cmake
foreach(var LAYOUT SKIN OUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "EmbedSkinStream: ${var} not given")
    endif()
endforeach()
set(empty "SkinStream = {00}")
file(READ "${LAYOUT}" text)
string(FIND "${text}" "${empty}" first)
string(FIND "${text}" "${empty}" last REVERSE)
if(first EQUAL -1 OR NOT first EQUAL last)
    message(FATAL_ERROR "EmbedSkinStream: ${LAYOUT} must hold exactly one \"${empty}\"")
endif()
file(READ "${SKIN}" bytes HEX)
if(bytes STREQUAL "")
    message(FATAL_ERROR "EmbedSkinStream: ${SKIN} is empty")
endif()
# 32 bytes to a line, as the component stream writes binary values.
string(REGEX REPLACE "([0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f])"
       "\\1\n      " lines "${bytes}")
string(REPLACE "${empty}" "SkinStream = {\n      02${lines}}" text "${text}")
file(WRITE "${OUT}.part" "${text}")
file(RENAME "${OUT}.part" "${OUT}")
