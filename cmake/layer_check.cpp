// Nothing of its own: a layer check links one layer library whole.
