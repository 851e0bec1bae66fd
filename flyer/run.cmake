# The flyer run: bookmark texts, document names, the temporary folder.
target_sources(lumarel_flyer PRIVATE
    BookmarkTexts.cpp BookmarkTexts.h
    DocumentClaim.cpp DocumentClaim.h
    DocumentName.cpp DocumentName.h
)
target_sources(lumarel_flyer PRIVATE FlyerRun.cpp FlyerRun.h PageCapture.cpp PageCapture.h
                                     RunLock.cpp RunLock.h)
# The one service the faces call, on offices of a loan.
target_sources(lumarel_flyer PRIVATE FlyerService.cpp FlyerService.h OfficeLoan.cpp OfficeLoan.h)
target_sources(lumarel_flyer PRIVATE FlyerTemplate.cpp FlyerTemplate.h ReadyTemplate.cpp
                                     ReadyTemplate.h TemplateAhead.cpp TemplateAhead.h)
