#pragma once
// Start-up and finalisation of the editors library. The library is linked
// statically, so nothing runs by itself: the program calls
// cxEditorsInitialize once at start-up and cxEditorsFinalize before it
// ends. Initialising registers every editor kind in the editor properties
// registry, the repository item classes by name, and fills the two default
// editor registries; finalising undoes it in reverse order and frees the
// default edit repository with its items.
void cxEditorsInitialize();
void cxEditorsFinalize();
