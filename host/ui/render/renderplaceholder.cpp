// The renderer lands here.
