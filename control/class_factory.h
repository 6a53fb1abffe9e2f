// The class factories of the control library: one for the control, one for its property
// page. Both serve any number of objects from the one loaded library.
#pragma once

#include "platform/unknown.h"

namespace quillora {

// The factory for a class identifier, or null for a class this library does not make.
platform::IClassFactory* FactoryFor(const platform::GUID& clsid);

}  // namespace quillora
