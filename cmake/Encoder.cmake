# The encoder travels inside the program as the resource "EXEFILE"/"AV", so a user never has to
# install or find one. By default it is the system's ffmpeg.
if(QUENBRY_ENCODER)
    set(_quenbry_encoder "${QUENBRY_ENCODER}")
else()
    find_program(QUENBRY_SYSTEM_FFMPEG ffmpeg REQUIRED)
    set(_quenbry_encoder "${QUENBRY_SYSTEM_FFMPEG}")
endif()
# Resolve links: rcc must read the executable itself.
get_filename_component(QUENBRY_ENCODER_FILE "${_quenbry_encoder}" REALPATH)
if(NOT EXISTS "${QUENBRY_ENCODER_FILE}")
    message(FATAL_ERROR "Encoder executable not found: ${QUENBRY_ENCODER_FILE}")
endif()
message(STATUS "Embedded encoder: ${QUENBRY_ENCODER_FILE}")

# Embeds the encoder into TARGET as :/EXEFILE/AV.
function(quenbry_embed_encoder target)
    set_source_files_properties("${QUENBRY_ENCODER_FILE}" PROPERTIES QT_RESOURCE_ALIAS AV)
    qt_add_resources(${target} "${target}_encoder"
        PREFIX /EXEFILE
        BASE "${CMAKE_CURRENT_SOURCE_DIR}"
        BIG_RESOURCES
        FILES "${QUENBRY_ENCODER_FILE}")
endfunction()
