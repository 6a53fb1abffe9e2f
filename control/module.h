// The module object of the control library: it counts the objects and locks that keep the
// library loaded, and holds the services every new control is given.
#pragma once

#include <string>

namespace quillora::module {

// Objects alive and server locks; the library may be unloaded when both are zero.
void ObjectCreated();
void ObjectDestroyed();
void Lock(bool lock);
bool CanUnload();

// The directory the control library was loaded from, ending with "/".
std::string LibraryDirectory();
// The absolute path of the control library.
std::string LibraryPath();

}  // namespace quillora::module
