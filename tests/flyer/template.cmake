# Tests of the template part of flyer/.
