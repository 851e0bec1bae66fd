# Saving the flyer in other formats through the office, files made beside their target, and
# printing the page.
target_sources(lumarel_flyer PRIVATE
    DocumentExport.cpp DocumentExport.h
    FileBeside.cpp FileBeside.h
    PartFiles.cpp PartFiles.h
    PagePrint.cpp PagePrint.h)
