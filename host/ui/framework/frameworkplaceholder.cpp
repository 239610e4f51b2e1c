// The window framework lands here.
