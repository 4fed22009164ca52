// The module library itself holds no code of its own: everything comes from the module folders.
