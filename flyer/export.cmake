# Saving the flyer in other formats through the office.
target_sources(lumarel_flyer PRIVATE DocumentExport.cpp DocumentExport.h)
