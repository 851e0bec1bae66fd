# Saving the flyer in other formats through the office, and printing its page.
target_sources(lumarel_flyer PRIVATE
    DocumentExport.cpp DocumentExport.h
    PagePrint.cpp PagePrint.h)
