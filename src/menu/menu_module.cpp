// Home of the menu module; its code arrives with the features that need it.
