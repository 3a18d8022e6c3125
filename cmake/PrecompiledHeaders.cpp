// Compiled only to make the precompiled headers of cmake/PrecompiledHeaders.cmake.
