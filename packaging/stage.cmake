cmake_minimum_required(VERSION 3.25)
# Lays out the shipped files in STAGE: the binaries stripped of their symbols and debug
# information, text files with Windows line ends.
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/receivers/virtual ${STAGE}/receivers/lirc ${STAGE}/receivers/keys
     ${STAGE}/receivers/guard)

function(stage_binary from to)
    execute_process(COMMAND ${STRIP} --strip-all -o ${STAGE}/${to} ${from} COMMAND_ERROR_IS_FATAL ANY)
endfunction()
stage_binary(${PROGRAM} zaprelay.exe)
stage_binary(${VIRTUAL} receivers/virtual/DCD.dll)
stage_binary(${LIRC} receivers/lirc/DCD.dll)
stage_binary(${KEYS} receivers/keys/DCD.dll)
# The guard runs its host from the folder it is used in: the program's, once copied over DCD.dll.
stage_binary(${GUARD} receivers/guard/DCD.dll)
stage_binary(${HOST} zaprelay-receiver.exe)
# The portable folder starts with the receiver that needs no hardware.
file(COPY_FILE ${STAGE}/receivers/virtual/DCD.dll ${STAGE}/DCD.dll)

function(stage_text from to)
    file(READ ${from} text)
    string(REPLACE "@VERSION@" "${VERSION}" text "${text}")
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${STAGE}/${to} "${text}")
endfunction()
stage_text(${README} README.txt)
# The settings file goes as it is: its bytes are the program's.
file(COPY_FILE ${SETTINGS} ${STAGE}/Zaplink.ini)
