# Remakes the built-in designs' templates from their sources, as remake-template does for the
# default one; run by hand after changing a source, and check the result in.
set(design_folder ${PROJECT_SOURCE_DIR}/resources/designs)
add_custom_target(remake-designs
    COMMAND make-template ${design_folder}/poster.fodt ${design_folder}/poster.dot
    COMMAND make-template ${design_folder}/handout.fodt ${design_folder}/handout.dot
    COMMAND make-template ${design_folder}/classic-a4.fodt ${design_folder}/classic-a4.dot
    COMMAND make-template ${design_folder}/poster-a4.fodt ${design_folder}/poster-a4.dot
    COMMAND make-template ${design_folder}/handout-a5.fodt ${design_folder}/handout-a5.dot
    DEPENDS ${design_folder}/poster.fodt ${design_folder}/handout.fodt
            ${design_folder}/classic-a4.fodt ${design_folder}/poster-a4.fodt
            ${design_folder}/handout-a5.fodt
    COMMENT "Making the built-in designs in resources/designs"
    VERBATIM)
