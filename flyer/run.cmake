# The flyer run.
