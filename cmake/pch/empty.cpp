// The carrier of a precompiled header flavour: the header is all it compiles.
