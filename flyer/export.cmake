# Saving the flyer in other formats through the office, and the .docx's styles made whole.
target_sources(lumarel_flyer PRIVATE
    DocumentExport.cpp DocumentExport.h
    WordMlStyles.cpp WordMlStyles.h)
