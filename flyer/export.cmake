# Saving the flyer in other formats through the office and files made beside their target.
target_sources(lumarel_flyer PRIVATE
    DocumentExport.cpp DocumentExport.h
    FileBeside.cpp FileBeside.h
    PartFiles.cpp PartFiles.h
    WordMlStyles.cpp WordMlStyles.h)
