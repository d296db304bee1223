# kolm_kdb_beside(TARGET): puts the target's executable in a folder of its
# own, FOLDER under the current binary directory, with a copy of halvane-kdb
# beside it, as the IDE finds the program beside itself.
function(kolm_kdb_beside target folder)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${folder})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${dir})
  add_dependencies(${target} halvane-kdb)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:halvane-kdb> ${dir}/halvane-kdb)
endfunction()

# kolm_kdb_fixture(OUTPUT SOURCE): compiles a Kolm script with debug
# information for the emulator's board package into OUTPUT at build time.
function(kolm_kdb_fixture output source)
  add_custom_command(OUTPUT ${output}
    COMMAND kolm-compile -g --bsp ${PROJECT_SOURCE_DIR}/resources/bsp/Emulator.kbsp -o ${output} ${source}
    DEPENDS kolm-compile ${source}
    COMMENT "Compiling the test fixture ${source}")
endfunction()
