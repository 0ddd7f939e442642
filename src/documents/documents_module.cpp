// Home of the documents module; its code arrives with the features that need it.
