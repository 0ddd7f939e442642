// Home of the exchange module; its code arrives with the features that need it.
