# Tests of the engine part of flyer/.
