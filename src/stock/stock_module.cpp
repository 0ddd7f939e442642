// Home of the stock module; its code arrives with the features that need it.
