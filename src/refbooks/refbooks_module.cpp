// Home of the refbooks module; its code arrives with the features that need it.
