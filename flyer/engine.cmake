target_sources(lumarel_flyer PRIVATE EngineCheck.cpp EngineCheck.h)
