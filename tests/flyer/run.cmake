# Tests of the run part of flyer/.
