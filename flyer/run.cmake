# The flyer run: bookmark texts, document names, the temporary folder.
target_sources(lumarel_flyer PRIVATE
    BookmarkTexts.cpp BookmarkTexts.h
    DocumentClaim.cpp DocumentClaim.h
    DocumentName.cpp DocumentName.h
)
target_sources(lumarel_flyer PRIVATE FlyerRun.cpp FlyerRun.h PageCapture.cpp PageCapture.h
                                     RunLock.cpp RunLock.h)
target_sources(lumarel_flyer PRIVATE FlyerTemplate.cpp FlyerTemplate.h TemplateAhead.cpp
                                     TemplateAhead.h)
